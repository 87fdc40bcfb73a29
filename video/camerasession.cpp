#include "camerasession.h"

#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasearcher.h"
#include "constants.h"

#include <QCoreApplication>
#include <QDebug>
#include <algorithm>
#include <iterator>

namespace {

struct CloseReasonText
{
    const char *name;
    const char *message; // the operator's own close shows nothing
};

// By CameraCloseReason.
const CloseReasonText kCloseReasons[] = {
    {"open failed", QT_TRANSLATE_NOOP("CameraSession", "Failed to open camera!")},
    {"unsupported system",
     QT_TRANSLATE_NOOP("CameraSession",
                       "Camera does not support current system, please use windows 10 and above systems!")},
    {"unsupported model", QT_TRANSLATE_NOOP("CameraSession", "Unsupported camera model, open failed!")},
    {"disconnected", QT_TRANSLATE_NOOP("CameraSession", "Camera disconnected connection!")},
    {"closed", ""},
    {"USB speed too low",
     QT_TRANSLATE_NOOP("CameraSession",
                       "The camera's current connection rate is usb2.0 or lower, and cannot be opened!")},
};

const CloseReasonText *closeReasonText(CameraCloseReason reason)
{
    const int index = int(reason);
    return index >= 0 && index < int(std::size(kCloseReasons)) ? &kCloseReasons[index] : nullptr;
}

// How often the parts of a session closing in the background are checked for their end.
constexpr int kLeftoverPollMs = 50;

} // namespace

CameraSession::CameraSession(CameraOpener opener, QObject *parent)
    : QObject(parent)
    , m_opener(std::move(opener))
    , m_frameFeed(new LiveFrameFeed(this))
    , m_controlThread(newControlThread())
    , m_leftoverTimer(new QTimer(this))
{
    m_leftoverTimer->setInterval(kLeftoverPollMs);
    connect(m_leftoverTimer, &QTimer::timeout, this, &CameraSession::releaseLeftovers);
}

CameraSession::~CameraSession()
{
    m_pendingOpen.reset();
    // The camera SDKs shut down after this: every thread that may still be inside them ends
    // first, however long that takes.
    if (m_playThread && !stopAcquisition(m_acquisitionLimitMs, "CameraThread did not stop in time, waiting for it."))
        m_playThread->wait();
    m_playThread.reset();
    if (!stopControlThread(m_acquisitionLimitMs, "Control thread did not stop in time, waiting for it."))
        m_controlThread->wait();
    m_camera.reset();
    for (const std::unique_ptr<Leftover> &leftover : m_leftovers) {
        if (leftover->playThread)
            leftover->playThread->wait();
        if (leftover->controlThread)
            leftover->controlThread->wait();
    }
    m_leftovers.clear();
}

std::unique_ptr<QThread> CameraSession::newControlThread()
{
    auto thread = std::make_unique<QThread>();
    thread->setObjectName(QStringLiteral("CameraControl"));
    return thread;
}

bool CameraSession::stopControlThread(int limitMs, const char *warning)
{
    // The camera object comes back to this thread before its control thread stops, so that
    // it is released where it can be. Both happen on the control thread after whatever it is
    // doing now: waiting for that here could hold the window for as long as a camera call.
    if (m_camera && m_camera->thread() == m_controlThread.get() && m_controlThread->isRunning()) {
        BaseCamera *camera = m_camera.get();
        QThread *home = thread();
        QMetaObject::invokeMethod(
            camera,
            [camera, home] {
                camera->moveToThread(home);
                QThread::currentThread()->quit();
            },
            Qt::QueuedConnection);
    } else {
        m_controlThread->quit();
    }
    if (m_controlThread->wait(limitMs))
        return true;
    qWarning() << warning;
    return false;
}

bool CameraSession::stopAcquisition(int limitMs, const char *warning)
{
    m_playThread->setRunning(false);
    m_playThread->quit();
    if (m_playThread->wait(limitMs))
        return true;
    qWarning() << warning;
    return false;
}

bool CameraSession::Leftover::ended() const
{
    return (!controlThread || controlThread->isFinished()) && (!playThread || playThread->isFinished());
}

void CameraSession::keepLeftover(std::unique_ptr<Leftover> leftover)
{
    m_leftovers.push_back(std::move(leftover));
    m_leftoverTimer->start();
}

