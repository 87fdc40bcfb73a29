#pragma once

#include "cameraclosereason.h"
#include "cameraenums.h"
#include "cameraopeninfo.h"
#include "liveframefeed.h"
#include "videoframe.h"

#include <QObject>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class BaseCamera;
class CameraPlayThread;
struct CameraInfo;

// The one camera session the program holds at a time: the camera object on its control
// thread and the acquisition thread that streams it. Opening and closing follow a fixed order;
// the reason a session ends decides the message the operator sees. Every decoded live frame
// goes to the session's frame feed.
class CameraSession : public QObject
{
    Q_OBJECT

public:
    // Creates and opens the camera object for an open record (the control panel does it);
    // empty when the model is unknown or the camera refuses.
    using CameraOpener = std::function<std::shared_ptr<BaseCamera>(const CameraOpenInfo &)>;
    // Chooses the stream from the camera's information before streaming starts, in place of
    // the camera's stored row: may change the size (current) and the format. False refuses
    // the session (closeDeviceForOpenFailed).
    using StreamChooser = std::function<bool(CameraInfo &)>;

    explicit CameraSession(CameraOpener opener, QObject *parent = nullptr);
    ~CameraSession() override;

    // The message a closing session shows, untranslated; empty for the operator's own close.
    static QString closeMessage(CameraCloseReason reason);
    // The reason in a few words for logs and the command line ("disconnected"); the number
    // when unknown.
    static QString closeReasonName(CameraCloseReason reason);
    // The open record of a camera: stream defaults, for USB cameras their link speed now, and
    // for network cameras the program's login.
    static CameraOpenInfo openRecord(CameraType type, const QString &name, const QString &model);

    // Opens a camera: rebuilds the acquisition thread, creates and opens the camera object,
    // moves it to the control thread, asks it for its information and starts streaming when
    // the answer arrives. False (and closeDeviceForOpenFailed) when no camera object results.
    // While an earlier session of the same camera still finishes closing in the background,
    // the camera object is created once that is done (a failure is then only signalled).
    bool open(CameraType type, const QString &name, const QString &model);
    // Ends the session in the fixed order. False when there was none to end (empty name, no
    // acquisition thread). A lost network camera restarts the network discovery. A thread
    // held up in a camera call past its limit is left to end in the background, where the
    // rest of the session is released after it; the window goes on meanwhile.
    bool close(const QString &name, CameraCloseReason reason);

    bool isOpen() const { return bool(m_playThread); }
    QString cameraName() const;
    std::shared_ptr<BaseCamera> camera() const { return m_camera; }
    std::shared_ptr<CameraPlayThread> playThread() const { return m_playThread; }
    QThread *controlThread() const { return m_controlThread.get(); }
    // Outlives the camera sessions: a subscriber stays subscribed from one to the next.
    LiveFrameFeed *frameFeed() const { return m_frameFeed; }

    // Applies to the sessions opened after it.
    void setStreamChooser(StreamChooser chooser) { m_streamChooser = std::move(chooser); }

    // How long close() waits for each of the two threads before it leaves them to end in
    // the background.
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
    // What is left of a session whose threads did not stop in time. A thread is never
    // destroyed while it runs: all of it is released once both have ended.
    struct Leftover
    {
        QString cameraName;
        std::unique_ptr<QThread> controlThread;
        std::shared_ptr<CameraPlayThread> playThread;
        std::shared_ptr<BaseCamera> camera;
        bool ended() const;
    };
    struct PendingOpen
    {
        CameraType type;
        QString name;
        QString model;
    };

    // Creates and opens the camera object and asks for its information (open's second half).
    bool openCamera(CameraType type, const QString &name, const QString &model);
    // Stops the acquisition thread within the limit; false (after the warning) when it still runs.
    bool stopAcquisition(int limitMs, const char *warning);
    // Hands the camera back to this thread and quits the control thread, within the limit;
    // false (after the warning) when it still runs.
    bool stopControlThread(int limitMs, const char *warning);
    static std::unique_ptr<QThread> newControlThread();
    void keepLeftover(std::unique_ptr<Leftover> leftover);
    // Releases the leftovers whose threads have ended, then runs an open that waited for them.
    void releaseLeftovers();
    bool closingInBackground(const QString &name) const;

    CameraOpener m_opener;
    StreamChooser m_streamChooser;
    LiveFrameFeed *m_frameFeed;
    std::function<void()> m_restartNetwork = &CameraSession::restartNetworkDiscovery;
    std::unique_ptr<QThread> m_controlThread;
    std::shared_ptr<CameraPlayThread> m_playThread;
    std::shared_ptr<BaseCamera> m_camera;
    std::vector<std::unique_ptr<Leftover>> m_leftovers;
    QTimer *m_leftoverTimer;
    std::unique_ptr<PendingOpen> m_pendingOpen;
    // Past the limits the close goes on in the background, so nothing is gained by waiting longer.
    int m_controlLimitMs = 2000;
    int m_acquisitionLimitMs = 2000;
};
