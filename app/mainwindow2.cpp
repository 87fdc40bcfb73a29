#include "mainwindow2.h"

#include "acquirepage.h"
#include "basecamera.h"
#include "buildinfo.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "camsettings.h"
#include "configstore.h"
#include "constants.h"
#include "framelesshelper.h"
#include "graphicsview.h"
#include "imagetabs.h"
#include "languagemanager.h"
#include "liveframefeed.h"
#include "mainmenu.h"
#include "measurepages.h"
#include "pageeditordialog.h"
#include "theme.h"
#include "videowidget.h"

#include <lmcam.h>

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

MainWindow2::MainWindow2(QWidget *parent) : QMainWindow(parent)
{
    qDebug().noquote() << QStringLiteral("Version: %1, build time: %2")
                              .arg(QLatin1String(Constants::kVersion),
                                   buildDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // Network discovery runs inside the network SDK for the life of the window.
    CameraSearcher::startNetworkDiscovery();
    lmcam_api_init();

    // An installer may brand the window with its own icon beside the program.
    const QString logo = QCoreApplication::applicationDirPath() + QStringLiteral("/customInformation/icon/logo.ico");
    setWindowIcon(QIcon(QFileInfo(logo).isFile() ? logo : Theme::icon(QStringLiteral("microscope.svg"))));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setMenuWidget(buildTitleBar());
    qInfo().noquote() << "Device pixel ratio=" << devicePixelRatioF();
    buildWorkspace();
    m_mainMenu = new MainMenu(m_menuBar, this);
    connect(m_mainMenu, &MainMenu::shortcutSettingsRequested, this, &MainWindow2::onShowShortcutSettings);
    connect(m_mainMenu, &MainMenu::pageEditorRequested, this, &MainWindow2::onShowPageEditor);
    LanguageManager::instance().apply(LanguageManager::stored());
    retranslate();
    resize(1280, 800);
    m_camSettings->start();

    // A settings file that cannot be written keeps its old content; the store says so once.
    connect(
        &ConfigStore::instance(), &ConfigStore::saveFailed, this, [this](const QString &path, const QString &reason) {
            showWarning(tr("The settings could not be saved to %1: %2").arg(QDir::toNativeSeparators(path), reason));
        });
}

MainWindow2::~MainWindow2()
{
    ConfigStore::instance().write(ConfigGroup::Base, BaseKey::MainInterfaceLeftPos, m_leftWidth);
    ConfigStore::instance().write(ConfigGroup::Base, BaseKey::MainInterfaceRightPos, m_rightWidth);
    // The session's threads stop before the SDKs go.
    delete m_session;
    m_session = nullptr;
    delete m_camSettings;
    m_camSettings = nullptr;
    lmcam_api_destroy();
    CameraSearcher::stopNetworkDiscovery();
}

QWidget *MainWindow2::buildTitleBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("titleBar"));
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 0, 0, 0);
    layout->setSpacing(4);
    auto *icon = new QLabel(bar);
    icon->setPixmap(windowIcon().pixmap(18, 18));
    m_menuBar = new QMenuBar(bar);
    m_titleLabel = new QLabel(bar);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    layout->addWidget(m_menuBar);
    layout->addWidget(m_titleLabel, 1);
    const std::pair<const char *, QString> buttons[] = {{"min_btn", QStringLiteral("\u2013")},
                                                        {"max_btn", QStringLiteral("\u25a1")},
                                                        {"close_btn", QStringLiteral("\u2715")}};
    for (const auto &[name, text] : buttons) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QLatin1String(name));
        button->setText(text);
        button->setAutoRaise(true);
        button->setFixedSize(36, 28);
        layout->addWidget(button);
        if (qstrcmp(name, "min_btn") == 0)
            connect(button, &QToolButton::clicked, this, &QWidget::showMinimized);
        else if (qstrcmp(name, "max_btn") == 0)
            connect(button, &QToolButton::clicked, this, [this] { m_frameless->toggleMaximized(); });
        else
            connect(button, &QToolButton::clicked, this, &QWidget::close);
    }
    m_frameless = new FramelessHelper(this, bar);
    return bar;
}

