#pragma once

#include "cameraenums.h"
#include "cameraresolution.h"
#include "ledinfo.h"

#include <QMap>
#include <QMetaType>
#include <QRect>
#include <QString>
#include <QVector>

// A control point of the device's gamma curve.
struct LmPoint
{
    int x = 0;
    int y = 0;
};

// A parameter with a range: current value, minimum, maximum, default, and whether the device
// answered the read.
struct CameraRange
{
    int value = 0;
    int min = 0;
    int max = 0;
    int def = 0;
    bool supported = false;
};

// A rectangle metered by an automatic function (exposure, white balance, black balance).
struct CameraRegion
{
    bool enable = false;
    bool display = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Everything the program caches about one camera: values, ranges, "supported" flags,
// offered formats and resolutions.
struct CameraInfo
{
    int productId = 0;
    QString modelSuffix;
    int version = 0;
    bool rangesFromDevice = false;

    // Feature flags: the device meters exposure and white balance in a region, and crops to a
    // region of interest.
    bool exposureRegionSupported = false;
    bool wbRegionSupported = false;
    bool roiSupported = false;

    QVector<int> formats;                             // ascending format codes
    QMap<int, QVector<CameraResolution>> resolutions; // per format, ascending pixel count
    int format = 0;
    CameraResolution current;
    CameraResolution photo;

    CameraRange focus, expGain, expTime, longExpTime, expComp, wbTemperature, wbRed, wbGreen, wbBlue;
    CameraRange opticalZoom, digitalZoom, hue, saturation, contrast, sharpness, gamma, drc;

    FocusMode focusMode = FocusManual;
    bool focusModeSupported = false;
    bool focusRegionSupported = false;
    bool focusRegionEnable = false;
    int focusRegionMode = 0;
    int focusRegionX = 8;
    int focusRegionY = 7;
    QRect focusRegionV2;

    // Exposure times are device units; the operator sees value × ratio in the time unit
    // (1 microseconds, 2 milliseconds, 3 seconds).
    double expTimeRatio = 1.0;
    int expTimeUnit = 1;
    ExposureMode expMode = ExposureAuto;
    bool expModeSupported = false;
    ExposureGainUnit expGainUnit = GainUnitDefault;
    CameraRegion expRegion;
    WbMode wbMode = WbAuto;
    bool wbModeSupported = false;
    CameraRegion wbRegion;

    bool mirror = false;
    bool flip = false;
    bool defog = false;
    bool monochrome = false;
    bool flicker = false;
    bool cac = false;
    bool ldci = false;
    bool frameMode = false;
    DisplayMode displayMode = DisplayModeDefault;
    GammaMode gammaMode = GammaValueMode;
    QVector<LmPoint> gammaCurve;
    LedInfo led;
    int zoomSpeed = 0;
    // Whether the device serves these switches and modes; mirrorSupported covers flip as well.
    bool mirrorSupported = false;
    bool monochromeSupported = false;
    bool flickerSupported = false;
    bool defogSupported = false;
    bool cacSupported = false;
    bool ldciSupported = false;
    bool displayModeSupported = false;
    bool gammaModeSupported = false;
    bool zoomSpeedSupported = false;
    bool encrypt = false;

    int fps = 30;
    int bitRate = 86000;
};

// A firmware version number as shown to the operator: 142 is "1.4.2".
QString firmwareVersionText(int version);

Q_DECLARE_METATYPE(LmPoint)
Q_DECLARE_METATYPE(CameraInfo)
