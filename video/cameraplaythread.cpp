#include "cameraplaythread.h"

#include "basecamera.h"
#include "constants.h"
#include "frameconversion.h"
#include "imageprocess.h"

#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QMutexLocker>

namespace {

constexpr int kMaxFailedReads = 500;     // more empty reads in a row than this: the camera is gone
constexpr qint64 kRenderEscapeMs = 1000; // a lost acknowledgement never freezes the picture longer
constexpr qint64 kRatePeriodMs = 1000;

void setUsbResolution(CameraOpenInfo &info, int width, int height)
{
    info.cameraResolution.width = width;
    info.cameraResolution.height = height;
    info.cameraResolution.resolution = CameraResolution::text(width, height);
}

void setNetworkResolution(CameraOpenInfo &info, int width, int height)
{
    info.width = width;
    info.height = height;
    info.resolution = CameraResolution::text(width, height);
}

} // namespace

CameraPlayThread::CameraPlayThread(QObject *parent) : QThread(parent)
{
    registerCameraTypes();
    qRegisterMetaType<CameraPlayThread::CaptureParameters>("CameraPlayThread::CaptureParameters");
}

CameraPlayThread::~CameraPlayThread()
{
    // Owners stop the thread first; this only guards against a forgotten stop.
    m_running.store(false);
    wait();
    dropCamera();
}

QString CameraPlayThread::formatName(int format)
{
    return Constants::videoFormatName(format);
}

void CameraPlayThread::dropCamera()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_cameraConnections))
        disconnect(connection);
    m_cameraConnections.clear();
    m_camera.reset();
}

void CameraPlayThread::setCaptureCamera(std::shared_ptr<BaseCamera> camera)
{
    dropCamera();
    if (!camera) {
        qWarning() << "setCaptureCamera failed!";
        return;
    }
    m_camera = std::move(camera);
    {
        QMutexLocker locker(&m_parameterMutex);
        m_openInfo = m_camera->openInfo();
        if (m_openInfo.isNetCamera) {
            m_parameters.fps = m_openInfo.frameRate;
            m_parameters.width = m_openInfo.width;
            m_parameters.height = m_openInfo.height;
            m_parameters.bitRate = m_openInfo.bitRate;
            m_parameters.format = m_openInfo.streamFormat;
        } else {
            m_parameters.fps = m_openInfo.cameraResolution.fps;
            m_parameters.width = m_openInfo.cameraResolution.width;
            m_parameters.height = m_openInfo.cameraResolution.height;
            m_parameters.format = m_openInfo.cameraResolution.format;
        }
    }
    BaseCamera *cam = m_camera.get();
    ImageProcess *process = cam->imageProcess();
    if (process) {
        // The request only raises a flag: taken on the worker's thread, it needs no event loop here.
        m_cameraConnections << connect(process, &ImageProcess::getVideoFrameForProcess, this,
                                       &CameraPlayThread::onGetVideoFrame, Qt::DirectConnection);
        m_cameraConnections << connect(this, &CameraPlayThread::sendVideoFrame, process,
                                       &ImageProcess::onRecvVideoFrameForProcess);
    }
    m_cameraConnections << connect(cam, &BaseCamera::sendVideoFrameForTakingPhoto, this,
                                   &CameraPlayThread::sendVideoFrameForTakingPhoto);
    m_cameraConnections << connect(this, &CameraPlayThread::getVideoFrameForTakingPhoto, cam,
                                   &BaseCamera::onGetVideoFrameForTakingPhoto);
}

void CameraPlayThread::applyCameraInfo(const CameraInfo &info)
{
    const bool ipc = m_camera && m_camera->uniqueName().contains(QLatin1String("IPC"));
    QMutexLocker locker(&m_parameterMutex);
    m_parameters.width = info.current.width;
    m_parameters.height = info.current.height;
    m_parameters.bitRate = info.bitRate;
    m_parameters.format = info.format;
    if (ipc)
        m_parameters.fps = info.fps;
    const CaptureParameters &p = m_parameters;
    if (m_openInfo.isNetCamera) {
        m_openInfo.bitRate = p.bitRate;
        m_openInfo.streamFormat = p.format;
        m_openInfo.frameRate = p.fps;
        m_openInfo.quality = QStringLiteral("high");
        m_openInfo.rateControl = QStringLiteral("cbr");
        m_openInfo.iFrameInterval = 90;
        setNetworkResolution(m_openInfo, p.width, p.height);
    } else {
        setUsbResolution(m_openInfo, p.width, p.height);
        m_openInfo.cameraResolution.fps = p.fps;
        m_openInfo.cameraResolution.format = p.format;
        m_openInfo.cameraResolution.frameBufferBytes = p.format == 1 ? 8294400 : 4147200;
    }
}

void CameraPlayThread::setCaptureParameters(const CaptureParameters &parameters)
{
    {
        QMutexLocker locker(&m_parameterMutex);
        if (!m_openInfo.isNetCamera && parameters.width == m_parameters.width &&
            parameters.height == m_parameters.height && parameters.format == m_parameters.format)
            return;
        m_parameters = parameters;
        if (m_openInfo.isNetCamera) {
            setNetworkResolution(m_openInfo, parameters.width, parameters.height);
            m_openInfo.frameRate = parameters.fps;
            m_openInfo.bitRate = parameters.bitRate;
            m_openInfo.streamFormat = parameters.format;
        } else {
            setUsbResolution(m_openInfo, parameters.width, parameters.height);
            m_openInfo.cameraResolution.fps = parameters.fps;
            m_openInfo.cameraResolution.format = parameters.format;
        }
    }
    m_settingsChanged.exchange(true);
}

