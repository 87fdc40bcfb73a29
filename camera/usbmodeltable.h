#pragma once

#include <QString>

// The USB models of the camera model table, by product id: the firmware file key of
// the upgradable models and the compact third-family models whose defaults follow the
// application mode.
struct UsbModelEntry
{
    int productId;
    const char *modelClass;
    const char *upgradeKey; // null: firmware is not upgraded through this program
    bool compact;           // third family
};

// Whether a firmware file is one for the USB model with the file key `fileKey` and the model
// suffix `modelSuffix`: an ".update" file whose name holds key, suffix and "_".
bool usbFirmwareFileFits(const QString &path, const QString &fileKey, const QString &modelSuffix);
// The entry of a product id, or null.
const UsbModelEntry *findUsbModel(int productId);
// The product id in a USB device path ("...pid_0283..." or four hex digits), or 0.
int productIdFromDevicePath(const QString &path);
