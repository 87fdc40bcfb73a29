#include "cameramodelsetup.h"

#include "cameramodeltable.h"

#include <QDebug>

namespace {

void applyThreshold(int value, quint32 &target)
{
    if (value != CameraModelThresholds::kInherit)
        target = quint32(value);
}

} // namespace

void setUpCameraModel(BaseCamera &camera, const char *className, const CameraModelTargets &targets)
{
    const CameraModelRow *row = findCameraModel(QLatin1String(className));
    if (!row) {
        qWarning() << "No model row for" << className;
        return;
    }
    applyThreshold(row->thresholds.range, targets.rangeVersion);
    applyThreshold(row->thresholds.focusRegion, targets.focusRegionVersion);
    applyThreshold(row->thresholds.feature, targets.featureVersion);
    applyThreshold(row->thresholds.suffix, targets.suffixVersion);
    applyThreshold(row->thresholds.further, targets.furtherVersion);
    targets.modelKey = QLatin1String(row->modelKey);

    // MJPEG until the device reports what it offers.
    const CameraResolution live = cameraResolutionFromText(QLatin1String(row->liveResolution));
    targets.resolution.width = live.width;
    targets.resolution.height = live.height;
    targets.resolution.resolution = live.resolution;
    targets.resolution.format = 0;
    targets.info.formats = {0};
    targets.info.resolutions.clear();
    targets.info.resolutions.insert(0, cameraModelResolutions(*row));
    targets.info.format = 0;
    camera.initDefaultInfo();
}
