#pragma once

#include "cameraclosereason.h"
#include "cameraenums.h"
#include "imagetabs.h"
#include "mylanguage.h"
#include "shortcutsettingsdialog.h"
#include "viewbar.h"

#include <QMainWindow>
#include <QMessageBox>
#include <functional>

class AcquirePage;
class MeasurePages;
class CamSettings;
class CameraSession;
class FramelessHelper;
class MainMenu;
class QMenuBar;
class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QComboBox;
class QPushButton;
class QMenu;
class QSplitter;
class QToolButton;
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
    QTabWidget *tabs() const { return m_tabs; }
    ImageTabs *imageTabs() const { return m_imageTabs; }
    CommandRegistry *commands() const { return m_commands; }
    VideoWidget *liveView() const { return m_liveView; }
    QMenuBar *titleMenuBar() const { return m_menuBar; }
    FramelessHelper *frameless() const { return m_frameless; }
    // Shows the window maximised into the screen's available area.
    void showMaximizedInAvailableArea();

    // The image tabs' calls as the window offers them.
    int addImageTab(QWidget *tab, const QString &name = QString()) { return m_imageTabs->addImageTab(tab, name); }
    int openPicture(const QString &path) { return m_imageTabs->openPicture(path); }
    static void setUnsaved(QWidget *tab, bool unsaved) { ImageTabs::setUnsaved(tab, unsaved); }
    using UnsavedChoice = ImageTabs::UnsavedChoice;
    void setUnsavedQuestion(ImageTabs::UnsavedQuestion question)
    {
        m_imageTabs->setUnsavedQuestion(std::move(question));
    }
    void setMeminfoReader(std::function<QByteArray()> reader) { m_imageTabs->setMeminfoReader(std::move(reader)); }
    bool on_video_tabWidget_tabCloseRequested(int index) { return m_imageTabs->closeTab(index); }
    int onShowContrastView() { return m_imageTabs->showContrastView(); }
    void onCloseCurrentTab() { m_imageTabs->closeCurrent(); }
    void onCloseAllTabs() { m_imageTabs->closeAll(); }

    QStringList shortcutKeys() const { return m_commands->keys(); }
    // Runs a shortcut's command as its key would.
    void runShortcutCommand(ShortcutCommand command) { m_commands->run(command); }

signals:
    void increaseOrDecreaseFoucs(bool increase);
    void increaseOrDecreaseZoom(bool increase);

public slots:
    // Restores the window if minimised and brings it to the front (a second start).
    void bringToFront();
    // Opens a camera (the panel's request).
    void cameraChange(CameraType type, QString cameraName, QString model);
    // Ends the session and shows why, unless the operator closed it.
    void cameraClose(QString cameraName, CameraCloseReason reason);
    // The actions that work on a picture are enabled only while an image tab is in front.
    void on_video_tabWidget_currentChanged(int index);
    void onPauseStatusChanged(bool pause);

    void wheelChanged(bool isAdd);
    void onChangeMouseWheelFunc(KeyFunction func);
    void onShowShortcutSettings();
    void onShowPageEditor();
    // Applies the stored display options of the current scene to the window's layout.
    void applyDisplayOptions();

    void on_fullScreen_btn_toggled(bool checked);
    void on_leftHide_btn_clicked();
    void on_rightHide_btn_clicked();
    void on_splitter_splitterMoved(int pos, int index);
    void on_zoomAdd_btn_clicked() { m_viewBar->applyZoomStep(1); }
    void on_zoomSub_btn_clicked() { m_viewBar->applyZoomStep(-1); }

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWorkspace();
    void retranslate();
    void resetStatusLabels();
    // A warning that does not block the window (discovery and streams go on).
    void showWarning(const QString &text);
    void showMessage(const QString &title, const QString &text, QMessageBox::Icon icon);
    // Collapses or restores the splitter column of a side panel.
    void togglePanel(int column, int width, QToolButton *button, bool leftPanel);
    QWidget *buildTitleBar();
    // The commands with keys that the window wires itself (the camera's and those to come).
    void registerCommands();
    void watchWheel(VideoWidget *view);

    QMenuBar *m_menuBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    FramelessHelper *m_frameless = nullptr;
    QWidget *m_navigationBar = nullptr;    // the navigation buttons
    QWidget *m_navigationColumn = nullptr; // their place left of the pages
    QWidget *m_navigationBottom = nullptr; // their place below everything
    QButtonGroup *m_navigation = nullptr;
    QStackedWidget *m_pages = nullptr;
    QList<QLabel *> m_laterPages;
    CamSettings *m_camSettings = nullptr;
    QTabWidget *m_tabs = nullptr;
    VideoWidget *m_liveView = nullptr;
    QLabel *m_captureStatusLabel = nullptr;
    AcquirePage *m_acquirePage = nullptr;
    MeasurePages *m_measurePages = nullptr;
    QLabel *m_fpsLabel = nullptr;
    QLabel *m_resolutionLabel = nullptr;
    QLabel *m_formatLabel = nullptr;
    CameraSession *m_session = nullptr;
    QSplitter *m_splitter = nullptr;
    QWidget *m_rightPanel = nullptr;
    QPushButton *m_openPictureButton = nullptr;
    QPushButton *m_savePictureButton = nullptr;
    QPushButton *m_quickSaveButton = nullptr;
    int m_leftWidth = 430;
    int m_rightWidth = 250;
    KeyFunction m_wheelFunction = ZoomVideoWindow;
    MainMenu *m_mainMenu = nullptr;
    ImageTabs *m_imageTabs = nullptr;
    ViewBar *m_viewBar = nullptr;
    CommandRegistry *m_commands = nullptr;
};
