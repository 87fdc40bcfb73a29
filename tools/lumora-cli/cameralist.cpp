#include "cameralist.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <l_sdk.h>
#include <lmcam.h>

#include <cstring>
#include <memory>

namespace {

// Connection label and USB speed code by the SDK's connection-type value.
QString connectionLabel(uint32_t busSpeed)
{
    switch (busSpeed) {
    case 0:
        return QStringLiteral("(USB 1.0)");
    case 1:
        return QStringLiteral("(USB 1.1)");
    case 2:
        return QStringLiteral("(USB 2.0)");
    default:
        return QString();
    }
}

int usbSpeedCode(uint32_t busSpeed)
{
    static const int kCodes[] = {0, 2, 1, 3};
    return busSpeed < 4 ? kCodes[busSpeed] : 0;
}

// Discovery asks once a second; the first round goes out at once and loopback answers come
// back within milliseconds, so this covers the first round with room to spare.
constexpr int kFirstAnswersMs = 1200;

void addUsbCameras(QMap<QString, CameraEntry> &cameras)
{
    auto list = std::make_unique<lmcam_device_list>();
    std::memset(list.get(), 0, sizeof(lmcam_device_list));
    if (lmcam_enum_devices(list.get()) != LMCAM_OK)
        return;
    const int count = qBound(0, int(list->count), int(LMCAM_MAX_DEVICES));
    for (int i = 0; i < count; ++i) {
        const lmcam_device_info &device = list->devices[i];
        CameraEntry entry;
        entry.uniqueName = QString::fromUtf8(device.unique_name, int(qstrnlen(device.unique_name, LMCAM_NAME_SIZE)));
        entry.displayName = QStringLiteral("LmCam_%1 %2").arg(i + 1).arg(connectionLabel(device.bus_speed));
        entry.model = QString::number(device.product_id, 16);
        entry.usbSpeed = usbSpeedCode(device.bus_speed);
        cameras.insert(entry.uniqueName, entry);
    }
}

void addNetworkCameras(QMap<QString, CameraEntry> &cameras)
{
    char *answer = nullptr;
    if (l_sdk_discover_get_devs(&answer) != L_SDK_OK || !answer) {
        l_sdk_free(answer);
        return;
    }
    const QByteArray text(answer);
    l_sdk_free(answer);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (!document.isArray()) {
        qWarning() << "network camera list is not a JSON array:" << error.errorString();
        return;
    }
    for (const QJsonValue &value : document.array()) {
        const QJsonObject device = value.toObject();
        CameraEntry entry;
        entry.type = NetworkCamera;
        entry.uniqueName = device.value(QStringLiteral("ip")).toString();
        entry.displayName = entry.uniqueName;
        entry.model = device.value(QStringLiteral("discover")).toObject().value(QStringLiteral("model")).toString();
        if (!entry.uniqueName.isEmpty()) {
            cameras.insert(entry.uniqueName, entry);
        }
    }
}

} // namespace

CameraDiscovery::CameraDiscovery()
{
    m_networkRunning =
        l_sdk_init("") == L_SDK_OK && l_sdk_discover_open("") == L_SDK_OK && l_sdk_discover_run(1) == L_SDK_OK;
    m_started.start();
}

CameraDiscovery::~CameraDiscovery()
{
    if (m_networkRunning) {
        l_sdk_discover_run(0);
        l_sdk_discover_close();
    }
    l_sdk_quit();
}

void CameraDiscovery::addNetwork(QMap<QString, CameraEntry> &cameras) const
{
    if (!m_networkRunning)
        return;
    const qint64 wait = kFirstAnswersMs - m_started.elapsed();
    if (wait > 0)
        QThread::msleep(quint64(wait));
    addNetworkCameras(cameras);
}

QMap<QString, CameraEntry> CameraDiscovery::list() const
{
    QMap<QString, CameraEntry> cameras;
    addUsbCameras(cameras);
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
    addUsbCameras(cameras);
    if (match(cameras))
        return true;
    addNetwork(cameras);
    return match(cameras);
}
