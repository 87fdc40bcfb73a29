#pragma once

#include "cameraclosereason.h"
#include "cameradetection.h"
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

signals:
    void openCam(CameraType type, QString uniqueName, QString model);
    void closeCam(QString uniqueName, CameraCloseReason reason);

public slots:
    void onDetectDevices(QMap<QString, CameraSearcher::SearchInfo> infos);
    // Ends the current camera: the object is dropped, the reason remembered for the automatic
    // opening, and closeCam tells the main window.
    void closeCameraForReason(QString uniqueName, CameraCloseReason reason);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void onOpenButton();

private:
    void retranslate();
    void rebuildSelector();
    void updateOpenButton();

    QComboBox *m_selector = nullptr;
    QPushButton *m_openButton = nullptr;
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
    QString m_cameraName;
};
