#pragma once

#include "cameradefaultrow.h"
#include "cameraresolution.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct CameraInfo;
class QObject;

// Firmware thresholds a model class sets on top of its base class; kInherit keeps the base's.
struct CameraModelThresholds
{
    static constexpr int kInherit = -1;
    int range = kInherit;       // ranges and capabilities come from the device above this version
    int focusRegion = kInherit; // second focus-region form from this version on
    int feature = kInherit;     // isFeatureVersion()
    int suffix = kInherit;      // the model suffix is read from this version on
    int further = kInherit;     // model-specific
};

// Built-in defaults a model puts into the cached information on top of its base class's
// (initDefaultInfo). A null photo resolution or a zero gain keeps the base's value.
struct CameraModelBuiltIns
{
    const char *photoResolution = nullptr;
    int wbRed = 0;
    int wbGreen = 0;
    int wbBlue = 0;
};

// One camera model: its class, what it derives from, and the data its constructor applies.
struct CameraModelRow
{
    const char *className;
    const char *baseClassName;
    const char *modelKey;       // name of the configuration record
    int productId;              // USB product id; 0 for network models
    const char *firmwareKey;    // firmware file key of upgradable USB models, else null
    bool compact;               // compact USB models tuned per application mode
    const char *resolutions;    // initial MJPEG resolutions ("WxH" separated by spaces)
    const char *liveResolution; // stream resolution before the device is asked
    CameraModelThresholds thresholds;
    CameraModelBuiltIns builtIns;
    CameraDefaultRow defaults;
};

// All model rows, USB models first, in the order of their model keys.
const CameraModelRow *cameraModelRows(int *count);
// The row of a model class, or null.
const CameraModelRow *findCameraModel(const QString &className);
// The row of a camera object's class, or null for a class that is no model.
const CameraModelRow *cameraModelOf(const QObject *camera);
// The row of a USB product id, or null.
const CameraModelRow *findCameraModelByProductId(int productId);

// A product id as the four lower-case hex digits of device paths.
QString productIdText(int productId);
// A "WxH" text as a resolution (format 0, no device path).
CameraResolution cameraResolutionFromText(const QString &text);
// The initial resolution list of a model, ascending by pixel count, live resolution included.
QVector<CameraResolution> cameraModelResolutions(const CameraModelRow &row);
// Applies a model's built-in defaults to cached information.
void applyCameraModelBuiltIns(const CameraModelRow &row, CameraInfo &info);
