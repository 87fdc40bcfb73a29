#pragma once

#include "cameraclosereason.h"
#include "cameradetection.h"
#include "camerainfo.h"
#include "camerasearcher.h"

#include <QTabWidget>
#include <QThread>
#include <memory>

class BaseCamera;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
struct CameraOpenInfo;

// The camera side panel. This part chooses, opens and closes the camera: it runs the
// camera search, keeps the selector in step with what is attached, opens a camera by itself
// where the rules allow, and creates and opens the camera object the main window asks for.
class CamSettings : public QTabWidget
{
    Q_OBJECT

public:
    explicit CamSettings(QWidget *parent = nullptr);
    ~CamSettings() override;

    // Starts the search thread: the first search after 1000 ms, then one every 2000 ms.
    void start();
    // Creates the model object for an open record and opens it; empty when the model is
    // unknown or the camera refuses. The object becomes the panel's current camera.
    std::shared_ptr<BaseCamera> openCamera(const CameraOpenInfo &record);

    bool isPaused() const { return m_paused; }

signals:
    void openCam(CameraType type, QString uniqueName, QString model);
    void closeCam(QString uniqueName, CameraCloseReason reason);
    // The live picture stops (true) or runs again, without closing the camera.
    void pauseStatusChanged(bool pause);

    // Requests to the current camera, queued to its thread.
    void setCameraFocusAdd();
    void setCameraFocusSub();
    void setCameraFocusOnce();
    void setCameraZoomValue(int value);

public slots:
    void onDetectDevices(QMap<QString, CameraSearcher::SearchInfo> infos);
    // Ends the current camera: the object is dropped, the reason remembered for the automatic
    // opening, and closeCam tells the main window.
    void closeCameraForReason(QString uniqueName, CameraCloseReason reason);
    // The mouse wheel and the shortcuts: one focus step, one automatic focus, pause or go on.
    void onIncreaseOrDecreaseFoucs(bool increase);
    // One step of the camera's optical zoom (the mouse wheel in zoom mode).
    void onIncreaseOrDecreaseZoom(bool increase);
    void onFocusOnceBtn();
    void onPauseBtnToggled();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void onOpenButton();

private:
    void retranslate();
    void rebuildSelector();
    void updateOpenButton();
    // The panel's requests reach the current camera, and only it.
    void connectCamera();
    void disconnectCamera();
    void setPaused(bool pause);

    QComboBox *m_selector = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QLabel *m_modelLabel = nullptr;
    QLabel *m_cameraCaption = nullptr;
    QLabel *m_modelCaption = nullptr;
    QLabel *m_laterText = nullptr;
    QThread m_searchThread;
    CameraSearcher *m_searcher = nullptr;
    QTimer *m_searchTimer = nullptr;
    CameraDetection m_detection;
    int m_windowsVersion = 10;
    std::shared_ptr<BaseCamera> m_camera;
    QList<QMetaObject::Connection> m_cameraConnections; // cut when the camera closes
    CameraRange m_zoom;                                 // the current camera's optical zoom
    bool m_paused = false;
    QString m_cameraName;
};
