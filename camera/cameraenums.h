#pragma once

#include <QMetaType>

// Enumerations carried by the camera signals and slots. Values other than the named ones are
// passed through to the device unchanged.

enum FocusMode : int { FocusAuto = 1, FocusManual = 2, FocusOnce = 3 };
enum ExposureMode : int { ExposureAuto = 1, ExposureManual = 2 };
enum WbMode : int { WbAuto = 1, WbManual = 2 };
enum ExposureGainUnit : int { GainUnitDefault = 0, GainUnitDb = 1 };
// The device's scene preset.
enum DisplayMode : int { DisplayModeDefault = 0, DisplayModeBiology = 1, DisplayModeIndustry = 2 };
enum GammaMode : int { GammaValueMode = 0, GammaCurveMode = 1 };
enum UpgradeStatus : int { UpgradeFailed = 0, Upgrading = 1, UpgradeSucceeded = 2 };
// 1 is a network camera; every other value a USB camera.
enum CameraType : int { UsbCamera = 0, NetworkCamera = 1 };

// Key words of the camera types in stored records.
inline const char *cameraTypeKeyWord(CameraType type) { return type == NetworkCamera ? "IPC" : "usb"; }

Q_DECLARE_METATYPE(FocusMode)
Q_DECLARE_METATYPE(ExposureMode)
Q_DECLARE_METATYPE(WbMode)
Q_DECLARE_METATYPE(ExposureGainUnit)
Q_DECLARE_METATYPE(DisplayMode)
Q_DECLARE_METATYPE(GammaMode)
Q_DECLARE_METATYPE(UpgradeStatus)
Q_DECLARE_METATYPE(CameraType)
