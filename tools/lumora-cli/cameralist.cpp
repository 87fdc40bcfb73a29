#include "cameralist.h"

#include <QElapsedTimer>
#include <QThread>


namespace {

// Discovery asks once a second; the first round goes out at once and loopback answers come
// back within milliseconds, so this covers the first round with room to spare.
constexpr int kFirstAnswersMs = 1200;

} // namespace

CameraDiscovery::CameraDiscovery()
{
    m_networkRunning = CameraSearcher::startNetworkDiscovery();
    m_started.start();
}

CameraDiscovery::~CameraDiscovery()
{
    CameraSearcher::stopNetworkDiscovery();
}

void CameraDiscovery::addNetwork(QMap<QString, CameraEntry> &cameras) const
{
    if (!m_networkRunning)
        return;
    const qint64 wait = kFirstAnswersMs - m_started.elapsed();
    if (wait > 0)
        QThread::msleep(quint64(wait));
    CameraSearcher::addNetworkCameras(cameras);
}

QMap<QString, CameraEntry> CameraDiscovery::list() const
{
    QMap<QString, CameraEntry> cameras;
    CameraSearcher::addUsbCameras(cameras);
    addNetwork(cameras);
    return cameras;
}

bool CameraDiscovery::find(const QString &name, CameraEntry &entry) const
{
    const auto match = [&name, &entry](const QMap<QString, CameraEntry> &cameras) {
        if (cameras.contains(name)) {
            entry = cameras.value(name);
            return true;
        }
        for (const CameraEntry &camera : cameras) {
            if (camera.displayName == name || camera.displayName.trimmed() == name) {
                entry = camera;
                return true;
            }
        }
        return false;
    };
    // USB cameras answer at once; the network is waited for only when they do not hold the name.
    QMap<QString, CameraEntry> cameras;
    CameraSearcher::addUsbCameras(cameras);
    if (match(cameras))
        return true;
    addNetwork(cameras);
    return match(cameras);
}
