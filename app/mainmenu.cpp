#include "mainmenu.h"

#include "configstore.h"
#include "languagemanager.h"
#include "startup.h"
#include "theme.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

MainMenu::MainMenu(QMenuBar *menuBar, QWidget *window) : QObject(window), m_menuBar(menuBar), m_window(window)
{
    m_languageMenu = m_menuBar->addMenu(QString());
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
    connect(languages, &QActionGroup::triggered, this, &MainMenu::slotLanguageChange);

    m_microscopeMenu = m_menuBar->addMenu(QString());
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
    connect(scenes, &QActionGroup::triggered, this, &MainMenu::slotSceneChange);

    m_styleMenu = m_menuBar->addMenu(QString());
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
    connect(styles, &QActionGroup::triggered, this, &MainMenu::slotStyleChange);

    m_shortcutAction = m_menuBar->addAction(QString());
    connect(m_shortcutAction, &QAction::triggered, this, &MainMenu::shortcutSettingsRequested);
    m_pageEditAction = m_menuBar->addAction(QString());
    connect(m_pageEditAction, &QAction::triggered, this, &MainMenu::pageEditorRequested);

    m_helpAction = m_menuBar->addAction(QString());
    connect(m_helpAction, &QAction::triggered, this, &MainMenu::slotHelp);
}

void MainMenu::slotLanguageChange(QAction *action)
{
    LanguageManager::instance().change(action->property("Lan").value<MyLanguage>());
}

void MainMenu::slotSceneChange(QAction *action)
{
    ConfigStore::instance().write(ConfigGroup::Camera, CameraKey::SceneMode, action->property("SceneMode"));
}

void MainMenu::slotStyleChange(QAction *action)
{
    if (Theme::change(action->property("styleSettings").toInt()))
        QMessageBox::information(m_window, QCoreApplication::translate("MainWindow2", "Info"),
                                 QCoreApplication::translate("MainWindow2", "Take effect after restarting the client"));
}

void MainMenu::slotHelp()
{
    const QString path = Startup::helpDocumentPath(LanguageManager::instance().current());
    const QFileInfo info(path);
    if (info.exists() && info.isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        QMessageBox::warning(m_window, QCoreApplication::translate("MainWindow2", "Warning"),
                             QCoreApplication::translate("MainWindow2", "The help document cannot be found."));
}

void MainMenu::retranslate()
{
    // The texts keep the main window's translation context, where they are translated.
    m_languageMenu->setTitle(QCoreApplication::translate("MainWindow2", "Language"));
    m_microscopeMenu->setTitle(QCoreApplication::translate("MainWindow2", "Microscope"));
    m_biologyAction->setText(QCoreApplication::translate("MainWindow2", "Biology"));
    m_industryAction->setText(QCoreApplication::translate("MainWindow2", "Industry"));
    m_styleMenu->setTitle(QCoreApplication::translate("MainWindow2", "Style Settings"));
    m_blackAction->setText(QCoreApplication::translate("MainWindow2", "Black"));
    m_whiteAction->setText(QCoreApplication::translate("MainWindow2", "White"));
    m_shortcutAction->setText(QCoreApplication::translate("MainWindow2", "Shortcut Settings"));
    m_pageEditAction->setText(QCoreApplication::translate("MainWindow2", "Page Edit"));
    m_helpAction->setText(QCoreApplication::translate("MainWindow2", "Help"));
}
