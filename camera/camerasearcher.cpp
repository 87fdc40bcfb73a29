#include "camerasearcher.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOperatingSystemVersion>
#include <QSysInfo>

#include <l_sdk.h>
#include <lmcam.h>

#include <cstring>
#include <memory>

CameraSearcher::CameraSearcher(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<CameraSearcher::SearchInfo>("CameraSearcher::SearchInfo");
    qRegisterMetaType<QMap<QString, CameraSearcher::SearchInfo>>("QMap<QString,CameraSearcher::SearchInfo>");
}

QString CameraSearcher::connectionLabel(quint32 busSpeed)
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

int CameraSearcher::usbSpeedCode(quint32 busSpeed)
{
    static const int kCodes[] = {0, 2, 1, 3};
    return busSpeed < 4 ? kCodes[busSpeed] : 0;
}

int CameraSearcher::windowsVersionCode(SystemType type, int major, int minor, int build)
{
    if (type == SystemType::Unknown)
        return 10;
    if (type == SystemType::Other)
        return -1;
    if (major == 5)
        return 1;
    if (major == 6)
        return minor == 0 ? 6 : minor == 1 ? 7 : minor == 2 || minor == 3 ? 8 : 1;
    if (major == 10 && minor == 0)
        return build < 22000 ? 10 : 11;
    return 1;
}

int CameraSearcher::currentWindowsVersionCode()
{
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    const bool windows = os.type() == QOperatingSystemVersion::Windows;
    const int code = windows ? windowsVersionCode(SystemType::Windows, os.majorVersion(), os.minorVersion(),
                                                  os.microVersion())
                             : 10;
    qInfo().noquote().nospace() << "Name=" << QSysInfo::prettyProductName() << ", System Type=" << int(os.type())
                                << ", Major Version=" << os.majorVersion() << ", Micro Version=" << os.microVersion()
                                << ", Minor version=" << os.minorVersion();
    return code;
}

void CameraSearcher::addUsbCameras(SearchResult &cameras)
{
    auto list = std::make_unique<lmcam_device_list>();
    std::memset(list.get(), 0, sizeof(lmcam_device_list));
    if (lmcam_enum_devices(list.get()) != LMCAM_OK)
        return;
    const int count = qBound(0, int(list->count), int(LMCAM_MAX_DEVICES));
    for (int i = 0; i < count; ++i) {
        const lmcam_device_info &device = list->devices[i];
        SearchInfo info;
        info.uniqueName = QString::fromUtf8(device.unique_name, int(qstrnlen(device.unique_name, LMCAM_NAME_SIZE)));
        info.displayName = QStringLiteral("LmCam_%1 %2").arg(i + 1).arg(connectionLabel(device.bus_speed));
        info.model = QString::number(device.product_id, 16);
        info.usbSpeed = usbSpeedCode(device.bus_speed);
        cameras.insert(info.uniqueName, info);
    }
}

void CameraSearcher::addNetworkCameras(SearchResult &cameras)
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
        qWarning() << "Network camera list is not a JSON array:" << error.errorString();
        return;
    }
    for (const QJsonValue &value : document.array()) {
        const QJsonObject device = value.toObject();
        SearchInfo info;
        info.type = NetworkCamera;
        info.uniqueName = device.value(QStringLiteral("ip")).toString();
        info.displayName = info.uniqueName;
        info.model = device.value(QStringLiteral("discover")).toObject().value(QStringLiteral("model")).toString();
        if (!info.uniqueName.isEmpty())
            cameras.insert(info.uniqueName, info);
    }
}

bool CameraSearcher::startNetworkDiscovery()
{
    return l_sdk_init("") == L_SDK_OK && l_sdk_discover_open("") == L_SDK_OK && l_sdk_discover_run(1) == L_SDK_OK;
}

void CameraSearcher::stopNetworkDiscovery()
{
    l_sdk_discover_run(0);
    l_sdk_discover_close();
    l_sdk_quit();
}

CameraSearcher::SearchResult CameraSearcher::search()
{
    SearchResult cameras;
    addUsbCameras(cameras);
    addNetworkCameras(cameras);
    return cameras;
}

void CameraSearcher::onSearchCameras()
{
    emit sendSearchResult(search());
}
