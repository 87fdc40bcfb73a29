#pragma once

#include "mylanguage.h"

#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

// The program's main window until the camera workspace takes its place: the language,
// scene, theme and help menus over an empty work area.
class ShellWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ShellWindow(QWidget *parent = nullptr);
    ~ShellWindow() override;

public slots:
    // Restores the window if minimised and brings it to the front (a second start).
    void bringToFront();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void slotLanguageChange(QAction *action);
    void slotSceneChange(QAction *action);
    void slotStyleChange(QAction *action);
    void slotHelp();

private:
    void buildMenus();
    void retranslate();

    QMenu *m_languageMenu = nullptr;
    QMenu *m_microscopeMenu = nullptr;
    QMenu *m_styleMenu = nullptr;
    QAction *m_biologyAction = nullptr;
    QAction *m_industryAction = nullptr;
    QAction *m_blackAction = nullptr;
    QAction *m_whiteAction = nullptr;
    QAction *m_helpAction = nullptr;
    QLabel *m_placeholder = nullptr;
};
