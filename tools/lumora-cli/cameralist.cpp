#include "usbcameralist.h"

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

} // namespace

QMap<QString, UsbCameraEntry> listUsbCameras()
{
    QMap<QString, UsbCameraEntry> cameras;
    auto list = std::make_unique<lmcam_device_list>();
    std::memset(list.get(), 0, sizeof(lmcam_device_list));
    if (lmcam_enum_devices(list.get()) != LMCAM_OK)
        return cameras;
    const int count = qBound(0, int(list->count), int(LMCAM_MAX_DEVICES));
    for (int i = 0; i < count; ++i) {
        const lmcam_device_info &device = list->devices[i];
        UsbCameraEntry entry;
        entry.uniqueName = QString::fromUtf8(device.unique_name, int(qstrnlen(device.unique_name, LMCAM_NAME_SIZE)));
        entry.displayName = QStringLiteral("LmCam_%1 %2").arg(i + 1).arg(connectionLabel(device.bus_speed));
        entry.model = QString::number(device.product_id, 16);
        entry.usbSpeed = usbSpeedCode(device.bus_speed);
        cameras.insert(entry.uniqueName, entry);
    }
    return cameras;
}

bool findUsbCamera(const QString &name, UsbCameraEntry &entry)
{
    const QMap<QString, UsbCameraEntry> cameras = listUsbCameras();
    if (cameras.contains(name)) {
        entry = cameras.value(name);
        return true;
    }
    for (const UsbCameraEntry &camera : cameras) {
        if (camera.displayName == name || camera.displayName.trimmed() == name) {
            entry = camera;
            return true;
        }
    }
    return false;
}
