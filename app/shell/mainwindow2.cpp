#include "mainwindow2.h"

#include "basecamera.h"
#include "buildinfo.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "camsettings.h"
#include "configstore.h"
#include "constants.h"
#include "languagemanager.h"
#include "startup.h"
#include "theme.h"
#include "videowidget.h"

#include <l_sdk.h>
#include <lmcam.h>

#include <QActionGroup>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QDebug>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

MainWindow2::MainWindow2(QWidget *parent)
    : QMainWindow(parent)
{
    qDebug().noquote() << QStringLiteral("Version: %1, build time: %2")
                              .arg(QLatin1String(Constants::kVersion),
                                   buildDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // Network discovery runs inside the network SDK for the life of the window.
    l_sdk_init("");
    l_sdk_discover_open("");
    l_sdk_discover_run(1);
    lmcam_api_init();

    setWindowIcon(QIcon(Theme::icon(QStringLiteral("microscope.svg"))));
    buildWorkspace();
    buildMenus();
    LanguageManager::instance().apply(LanguageManager::stored());
    retranslate();
    resize(1280, 800);
    m_camSettings->start();
}

MainWindow2::~MainWindow2()
{
    // The session's threads stop before the SDKs go.
    delete m_session;
    m_session = nullptr;
    delete m_camSettings;
    m_camSettings = nullptr;
    lmcam_api_destroy();
    l_sdk_discover_run(0);
    l_sdk_discover_close();
    l_sdk_quit();
}

void MainWindow2::buildWorkspace()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);

    // The left navigation and its pages; the pages still to come say what they will hold.
    auto *navigation = new QWidget(splitter);
    auto *navigationLayout = new QVBoxLayout(navigation);
    navigationLayout->setContentsMargins(2, 2, 2, 2);
    m_navigation = new QButtonGroup(this);
    m_pages = new QStackedWidget(splitter);
    m_camSettings = new CamSettings(m_pages);
    m_pages->addWidget(m_camSettings);
    const char *const names[] = {"device_tBtn", "capture_tBtn", "mesure_tBtn", "label_tBtn", "report_tBtn"};
    for (int i = 0; i < 5; ++i) {
        auto *button = new QToolButton(navigation);
        button->setObjectName(QLatin1String(names[i]));
        button->setCheckable(true);
        button->setChecked(i == 0);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(72);
        navigationLayout->addWidget(button);
        m_navigation->addButton(button, i);
        if (i > 0) {
            auto *later = new QLabel(m_pages);
            later->setAlignment(Qt::AlignCenter);
            later->setWordWrap(true);
            later->setEnabled(false);
            m_laterPages << later;
            m_pages->addWidget(later);
        }
    }
    navigationLayout->addStretch();
    connect(m_navigation, &QButtonGroup::idClicked, m_pages,
            &QStackedWidget::setCurrentIndex);

    // Tab 0 is the live view and never closes.
    m_tabs = new QTabWidget(splitter);
    m_tabs->setObjectName(QStringLiteral("video_tabWidget"));
    m_tabs->setTabsClosable(true);
    m_liveView = new VideoWidget(m_tabs);
    m_liveView->setProperty("OpenVideoWidgetType", 0);
    m_tabs->addTab(m_liveView, QString());
    m_tabs->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    m_tabs->tabBar()->setTabButton(0, QTabBar::LeftSide, nullptr);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &MainWindow2::on_video_tabWidget_tabCloseRequested);

    splitter->addWidget(navigation);
    splitter->addWidget(m_pages);
    splitter->addWidget(m_tabs);
    splitter->setStretchFactor(2, 1);
    splitter->setSizes({80, 430, 800});
    setCentralWidget(splitter);

    m_fpsLabel = new QLabel(this);
    m_resolutionLabel = new QLabel(this);
    m_formatLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_resolutionLabel);
    statusBar()->addPermanentWidget(m_formatLabel);
    statusBar()->addPermanentWidget(m_fpsLabel);

    m_session = new CameraSession([this](const CameraOpenInfo &record) { return m_camSettings->openCamera(record); },
                                  this);
    connect(m_camSettings, &CamSettings::openCam, this, &MainWindow2::cameraChange);
    connect(m_camSettings, &CamSettings::closeCam, this, &MainWindow2::cameraClose);
    connect(m_session, &CameraSession::closeDeviceForOpenFailed, m_camSettings, &CamSettings::closeCameraForReason);
    connect(m_session, &CameraSession::cameraCloseForReason, m_camSettings, &CamSettings::closeCameraForReason);
    connect(m_session, &CameraSession::putVideoFrame, m_liveView, &VideoWidget::onFrame);
    connect(m_session, &CameraSession::sendFps, m_fpsLabel, [this](const QString &fps) {
        m_fpsLabel->setText(tr("FPS: %1").arg(fps));
    });
    connect(m_session, &CameraSession::resolutionChange, m_resolutionLabel, &QLabel::setText);
    connect(m_session, &CameraSession::formatChanged, m_formatLabel, &QLabel::setText);
}

