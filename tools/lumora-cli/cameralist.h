#pragma once

#include <QMap>
#include <QString>

// One USB camera as discovery offers it: unique name (the SDK's device name), display name
// "LmCam_<position> <connection label>", model (product id in lower-case hexadecimal) and the
// converted USB speed.
struct UsbCameraEntry
{
    QString uniqueName;
    QString displayName;
    QString model;
    int usbSpeed = 0;
};

// The attached USB cameras keyed by unique name (lmcam must be initialised).
QMap<QString, UsbCameraEntry> listUsbCameras();
// The camera whose unique name, or else display name, is `name`; false when none is.
bool findUsbCamera(const QString &name, UsbCameraEntry &entry);