void CameraSession::releaseLeftovers()
{
    m_leftovers.erase(std::remove_if(m_leftovers.begin(), m_leftovers.end(),
                                     [](const std::unique_ptr<Leftover> &leftover) { return leftover->ended(); }),
                      m_leftovers.end());
    if (m_leftovers.empty())
        m_leftoverTimer->stop();
    if (m_pendingOpen && !closingInBackground(m_pendingOpen->name)) {
        const std::unique_ptr<PendingOpen> pending = std::move(m_pendingOpen);
        qInfo().noquote() << "Camera closed in the background, opening it again, cameraName=" << pending->name;
        openCamera(pending->type, pending->name, pending->model);
    }
}

bool CameraSession::closingInBackground(const QString &name) const
{
    return std::any_of(m_leftovers.begin(), m_leftovers.end(),
                       [&name](const std::unique_ptr<Leftover> &leftover) { return leftover->cameraName == name; });
}

QString CameraSession::closeMessage(CameraCloseReason reason)
{
    const CloseReasonText *text = closeReasonText(reason);
    return text ? QString::fromLatin1(text->message) : QString();
}

QString CameraSession::closeReasonName(CameraCloseReason reason)
{
    const CloseReasonText *text = closeReasonText(reason);
    return text ? QString::fromLatin1(text->name) : QString::number(int(reason));
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
    } else {
        // The link as it is now: the camera may have moved to another port since the search.
        CameraSearcher::SearchResult usb;
        CameraSearcher::addUsbCameras(usb);
        info.usbSpeed = usb.value(name).usbSpeed;
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
    m_pendingOpen.reset();
    if (m_playThread && !stopAcquisition(m_acquisitionLimitMs, "Camera open. CameraThread of the previous camera "
                                                               "did not stop in time, it ends in the background.")) {
        // Whatever it still reads is not this session's.
        m_playThread->disconnect(this);
        auto leftover = std::make_unique<Leftover>();
        leftover->cameraName = m_playThread->cameraName();
        leftover->playThread = std::move(m_playThread);
        keepLeftover(std::move(leftover));
    }
    m_playThread = std::make_shared<CameraPlayThread>();
    CameraPlayThread *thread = m_playThread.get();
    connect(thread, &CameraPlayThread::putVideoFrame, this, &CameraSession::putVideoFrame);
    // On the acquisition thread; the connection goes with the others when the session closes.
    LiveFrameFeed *feed = m_frameFeed;
    connect(
        thread, &CameraPlayThread::frameDecoded, this, [feed](const VideoFrame &frame) { feed->publish(frame); },
        Qt::DirectConnection);
    connect(thread, &CameraPlayThread::CameraCloseForReason, this, &CameraSession::cameraCloseForReason);
    connect(thread, &CameraPlayThread::sendFps, this, &CameraSession::sendFps);
    connect(thread, &CameraPlayThread::resolutionChange, this, &CameraSession::resolutionChange);
    connect(thread, &CameraPlayThread::formatChanged, this, &CameraSession::formatChanged);
    thread->setRunning(true);
    thread->setCameraName(name);

    // The device is still held by the session closing in the background.
    if (closingInBackground(name)) {
        qInfo().noquote() << "Camera open waits for its previous session to finish closing, cameraName=" << name;
        m_pendingOpen.reset(new PendingOpen{type, name, model});
        return true;
    }
    return openCamera(type, name, model);
}

bool CameraSession::openCamera(CameraType type, const QString &name, const QString &model)
{
    CameraPlayThread *thread = m_playThread.get();
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
        if (m_streamChooser && !m_streamChooser(info)) {
            emit closeDeviceForOpenFailed(thread->cameraName(), OpenFailed);
            return;
        }
        thread->applyCameraInfo(info);
        thread->start();
        emit streaming(thread->cameraName());
    });
    QMetaObject::invokeMethod(camera.get(), "onGetAllInfo", Qt::QueuedConnection);
    return true;
}

bool CameraSession::close(const QString &name, CameraCloseReason reason)
{
    if (name.isEmpty() || !m_playThread)
        return false;
    qInfo().noquote() << "CameraClose, cameraName=" << name;
    m_playThread->disconnect(this);
    m_pendingOpen.reset();

    auto leftover = std::make_unique<Leftover>();
    if (!stopControlThread(m_controlLimitMs,
                           "Camera close. Control thread did not stop in time, the close goes on in the background.")) {
        // The next session gets a new control thread.
        leftover->controlThread = std::move(m_controlThread);
        m_controlThread = newControlThread();
    }
    if (!stopAcquisition(m_acquisitionLimitMs,
                         "Camera close. CameraThread did not stop in time, the close goes on in the background."))
        leftover->playThread = m_playThread;
    m_playThread.reset();
    if (leftover->controlThread || leftover->playThread) {
        leftover->cameraName = name;
        leftover->camera = std::move(m_camera);
        keepLeftover(std::move(leftover));
    }
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