CameraPlayThread::CaptureParameters CameraPlayThread::captureParameters() const
{
    QMutexLocker locker(&m_parameterMutex);
    return m_parameters;
}

CameraOpenInfo CameraPlayThread::openInfo() const
{
    QMutexLocker locker(&m_parameterMutex);
    return m_openInfo;
}

QPixmap CameraPlayThread::currentPixmap()
{
    QMutexLocker locker(&m_frameMutex);
    if (!m_camera)
        return QPixmap();
    ImageProcess *process = m_camera->imageProcess();
    const VideoFrame frame = process ? process->process(m_currentFrame) : m_currentFrame;
    return QPixmap::fromImage(videoFrameToQImage(frame));
}

void CameraPlayThread::onGetVideoFrame()
{
    m_frameRequested.exchange(true);
}

void CameraPlayThread::onSetPauseStatus(bool pause)
{
    m_paused.exchange(pause);
}

void CameraPlayThread::onFrameRendered()
{
    m_frameRendered.exchange(true);
}

void CameraPlayThread::onGetVideoFrameForTakingPhoto(CameraResolution photoRes)
{
    if (!m_paused.load()) {
        emit getVideoFrameForTakingPhoto(photoRes);
        return;
    }
    // A paused picture is photographed as shown.
    QMutexLocker locker(&m_frameMutex);
    emit sendVideoFrameForTakingPhoto(m_currentFrame);
}

void CameraPlayThread::run()
{
    if (!m_camera) {
        qWarning() << "CameraPlayThread, m_camera is not exist!";
        return;
    }
    // The camera stays held for the whole run even if the owner hands over another one.
    const std::shared_ptr<BaseCamera> camera = m_camera;
    CameraCloseReason reason = OpenFailed;
    if (!camera->start(openInfo(), reason)) {
        qWarning() << "CameraPlayThread, open camera failed!";
        emit CameraCloseForReason(camera->displayName(), reason);
        return;
    }

    QElapsedTimer rateTimer;
    rateTimer.start();
    if (!m_running.load()) {
        camera->close();
        return;
    }

    int failedCount = 0;
    bool firstReport = true;
    QElapsedTimer paceTimer;
    for (;;) {
        paceTimer.start();

        if (m_settingsChanged.exchange(false)) {
            emit captureSettingsChanged(true);
            reason = OpenFailed;
            if (!camera->changeResolution(openInfo(), reason)) {
                qWarning() << "Camera change capture settings failed!";
                emit captureSettingsChanged(false);
                m_running.store(false);
                emit CameraCloseForReason(camera->displayName(), reason);
                camera->close();
                return;
            }
            emit captureSettingsChanged(false);
        }

        VideoFrame frame = camera->readFrame();
        if (frame.size() == 0) {
            if (++failedCount > kMaxFailedReads) {
                qWarning().noquote() << QStringLiteral("getVideoFrameData failed! FailedCount=%1, cameraName=%2")
                                            .arg(failedCount)
                                            .arg(camera->displayName());
                m_running.store(false);
                emit CameraCloseForReason(camera->displayName(), Disconnected);
                camera->close();
                return;
            }
        } else {
            ++m_frameCount;
            const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
            frame.setTimestampUs(nowMs * 1000);
            emit frameDecoded(frame);
            QMutexLocker locker(&m_frameMutex);
            if (!m_paused.load()) {
                m_currentFrame = frame;
                // Only the latest frame survives while the display is busy.
                if (m_frameRendered.exchange(false)) {
                    emit putVideoFrame(m_currentFrame, m_camIndex);
                    m_lastSentMs = nowMs;
                } else if (nowMs - m_lastSentMs > kRenderEscapeMs) {
                    m_frameRendered.exchange(true);
                }
            }
            const qint64 rateMs = rateTimer.elapsed();
            if (firstReport || rateMs > kRatePeriodMs) {
                // The first frame reports size and format at once; the rate is measured from it
                // over a whole period, so that the wait for the first frame does not count.
                if (!firstReport)
                    emit sendFps(QString::number(m_frameCount * 1000.0 / double(rateMs), 'f', 2));
                firstReport = false;
                emit resolutionChange(CameraResolution::text(frame.width(), frame.height()));
                emit formatChanged(formatName(captureParameters().format));
                m_frameCount = 0;
                rateTimer.restart();
            }
            if (m_frameRequested.exchange(false))
                emit sendVideoFrame(m_currentFrame);
            locker.unlock();
            failedCount = 0;
        }

        const qint64 rest = pollIntervalMs() - paceTimer.elapsed();
        if (rest >= 1)
            QThread::msleep(static_cast<unsigned long>(rest));

        frame = VideoFrame();
        if (!m_running.load()) {
            camera->close();
            return;
        }
    }
}
