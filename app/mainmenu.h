#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The main window's menus: language, microscope scene and style are handled here (stored,
// applied); shortcut settings and the page editor are the window's to show.
class MainMenu : public QObject
{
    Q_OBJECT
public:
    MainMenu(QMenuBar *menuBar, QWidget *window);
    void retranslate();

signals:
    void shortcutSettingsRequested();
    void pageEditorRequested();

private slots:
    void slotLanguageChange(QAction *action);
    void slotSceneChange(QAction *action);
    void slotStyleChange(QAction *action);
    void slotHelp();

private:
    QMenuBar *m_menuBar;
    QWidget *m_window;
    QMenu *m_languageMenu = nullptr;
    QMenu *m_microscopeMenu = nullptr;
    QMenu *m_styleMenu = nullptr;
    QAction *m_biologyAction = nullptr;
    QAction *m_industryAction = nullptr;
    QAction *m_blackAction = nullptr;
    QAction *m_whiteAction = nullptr;
    QAction *m_shortcutAction = nullptr;
    QAction *m_pageEditAction = nullptr;
    QAction *m_helpAction = nullptr;
};
