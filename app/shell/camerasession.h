#pragma once

#include "cameraclosereason.h"
#include "cameraenums.h"
#include "cameraopeninfo.h"
#include "videoframe.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

class BaseCamera;
class CameraPlayThread;
struct CameraInfo;

// The one camera session the main window holds at a time: the camera object on its control
// thread and the acquisition thread that streams it. Opening and closing follow a fixed order;
// the reason a session ends decides the message the operator sees.
class CameraSession : public QObject
{
    Q_OBJECT

public:
    // Creates and opens the camera object for an open record (the control panel does it);
    // empty when the model is unknown or the camera refuses.
    using CameraOpener = std::function<std::shared_ptr<BaseCamera>(const CameraOpenInfo &)>;

    explicit CameraSession(CameraOpener opener, QObject *parent = nullptr);
    ~CameraSession() override;

    // The message a closing session shows, untranslated; empty for the operator's own close.
    static QString closeMessage(CameraCloseReason reason);
    // The open record of a camera: stream defaults, and for network cameras the program's login.
    static CameraOpenInfo openRecord(CameraType type, const QString &name, const QString &model);

    // Opens a camera: rebuilds the acquisition thread, creates and opens the camera object,
    // moves it to the control thread, asks it for its information and starts streaming when
    // the answer arrives. False (and closeDeviceForOpenFailed) when no camera object results.
    bool open(CameraType type, const QString &name, const QString &model);
    // Ends the session in the fixed order. False when there was none to end (empty name, no
    // acquisition thread). A lost network camera restarts the network discovery.
    bool close(const QString &name, CameraCloseReason reason);

    bool isOpen() const { return bool(m_playThread); }
    QString cameraName() const;
    std::shared_ptr<BaseCamera> camera() const { return m_camera; }
    std::shared_ptr<CameraPlayThread> playThread() const { return m_playThread; }
    QThread *controlThread() const { return m_controlThread.get(); }

    // How long close() waits for the two threads before terminating them.
    void setStopLimits(int controlMs, int acquisitionMs);
    // Replaces the network SDK restart (tests count it).
    void setNetworkRestart(std::function<void()> restart) { m_restartNetwork = std::move(restart); }
    // The network SDK's discovery stopped and started again.
    static void restartNetworkDiscovery();

signals:
    void putVideoFrame(VideoFrame frame, int camIndex);
    // The stream ended by itself (lost camera, refused settings); the control panel closes.
    void cameraCloseForReason(QString name, CameraCloseReason reason);
    void closeDeviceForOpenFailed(QString name, CameraCloseReason reason);
    void streaming(QString name); // the acquisition thread started
    void sendFps(QString fps);
    void resolutionChange(QString resolution);
    void formatChanged(QString format);

private:
    void stopAcquisition(int limitMs, const char *warning);
    // Quits the control thread within the limit, else warns and terminates it; false then.
    bool stopControlThread(int limitMs, const char *warning);

    CameraOpener m_opener;
    std::function<void()> m_restartNetwork = &CameraSession::restartNetworkDiscovery;
    std::unique_ptr<QThread> m_controlThread;
    std::shared_ptr<CameraPlayThread> m_playThread;
    std::shared_ptr<BaseCamera> m_camera;
    int m_controlLimitMs = 20000;
    int m_acquisitionLimitMs = 2000;
};