void MainWindow2::showMaximizedInAvailableArea()
{
    show();
    if (!m_frameless->isMaximized())
        m_frameless->toggleMaximized();
}

void MainWindow2::buildWorkspace()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    QSplitter *splitter = m_splitter;

    // The navigation and its pages; the pages still to come say what they will hold. The
    // navigation bar sits in the splitter's first column, or below everything (page editor).
    m_navigationColumn = new QWidget(splitter);
    auto *columnLayout = new QVBoxLayout(m_navigationColumn);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    m_navigationBar = new QWidget(m_navigationColumn);
    m_navigationBar->setObjectName(QStringLiteral("navigationBar"));
    columnLayout->addWidget(m_navigationBar);
    auto *navigationLayout = new QBoxLayout(QBoxLayout::TopToBottom, m_navigationBar);
    navigationLayout->setContentsMargins(2, 2, 2, 2);
    QWidget *navigation = m_navigationBar;
    m_navigation = new QButtonGroup(this);
    m_pages = new QStackedWidget(splitter);
    m_camSettings = new CamSettings(m_pages);
    m_pages->addWidget(m_camSettings);
    m_session =
        new CameraSession([this](const CameraOpenInfo &record) { return m_camSettings->openCamera(record); }, this);
    m_imageTabs = new ImageTabs(this, m_session, [this](const QString &text) { showWarning(text); });
    m_tabs = m_imageTabs->tabs();
    m_liveView = m_imageTabs->liveView();
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
            auto *page = new QWidget(m_pages);
            auto *pageLayout = new QVBoxLayout(page);
            if (i == 1) {
                m_acquirePage = new AcquirePage(
                    m_session, m_camSettings, m_imageTabs,
                    [this](const QString &title, const QString &text, bool warning) {
                        showMessage(title, text, warning ? QMessageBox::Warning : QMessageBox::Information);
                    },
                    page);
                connect(m_acquirePage, &AcquirePage::statusChanged, this,
                        [this](const QString &text) { m_captureStatusLabel->setText(text); });
                pageLayout->addWidget(m_acquirePage);
                m_openPictureButton = new QPushButton(page);
                m_openPictureButton->setObjectName(QStringLiteral("openPic_btn"));
                connect(m_openPictureButton, &QPushButton::clicked, m_imageTabs, &ImageTabs::askToOpenPictures);
                pageLayout->addWidget(m_openPictureButton);
                m_savePictureButton = new QPushButton(page);
                m_savePictureButton->setObjectName(QStringLiteral("savePic_btn"));
                connect(m_savePictureButton, &QPushButton::clicked, m_imageTabs, &ImageTabs::saveCurrent);
                pageLayout->addWidget(m_savePictureButton);
                m_quickSaveButton = new QPushButton(page);
                m_quickSaveButton->setObjectName(QStringLiteral("quickSave_btn"));
                connect(m_quickSaveButton, &QPushButton::clicked, m_imageTabs, &ImageTabs::quickSaveCurrent);
                pageLayout->addWidget(m_quickSaveButton);
            }
            if (i == 1 || i == 4) {
                auto *later = new QLabel(page);
                later->setAlignment(Qt::AlignCenter);
                later->setWordWrap(true);
                later->setEnabled(false);
                m_laterPages << later;
                pageLayout->addWidget(later, 1);
            }
            m_pages->addWidget(page);
        }
    }
    navigationLayout->addStretch();
    connect(m_navigation, &QButtonGroup::idClicked, m_pages, &QStackedWidget::setCurrentIndex);

    // The view bar above the image tabs.
    auto *centre = new QWidget(splitter);
    auto *centreLayout = new QVBoxLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    centreLayout->setSpacing(2);
    connect(m_imageTabs, &ImageTabs::videoTabAdded, this, &MainWindow2::watchWheel);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow2::on_video_tabWidget_currentChanged);
    m_viewBar = new ViewBar(m_tabs, centre);
    connect(m_viewBar->leftHideButton(), &QToolButton::clicked, this, &MainWindow2::on_leftHide_btn_clicked);
    connect(m_viewBar->rightHideButton(), &QToolButton::clicked, this, &MainWindow2::on_rightHide_btn_clicked);
    connect(m_viewBar->fullScreenButton(), &QToolButton::toggled, this, &MainWindow2::on_fullScreen_btn_toggled);
    watchWheel(m_liveView);
    centreLayout->addWidget(m_viewBar);
    on_video_tabWidget_currentChanged(0);
    centreLayout->addWidget(m_tabs, 1);

    // The right panel holds the measurement results of the view in front.
    m_rightPanel = new QWidget(splitter);
    new QVBoxLayout(m_rightPanel);
    m_measurePages = new MeasurePages(m_imageTabs, m_acquirePage, m_pages->widget(2), m_pages->widget(3), m_rightPanel);
    // Saved pictures carry the calibration in use.
    const auto pixelSizeOf = [pages = m_measurePages](int width) { return pages->pixelSize(width); };
    m_acquirePage->setPixelSizeOf(pixelSizeOf);
    m_imageTabs->setPixelSizeOf(pixelSizeOf);

    splitter->addWidget(m_navigationColumn);
    splitter->addWidget(m_pages);
    splitter->addWidget(centre);
    splitter->addWidget(m_rightPanel);
    splitter->setStretchFactor(2, 1);
    splitter->setCollapsible(2, false);
    // Stored widths, else 430 and 250 pixels at a device pixel ratio of 1.
    const double ratio = devicePixelRatioF();
    ConfigStore &store = ConfigStore::instance();
    m_leftWidth = store.value(ConfigGroup::Base, BaseKey::MainInterfaceLeftPos, int(430 / ratio)).toInt();
    m_rightWidth = store.value(ConfigGroup::Base, BaseKey::MainInterfaceRightPos, int(250 / ratio)).toInt();
    if (m_leftWidth <= 0)
        m_leftWidth = int(430 / ratio);
    if (m_rightWidth <= 0)
        m_rightWidth = int(250 / ratio);
    splitter->setSizes({80, m_leftWidth, 1000, m_rightWidth});
    connect(splitter, &QSplitter::splitterMoved, this, &MainWindow2::on_splitter_splitterMoved);
    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(splitter, 1);
    m_navigationBottom = new QWidget(central);
    auto *bottomLayout = new QHBoxLayout(m_navigationBottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    m_navigationBottom->hide();
    centralLayout->addWidget(m_navigationBottom);
    setCentralWidget(central);
    applyDisplayOptions();

    m_wheelFunction = ShortcutSettingsDialog::storedMouseWheel();
    registerCommands();

    m_captureStatusLabel = new QLabel(this);
    m_captureStatusLabel->setObjectName(QStringLiteral("captureStatus_lab"));
    statusBar()->addWidget(m_captureStatusLabel, 1);
    m_fpsLabel = new QLabel(this);
    m_resolutionLabel = new QLabel(this);
    m_formatLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_resolutionLabel);
    statusBar()->addPermanentWidget(m_formatLabel);
    statusBar()->addPermanentWidget(m_fpsLabel);

    connect(m_camSettings, &CamSettings::openCam, this, &MainWindow2::cameraChange);
    connect(m_camSettings, &CamSettings::closeCam, this, &MainWindow2::cameraClose);
    connect(m_camSettings, &CamSettings::pauseStatusChanged, this, &MainWindow2::onPauseStatusChanged);
    // The camera's regions are drawn over the live picture and edited there.
    connect(m_camSettings, &CamSettings::focusRegionV2StatusChanged, m_liveView,
            &VideoWidget::onFocusRegionV2ChangedFromCamSettings);
    connect(m_camSettings, &CamSettings::expRegionStatusChanged, m_liveView,
            &VideoWidget::onExpRegionChangedFromCamSettings);
    connect(m_camSettings, &CamSettings::wBRegionStatusChanged, m_liveView,
            &VideoWidget::onWBRegionChangedFromCamSettings);
    connect(m_camSettings, &CamSettings::bBRegionStatusChanged, m_liveView,
            &VideoWidget::onBBRegionChangedFromCamSettings);
    connect(m_liveView, &VideoWidget::focusRegionV2Update, m_camSettings, &CamSettings::onFocusRegionV2Update);
    connect(m_liveView, &VideoWidget::expRegionUpdate, m_camSettings, &CamSettings::onExpRegionUpdate);
    connect(m_liveView, &VideoWidget::wBRegionUpdate, m_camSettings, &CamSettings::onWBRegionUpdate);
    connect(m_liveView, &VideoWidget::bBRegionUpdate, m_camSettings, &CamSettings::onBBRegionUpdate);
    connect(m_session->frameFeed(), &LiveFrameFeed::frameArrived, m_camSettings, &CamSettings::onLiveFrame);
    connect(this, &MainWindow2::increaseOrDecreaseFoucs, m_camSettings, &CamSettings::onIncreaseOrDecreaseFoucs);
    connect(this, &MainWindow2::increaseOrDecreaseZoom, m_camSettings, &CamSettings::onIncreaseOrDecreaseZoom);
    connect(m_session, &CameraSession::closeDeviceForOpenFailed, m_camSettings, &CamSettings::closeCameraForReason);
    connect(m_session, &CameraSession::cameraCloseForReason, m_camSettings, &CamSettings::closeCameraForReason);
    // A frame still on its way when the session closed must not bring the picture back.
    connect(m_session, &CameraSession::putVideoFrame, m_liveView, [this](const VideoFrame &frame) {
        if (m_session->isOpen())
            m_liveView->onFrame(frame);
    });
    connect(m_session, &CameraSession::sendFps, m_fpsLabel, [this](const QString &fps) {
        // The rate on screen; the camera's beside it when the display cannot keep up.
        const double shown = m_liveView->takeShownFps();
        if (std::abs(shown - fps.toDouble()) < 0.5)
            m_fpsLabel->setText(tr("FPS: %1").arg(fps));
        else
            m_fpsLabel->setText(tr("FPS: %1 (camera %2)").arg(shown, 0, 'f', 2).arg(fps));
    });
    connect(m_session, &CameraSession::resolutionChange, m_resolutionLabel, &QLabel::setText);
    connect(m_session, &CameraSession::formatChanged, m_formatLabel, &QLabel::setText);
}

