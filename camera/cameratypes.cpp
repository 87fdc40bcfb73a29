#include "cameratypes.h"

#include "histogramtypes.h"
#include "videoframe.h"

#include <QPointF>
#include <QVector>

bool insertResolution(QVector<CameraResolution> &list, const CameraResolution &resolution)
{
    const qint64 pixels = resolution.pixelCount();
    auto it = list.begin();
    for (; it != list.end(); ++it) {
        if (it->pixelCount() == pixels)
            return false;
        if (it->pixelCount() > pixels)
            break;
    }
    list.insert(it, resolution);
    return true;
}

int indexOfPixelCount(const QVector<CameraResolution> &list, qint64 pixelCount)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].pixelCount() == pixelCount)
            return i;
    }
    return -1;
}

void registerCameraTypes()
{
    registerHistogramTypes();
    qRegisterMetaType<FocusMode>("FocusMode");
    qRegisterMetaType<ExposureMode>("ExposureMode");
    qRegisterMetaType<WbMode>("WbMode");
    qRegisterMetaType<ExposureGainUnit>("ExposureGainUnit");
    qRegisterMetaType<DisplayMode>("DisplayMode");
    qRegisterMetaType<GammaMode>("GammaMode");
    qRegisterMetaType<UpgradeStatus>("UpgradeStatus");
    qRegisterMetaType<CameraType>("CameraType");
    qRegisterMetaType<CameraCloseReason>("CameraCloseReason");
    qRegisterMetaType<CameraResolution>("CameraResolution");
    qRegisterMetaType<CameraControlRegion>("CameraControlRegion");
    qRegisterMetaType<CameraOpenInfo>("CameraOpenInfo");
    qRegisterMetaType<CameraInfo>("CameraInfo");
    qRegisterMetaType<IpInfo>("IpInfo");
    qRegisterMetaType<LedInfo>("LedInfo");
    qRegisterMetaType<LmPoint>("LmPoint");
    qRegisterMetaType<QVector<LmPoint>>("QVector<LmPoint>");
    qRegisterMetaType<QVector<QPointF>>("QVector<QPointF>");
    qRegisterMetaType<VideoFrame>("VideoFrame");
}

QString firmwareVersionText(int version)
{
    return QStringLiteral("%1.%2.%3").arg(version / 100).arg(version % 100 / 10).arg(version % 10);
}
