#pragma once

#include "cameraclosereason.h"
#include "cameraenums.h"
#include "mylanguage.h"

#include <QMainWindow>

class CamSettings;
class CameraSession;
class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabWidget;
class VideoWidget;

// The program's main window: the language, scene, theme and help menus; the left navigation
// with its pages (the device page holds the camera panel); the tab widget whose tab 0 is the
// live view; and the one camera session that is open at a time.
class MainWindow2 : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow2(QWidget *parent = nullptr);
    ~MainWindow2() override;

    CameraSession *session() const { return m_session; }
    CamSettings *camSettings() const { return m_camSettings; }

public slots:
    // Restores the window if minimised and brings it to the front (a second start).
    void bringToFront();
    // Opens a camera (the panel's request).
    void cameraChange(CameraType type, QString cameraName, QString model);
    // Ends the session and shows why, unless the operator closed it.
    void cameraClose(QString cameraName, CameraCloseReason reason);
    void on_video_tabWidget_tabCloseRequested(int index);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void slotLanguageChange(QAction *action);
    void slotSceneChange(QAction *action);
    void slotStyleChange(QAction *action);
    void slotHelp();

private:
    void buildMenus();
    void buildWorkspace();
    void retranslate();
    void resetStatusLabels();

    QMenu *m_languageMenu = nullptr;
    QMenu *m_microscopeMenu = nullptr;
    QMenu *m_styleMenu = nullptr;
    QAction *m_biologyAction = nullptr;
    QAction *m_industryAction = nullptr;
    QAction *m_blackAction = nullptr;
    QAction *m_whiteAction = nullptr;
    QAction *m_helpAction = nullptr;
    QButtonGroup *m_navigation = nullptr;
    QStackedWidget *m_pages = nullptr;
    QList<QLabel *> m_laterPages;
    CamSettings *m_camSettings = nullptr;
    QTabWidget *m_tabs = nullptr;
    VideoWidget *m_liveView = nullptr;
    QLabel *m_fpsLabel = nullptr;
    QLabel *m_resolutionLabel = nullptr;
    QLabel *m_formatLabel = nullptr;
    CameraSession *m_session = nullptr;
};
