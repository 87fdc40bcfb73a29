#include "shellwindow.h"

#include "buildinfo.h"
#include "configstore.h"
#include "constants.h"
#include "languagemanager.h"
#include "startup.h"
#include "theme.h"

#include <lmcam.h>

#include <QActionGroup>
#include <QDebug>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

ShellWindow::ShellWindow(QWidget *parent)
    : QMainWindow(parent)
{
    qDebug().noquote() << QStringLiteral("Version: %1, build time: %2")
                              .arg(QLatin1String(Constants::kVersion),
                                   buildDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    lmcam_api_init();

    setWindowIcon(QIcon(Theme::icon(QStringLiteral("microscope.svg"))));
    m_placeholder = new QLabel(this);
    m_placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_placeholder);
    buildMenus();
    LanguageManager::instance().apply(LanguageManager::stored());
    retranslate();
    resize(1280, 800);
}

ShellWindow::~ShellWindow()
{
    lmcam_api_destroy();
}

void ShellWindow::buildMenus()
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
    connect(languages, &QActionGroup::triggered, this, &ShellWindow::slotLanguageChange);

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
    connect(scenes, &QActionGroup::triggered, this, &ShellWindow::slotSceneChange);

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
    connect(styles, &QActionGroup::triggered, this, &ShellWindow::slotStyleChange);

    m_helpAction = menuBar()->addAction(QString());
    connect(m_helpAction, &QAction::triggered, this, &ShellWindow::slotHelp);
}

void ShellWindow::retranslate()
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
    m_placeholder->setText(tr("No camera is open."));
}

void ShellWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void ShellWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void ShellWindow::slotLanguageChange(QAction *action)
{
    LanguageManager::instance().change(action->property("Lan").value<MyLanguage>());
}

void ShellWindow::slotSceneChange(QAction *action)
{
    ConfigStore::instance().write(ConfigGroup::Camera, CameraKey::SceneMode, action->property("SceneMode"));
}

void ShellWindow::slotStyleChange(QAction *action)
{
    if (Theme::change(action->property("styleSettings").toInt()))
        QMessageBox::information(this, tr("Info"), tr("Take effect after restarting the client"));
}

void ShellWindow::slotHelp()
{
    const QString path = Startup::helpDocumentPath(LanguageManager::instance().current());
    const QFileInfo info(path);
    if (info.exists() && info.isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        QMessageBox::warning(this, tr("Warning"), tr("The help document cannot be found."));
}
