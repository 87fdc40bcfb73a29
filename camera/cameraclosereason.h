#pragma once

#include <QMetaType>

// Why a camera session ends.
enum CameraCloseReason : int {
    OpenFailed = 0,
    UnsupportedSystem = 1,
    UnsupportedModel = 2,
    Disconnected = 3,
    UserClosed = 4,
    UsbSpeedTooLow = 5,
};

Q_DECLARE_METATYPE(CameraCloseReason)
