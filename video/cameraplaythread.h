#pragma once

#include "cameratypes.h"
#include "videoframe.h"

#include <QMap>
#include <QMetaObject>
#include <QMutex>
#include <QPixmap>
#include <QString>
#include <QThread>
#include <QVector>
#include <atomic>
#include <memory>

class BaseCamera;

// The worker thread that owns the live stream of one opened camera: opens it, polls its
// frames at most every 10 ms, hands them to the display with at most one frame in flight,
// answers frame and photo requests, reports rate, size and format once a second, applies
// capture-setting changes between two frames and closes the camera with a reason when the
// stream dies.
class CameraPlayThread : public QThread
{
    Q_OBJECT

public:
    // The requested stream parameters.
    struct CaptureParameters
    {
        int fps = 60;
        int width = 1920;
        int height = 1080;
        int bitRate = 86000;
        int format = 0; // 0 MJPEG, 1 NV12, 2 YUY2, 3 H264
        QMap<int, int> bitRateLevels{{0, 51200}, {1, 86000}, {2, 100000}};
    };

    explicit CameraPlayThread(QObject *parent = nullptr);
    ~CameraPlayThread() override;

    // The loop runs while this is true: the owner sets it before start() and clears it to
    // stop; the thread clears it itself when it gives up on the camera.
    void setRunning(bool running) { m_running.store(running); }
    bool running() const { return m_running.load(); }

    void setCameraName(const QString &name) { m_cameraName = name; }
    QString cameraName() const { return m_cameraName; }
    void setCamIndex(int index) { m_camIndex = index; }
    int camIndex() const { return m_camIndex; }

    // Takes shared ownership of the camera, copies its open record into the capture
    // parameters and wires its image processing and photo path to this thread.
    void setCaptureCamera(std::shared_ptr<BaseCamera> camera);
    // Takes size, bit rate, format (and the rate for "IPC" cameras) from the camera's
    // information; called once before the thread starts.
    void applyCameraInfo(const CameraInfo &info);
    // Requests new stream parameters; the loop applies them before its next read. A USB
    // stream with the same size and format is left alone.
    void setCaptureParameters(const CaptureParameters &parameters);
    CaptureParameters captureParameters() const;
    // The open record the camera is started and changed with.
    CameraOpenInfo openInfo() const;

    bool isPaused() const { return m_paused.load(); }
    // The current frame through the camera's image processing; null without a camera.
    QPixmap currentPixmap();

    // Name reported by formatChanged for a format code; unknown codes read as "MJPEG".
    static QString formatName(int format);

signals:
    void sendVideoFrame(VideoFrame frame);
    // Every frame read, on this thread, whether or not the display takes it.
    void frameDecoded(VideoFrame frame);
    // The frames for the display: one in flight at a time.
    void putVideoFrame(VideoFrame frame, int camIndex);
    void getVideoFrameForTakingPhoto(CameraResolution photoRes);
    void sendVideoFrameForTakingPhoto(VideoFrame frame);
    void CameraCloseForReason(QString cameraName, CameraCloseReason reason);
    void sendFps(QString fps);
    void resolutionChange(QString resolution);
    void formatChanged(QString format);
    void captureSettingsChanged(bool flag);

public slots:
    void onGetVideoFrame();
    void onSetPauseStatus(bool pause);
    void onFrameRendered();
    void onGetVideoFrameForTakingPhoto(CameraResolution photoRes);

protected:
    void run() override;
    // Shortest time between two frame reads.
    virtual int pollIntervalMs() const { return 10; }

private:
    void dropCamera();

    std::atomic<bool> m_running{false};
    QString m_cameraName;
    QMutex m_frameMutex; // guards m_currentFrame
    int m_frameCount = 0;
    int m_camIndex = 0;
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_frameRequested{false};
    std::atomic<bool> m_settingsChanged{false};
    std::atomic<bool> m_frameRendered{true};
    qint64 m_lastSentMs = 0;
    VideoFrame m_currentFrame;
    std::shared_ptr<BaseCamera> m_camera;
    QVector<QMetaObject::Connection> m_cameraConnections;

    // Written by the GUI thread, read by the loop once it sees m_settingsChanged.
    mutable QMutex m_parameterMutex;
    CaptureParameters m_parameters;
    CameraOpenInfo m_openInfo;
};

Q_DECLARE_METATYPE(CameraPlayThread::CaptureParameters)