void MainWindow2::resetStatusLabels()
{
    m_fpsLabel->setText(tr("FPS: --"));
    m_resolutionLabel->clear();
    m_formatLabel->clear();
}

void MainWindow2::cameraChange(CameraType type, QString cameraName, QString model)
{
    if (!m_session->open(type, cameraName, model)) {
        qWarning().noquote() << (type == NetworkCamera ? "Open net camera, can't create cap thread"
                                                       : "Open unv camera, can't create cap thread");
        return;
    }
    // The live view's acknowledgement paces the stream.
    connect(m_liveView, &VideoWidget::renderDone, m_session->playThread().get(), &CameraPlayThread::onFrameRendered);
    m_tabs->setTabText(0, type == NetworkCamera ? cameraName : tr("Uvc Camera"));
    qInfo().noquote() << "Camera opened, cameraName=" << cameraName << ", tab=" << m_tabs->tabText(0);
}

void MainWindow2::cameraClose(QString cameraName, CameraCloseReason reason)
{
    resetStatusLabels();
    if (m_session->playThread())
        disconnect(m_liveView, nullptr, m_session->playThread().get(), nullptr);
    if (!m_session->close(cameraName, reason))
        return;
    m_tabs->setTabText(0, tr("Camera"));
    m_navigation->button(0)->click();
    const QString message = CameraSession::closeMessage(reason);
    if (message.isEmpty())
        return;
    qWarning().noquote() << "Camera closed:" << message;
    // Not modal: discovery goes on and may bring the camera back while the message shows.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Warning"),
                                QCoreApplication::translate("CameraSession", message.toUtf8().constData()),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow2::on_video_tabWidget_tabCloseRequested(int index)
{
    if (index <= 0)
        return; // the live view stays
    QWidget *tab = m_tabs->widget(index);
    m_tabs->removeTab(index);
    tab->deleteLater();
}

void MainWindow2::buildMenus()
{
    m_languageMenu = menuBar()->addMenu(QString());
    auto *languages = new QActionGroup(this);
    const MyLanguage current = LanguageManager::stored();
    // Language names are shown in their own language and never translated.
    const std::pair<MyLanguage, QString> entries[] = {{English, QStringLiteral("English")},
                                                      {SimplifiedChinese, QStringLiteral("中文(简)")},
                                                      {TraditionalChinese, QStringLiteral("中文(繁)")}};
    for (const auto &[language, name] : entries) {
        QAction *action = m_languageMenu->addAction(name);
        action->setCheckable(true);
        action->setChecked(language == current);
        action->setProperty("Lan", QVariant::fromValue(language));
        languages->addAction(action);
    }
    connect(languages, &QActionGroup::triggered, this, &MainWindow2::slotLanguageChange);

    m_microscopeMenu = menuBar()->addMenu(QString());
    auto *scenes = new QActionGroup(this);
    m_biologyAction = m_microscopeMenu->addAction(QString());
    m_industryAction = m_microscopeMenu->addAction(QString());
    const int scene = ConfigStore::instance().read(ConfigGroup::Camera).value(CameraKey::SceneMode, 0).toInt();
    for (QAction *action : {m_biologyAction, m_industryAction}) {
        action->setCheckable(true);
        scenes->addAction(action);
    }
    m_biologyAction->setProperty("SceneMode", 0);
    m_industryAction->setProperty("SceneMode", 1);
    (scene == 1 ? m_industryAction : m_biologyAction)->setChecked(true);
    connect(scenes, &QActionGroup::triggered, this, &MainWindow2::slotSceneChange);

    m_styleMenu = menuBar()->addMenu(QString());
    auto *styles = new QActionGroup(this);
    m_blackAction = m_styleMenu->addAction(QString());
    m_whiteAction = m_styleMenu->addAction(QString());
    m_blackAction->setProperty("styleSettings", int(Theme::Black));
    m_whiteAction->setProperty("styleSettings", int(Theme::White));
    for (QAction *action : {m_blackAction, m_whiteAction}) {
        action->setCheckable(true);
        styles->addAction(action);
    }
    (Theme::current().index == Theme::White ? m_whiteAction : m_blackAction)->setChecked(true);
    connect(styles, &QActionGroup::triggered, this, &MainWindow2::slotStyleChange);

    m_helpAction = menuBar()->addAction(QString());
    connect(m_helpAction, &QAction::triggered, this, &MainWindow2::slotHelp);
}

void MainWindow2::retranslate()
{
    setWindowTitle(tr("Lumora"));
    m_languageMenu->setTitle(tr("Language"));
    m_microscopeMenu->setTitle(tr("Microscope"));
    m_biologyAction->setText(tr("Biology"));
    m_industryAction->setText(tr("Industry"));
    m_styleMenu->setTitle(tr("Style Settings"));
    m_blackAction->setText(tr("Black"));
    m_whiteAction->setText(tr("White"));
    m_helpAction->setText(tr("Help"));
    const char *const navigation[] = {QT_TR_NOOP("Device"), QT_TR_NOOP("Acquire"), QT_TR_NOOP("Measure"),
                                      QT_TR_NOOP("Annotate"), QT_TR_NOOP("Report")};
    for (int i = 0; i < 5; ++i)
        m_navigation->button(i)->setText(tr(navigation[i]));
    const char *const later[] = {
        QT_TR_NOOP("Photo, burst, time-lapse and video recording settings will be on this page."),
        QT_TR_NOOP("Measurement tools and their results will be on this page."),
        QT_TR_NOOP("Annotation tools will be on this page."),
        QT_TR_NOOP("Report templates and export will be on this page.")};
    for (int i = 0; i < m_laterPages.size(); ++i)
        m_laterPages[i]->setText(tr(later[i]));
    if (!m_session->isOpen())
        m_tabs->setTabText(0, tr("Camera"));
    if (m_fpsLabel->text().isEmpty())
        resetStatusLabels();
}

void MainWindow2::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow2::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainWindow2::slotLanguageChange(QAction *action)
{
    LanguageManager::instance().change(action->property("Lan").value<MyLanguage>());
}

void MainWindow2::slotSceneChange(QAction *action)
{
    ConfigStore::instance().write(ConfigGroup::Camera, CameraKey::SceneMode, action->property("SceneMode"));
}

void MainWindow2::slotStyleChange(QAction *action)
{
    if (Theme::change(action->property("styleSettings").toInt()))
        QMessageBox::information(this, tr("Info"), tr("Take effect after restarting the client"));
}

void MainWindow2::slotHelp()
{
    const QString path = Startup::helpDocumentPath(LanguageManager::instance().current());
    const QFileInfo info(path);
    if (info.exists() && info.isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        QMessageBox::warning(this, tr("Warning"), tr("The help document cannot be found."));
}