void MainWindow2::onPauseStatusChanged(bool pause)
{
    if (m_session->playThread())
        m_session->playThread()->onSetPauseStatus(pause);
}

void MainWindow2::resetStatusLabels()
{
    m_fpsLabel->setText(tr("FPS: --"));
    m_resolutionLabel->clear();
    m_formatLabel->clear();
}

void MainWindow2::cameraChange(CameraType type, QString cameraName, QString model)
{
    m_liveView->clear();
    // No camera object: the panel or the camera logged why (unknown model, refused open), and
    // the session reports the failure on the way to cameraClose.
    if (!m_session->open(type, cameraName, model))
        return;
    // The live view's acknowledgement paces the stream.
    connect(m_liveView, &VideoWidget::renderDone, m_session->playThread().get(), &CameraPlayThread::onFrameRendered);
    m_tabs->setTabText(0, type == NetworkCamera ? cameraName : tr("Uvc Camera"));
    m_liveView->onSetScaleStrategy(VideoScaleStrategy::FitToWindow);
    qInfo().noquote() << "Camera opened, cameraName=" << cameraName << ", tab=" << m_tabs->tabText(0);
}

void MainWindow2::cameraClose(QString cameraName, CameraCloseReason reason)
{
    // What was recorded so far is kept in a finished file.
    m_acquirePage->stopRecording();
    resetStatusLabels();
    if (m_session->playThread())
        disconnect(m_liveView, nullptr, m_session->playThread().get(), nullptr);
    if (!m_session->close(cameraName, reason))
        return;
    m_imageTabs->clearLivePictures();
    m_tabs->setTabText(0, tr("Camera"));
    m_navigation->button(0)->click();
    const QString message = CameraSession::closeMessage(reason);
    if (message.isEmpty())
        return;
    qWarning().noquote() << "Camera closed:" << message;
    // Not modal: discovery goes on and may bring the camera back while the message shows.
    showWarning(QCoreApplication::translate("CameraSession", message.toUtf8().constData()));
}

