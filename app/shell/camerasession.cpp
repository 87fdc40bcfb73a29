#include "camerasession.h"

#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasearcher.h"
#include "constants.h"

#include <QCoreApplication>
#include <QDebug>
#include <iterator>

namespace {

// By CameraCloseReason; the operator's own close shows nothing.
const char *const kCloseMessages[] = {
    QT_TRANSLATE_NOOP("CameraSession", "Failed to open camera!"),
    QT_TRANSLATE_NOOP("CameraSession",
                      "Camera does not support current system, please use windows 10 and above systems!"),
    QT_TRANSLATE_NOOP("CameraSession", "Unsupported camera model, open failed!"),
    QT_TRANSLATE_NOOP("CameraSession", "Camera disconnected connection!"),
    "",
    QT_TRANSLATE_NOOP("CameraSession",
                      "The camera's current connection rate is usb2.0 or lower, and cannot be opened!"),
};

} // namespace

CameraSession::CameraSession(CameraOpener opener, QObject *parent)
    : QObject(parent), m_opener(std::move(opener)), m_controlThread(std::make_unique<QThread>())
{
    m_controlThread->setObjectName(QStringLiteral("CameraControl"));
}

CameraSession::~CameraSession()
{
    if (m_playThread)
        stopAcquisition(m_acquisitionLimitMs, "CameraThread should be terminated.");
    stopControlThread(m_acquisitionLimitMs, "Control thread should be terminated.");
    m_camera.reset();
}

bool CameraSession::stopControlThread(int limitMs, const char *warning)
{
    // The camera object comes back to this thread before its control thread stops, so that
    // it is released where it can be.
    if (m_camera && m_controlThread->isRunning()) {
        BaseCamera *camera = m_camera.get();
        QThread *home = thread();
        QMetaObject::invokeMethod(camera, [camera, home] { camera->moveToThread(home); },
                                  Qt::BlockingQueuedConnection);
    }
    m_controlThread->quit();
    if (m_controlThread->wait(limitMs))
        return true;
    qWarning() << warning;
    m_controlThread->terminate();
    m_controlThread->wait();
    return false;
}

QString CameraSession::closeMessage(CameraCloseReason reason)
{
    const int index = int(reason);
    return index >= 0 && index < int(std::size(kCloseMessages)) ? QString::fromLatin1(kCloseMessages[index])
                                                                 : QString();
}

CameraOpenInfo CameraSession::openRecord(CameraType type, const QString &name, const QString &model)
{
    CameraOpenInfo info; // stream defaults: 1920 x 1080, cbr, high, 30 fps, 86000, group 90
    info.model = model;
    info.cameraResolution.devicePath = name;
    if (type == NetworkCamera) {
        info.isNetCamera = true;
        info.address = name;
        info.userName = QString::fromLatin1(Constants::kNetCameraUser);
        info.password = QString::fromLatin1(Constants::kLoginPassword);
        info.port = QString::fromLatin1(Constants::kNetCameraPort);
    }
    return info;
}

QString CameraSession::cameraName() const
{
    return m_playThread ? m_playThread->cameraName() : QString();
}

void CameraSession::setStopLimits(int controlMs, int acquisitionMs)
{
    m_controlLimitMs = controlMs;
    m_acquisitionLimitMs = acquisitionMs;
}

bool CameraSession::open(CameraType type, const QString &name, const QString &model)
{
    // A new session replaces the stream of the old one.
    if (m_playThread) {
        m_playThread->setRunning(false);
        m_playThread->quit();
        m_playThread->wait();
    }
    m_playThread = std::make_shared<CameraPlayThread>();
    CameraPlayThread *thread = m_playThread.get();
    connect(thread, &CameraPlayThread::putVideoFrame, this, &CameraSession::putVideoFrame);
    connect(thread, &CameraPlayThread::CameraCloseForReason, this, &CameraSession::cameraCloseForReason);
    connect(thread, &CameraPlayThread::sendFps, this, &CameraSession::sendFps);
    connect(thread, &CameraPlayThread::resolutionChange, this, &CameraSession::resolutionChange);
    connect(thread, &CameraPlayThread::formatChanged, this, &CameraSession::formatChanged);
    thread->setRunning(true);
    thread->setCameraName(name);

    const CameraOpenInfo record = openRecord(type, name, model);
    std::shared_ptr<BaseCamera> camera = m_opener ? m_opener(record) : nullptr;
    if (!camera) {
        emit closeDeviceForOpenFailed(name, OpenFailed);
        return false;
    }
    m_camera = camera;
    if (!m_controlThread->isRunning())
        m_controlThread->start();
    camera->moveToThread(m_controlThread.get());
    thread->setCaptureCamera(camera);

    // Streaming starts with the sizes the camera reports (its stored row chose them).
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(camera.get(), &BaseCamera::sendAllInfo, this, [this, once, thread](CameraInfo info) {
        disconnect(*once);
        if (m_playThread.get() != thread || !thread->running())
            return;
        thread->applyCameraInfo(info);
        thread->start();
        emit streaming(thread->cameraName());
    });
    QMetaObject::invokeMethod(camera.get(), "onGetAllInfo", Qt::QueuedConnection);
    return true;
}

void CameraSession::stopAcquisition(int limitMs, const char *warning)
{
    m_playThread->setRunning(false);
    m_playThread->quit();
    if (!m_playThread->wait(limitMs)) {
        qWarning() << warning;
        m_playThread->terminate();
        m_playThread->wait();
    }
    m_playThread.reset();
}

bool CameraSession::close(const QString &name, CameraCloseReason reason)
{
    if (name.isEmpty() || !m_playThread)
        return false;
    qInfo().noquote() << "CameraClose, cameraName=" << name;
    m_playThread->disconnect(this);

    if (!stopControlThread(m_controlLimitMs, "Camera close. Control thread should be terminated.")) {
        // A terminated thread is not started again: the next session gets a new one.
        m_controlThread = std::make_unique<QThread>();
        m_controlThread->setObjectName(QStringLiteral("CameraControl"));
    }
    stopAcquisition(m_acquisitionLimitMs, "Camera close. CameraThread should be terminated.");
    m_camera.reset();

    if (!name.contains(QLatin1String("pid")) && reason == Disconnected && m_restartNetwork)
        m_restartNetwork();
    return true;
}

void CameraSession::restartNetworkDiscovery()
{
    qInfo() << "Restart network camera discovery";
    CameraSearcher::stopNetworkDiscovery();
    CameraSearcher::startNetworkDiscovery();
}