void MainWindow2::showWarning(const QString &text)
{
    showMessage(tr("Warning"), text, QMessageBox::Warning);
}

void MainWindow2::showMessage(const QString &title, const QString &text, QMessageBox::Icon icon)
{
    // A message still on screen is not stacked again: a camera that keeps refusing to reopen
    // would otherwise add a box at every search.
    for (const QMessageBox *shown : findChildren<QMessageBox *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (shown->isVisible() && shown->text() == text)
            return;
    }
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// ---- Side panels and full screen ----------------------------------------------------------

void MainWindow2::togglePanel(int column, int width, QToolButton *button, bool leftPanel)
{
    // The picture's column gives or takes the panel's width; the arrow points where a click moves it.
    QList<int> sizes = m_splitter->sizes();
    const bool hide = sizes[column] > 0;
    sizes[2] += hide ? sizes[column] : -width;
    sizes[column] = hide ? 0 : width;
    m_splitter->setSizes(sizes);
    const bool pointsLeft = hide != leftPanel;
    button->setIcon(
        QIcon(pointsLeft ? QStringLiteral(":/pic/cc_arrow_left.png") : QStringLiteral(":/pic/cc_arrow_right.png")));
}

void MainWindow2::on_leftHide_btn_clicked()
{
    togglePanel(1, m_leftWidth, m_viewBar->leftHideButton(), true);
}

void MainWindow2::on_rightHide_btn_clicked()
{
    togglePanel(3, m_rightWidth, m_viewBar->rightHideButton(), false);
}

void MainWindow2::on_splitter_splitterMoved(int, int)
{
    const QList<int> sizes = m_splitter->sizes();
    if (sizes[1] > 0)
        m_leftWidth = sizes[1];
    if (sizes[3] > 0)
        m_rightWidth = sizes[3];
}

void MainWindow2::on_fullScreen_btn_toggled(bool checked)
{
    if (checked) {
        showFullScreen();
    } else {
        showNormal();
        showMaximized();
    }
    m_liveView->setFullScreen(checked);
}

void MainWindow2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_viewBar->fullScreenButton()->isChecked()) {
        m_viewBar->fullScreenButton()->setChecked(false);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- Page editor -------------------------------------------------------------------------

void MainWindow2::onShowPageEditor()
{
    PageEditorDialog dialog(this);
    connect(&dialog, &PageEditorDialog::displayOptionsChanged, this, &MainWindow2::applyDisplayOptions);
    connect(&dialog, &PageEditorDialog::displayOptionsChanged, m_camSettings, &CamSettings::onDisplayOptionsChanged);
    dialog.exec();
}

void MainWindow2::applyDisplayOptions()
{
    // The camera panel sits left of the picture, or right of it when swapped.
    const bool swap = ConfigStore::instance()
                          .value(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableSwapMainInterfaceControls)
                          .toBool();
    const int pagesAt = m_splitter->indexOf(m_pages);
    if ((pagesAt == 3) != swap) {
        const QList<int> sizes = m_splitter->sizes();
        m_splitter->insertWidget(swap ? 3 : 1, m_pages);
        m_splitter->insertWidget(swap ? 1 : 3, m_rightPanel);
        m_splitter->setSizes({sizes[0], sizes[3], sizes[2], sizes[1]});
    }

    // The navigation bar: a column left of everything, or a row below it. The column stays in
    // the splitter (hidden) so that the splitter's columns keep their places.
    const bool bottom =
        ConfigStore::instance().value(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableLabelPagePos).toBool();
    auto *barLayout = static_cast<QBoxLayout *>(m_navigationBar->layout());
    QWidget *host = bottom ? m_navigationBottom : m_navigationColumn;
    if (m_navigationBar->parentWidget() != host) {
        barLayout->setDirection(bottom ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
        host->layout()->addWidget(m_navigationBar);
        m_navigationBottom->setVisible(bottom);
        m_navigationColumn->setVisible(!bottom);
    }
}

// ---- Mouse wheel and shortcuts ---------------------------------------------------------

void MainWindow2::watchWheel(VideoWidget *view)
{
    m_viewBar->watch(view);
    connect(view, &VideoWidget::signalExitFullScreen, this,
            [this] { m_viewBar->fullScreenButton()->setChecked(false); });
    view->graphicsView()->viewport()->installEventFilter(this);
}

bool MainWindow2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->angleDelta().y() != 0) {
            wheelChanged(wheel->angleDelta().y() > 0);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow2::wheelChanged(bool isAdd)
{
    const bool live = m_tabs->currentWidget() == m_liveView;
    switch (m_wheelFunction) {
    case AdjustFocus:
        if (live)
            emit increaseOrDecreaseFoucs(isAdd);
        break;
    case AdjustZoom:
        if (live)
            emit increaseOrDecreaseZoom(isAdd);
        break;
    default:
        if (!m_viewBar->fullScreenButton()->isChecked())
            m_viewBar->applyZoomStep(isAdd ? 1 : -1);
        break;
    }
}

void MainWindow2::onChangeMouseWheelFunc(KeyFunction func)
{
    m_wheelFunction = func;
}

void MainWindow2::registerCommands()
{
    m_commands = new CommandRegistry(this);
    m_imageTabs->registerCommands(*m_commands);
    const std::function<void()> later; // time-lapse and the measuring hand come later
    m_commands->add({SnapCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Snap"), QStringLiteral("F1"),
                     [this] { m_acquirePage->on_photo_btn_clicked(); }});
    m_commands->add({RecordCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Record"), QStringLiteral("F2"),
                     [this] { m_acquirePage->toggleRecording(); }});
    m_commands->add(
        {TimeLapseCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Time Lapse"), QStringLiteral("F4"), later});
    m_commands->add({PauseCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Pause"), QStringLiteral("F5"),
                     [this] { m_camSettings->onPauseBtnToggled(); }});
    m_commands->add({OnceFocusCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Once Focus"), QStringLiteral("F6"),
                     [this] { m_camSettings->onFocusOnceBtn(); }});
    m_commands->add(
        {HandModeCommand, QT_TRANSLATE_NOOP("ShortcutSettingsDialog", "Hand Mode"), QStringLiteral("F9"), later});
    connect(m_commands, &CommandRegistry::unavailable, this,
            [this](const QString &name) { statusBar()->showMessage(tr("%1 is not available yet.").arg(name), 3000); });
}

void MainWindow2::onShowShortcutSettings()
{
    ShortcutSettingsDialog dialog(*m_commands, this);
    connect(&dialog, &ShortcutSettingsDialog::shortcutsChanged, m_commands, &CommandRegistry::setKeys);
    connect(&dialog, &ShortcutSettingsDialog::mouseWheelChanged, this, &MainWindow2::onChangeMouseWheelFunc);
    dialog.exec();
}

// ---- Image tabs --------------------------------------------------------------------------

void MainWindow2::on_video_tabWidget_currentChanged(int index)
{
    const bool picture = m_imageTabs->hasPicture(index);
    m_savePictureButton->setEnabled(picture);
    m_quickSaveButton->setEnabled(picture);
}

void MainWindow2::retranslate()
{
    setWindowTitle(tr("Lumora") + QLatin1Char(' ') + QLatin1String(Constants::kVersion));
    m_titleLabel->setText(windowTitle());
    m_mainMenu->retranslate();
    m_acquirePage->retranslate();
    m_measurePages->retranslate();
    m_openPictureButton->setText(tr("Open Picture"));
    m_savePictureButton->setText(tr("Save Picture"));
    m_quickSaveButton->setText(tr("Quick Save"));
    m_viewBar->retranslate();
    const char *const navigation[] = {QT_TR_NOOP("Device"), QT_TR_NOOP("Acquire"), QT_TR_NOOP("Measure"),
                                      QT_TR_NOOP("Annotate"), QT_TR_NOOP("Report")};
    for (int i = 0; i < 5; ++i)
        m_navigation->button(i)->setText(tr(navigation[i]));
    const char *const later[] = {QT_TR_NOOP("Time-lapse will be on this page."),
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
