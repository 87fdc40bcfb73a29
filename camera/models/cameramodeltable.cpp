#include "cameramodeltable.h"

#include "camerainfo.h"
#include "usbfeatures.h"

#include <QObject>
#include <iterator>

namespace {

constexpr int kI = CameraModelThresholds::kInherit;

// Initial MJPEG resolutions per sensor family; the model's own resolutions are added to them.
const char *const kHd = "1280x720 1920x1080";
const char *const kUhd = "1280x720 1920x1080 3840x2160";
const char *const kWide3x2 = "1536x1024 3072x2048";

constexpr CameraDefaultRow row(const char *resolution, int fps)
{
    return CameraDefaultRow::common(resolution, fps);
}

constexpr CameraDefaultRow cm07Row()
{
    CameraDefaultRow r = row("3072x2048", 10).wb(1, 1, 1).focus(1, 0).hdr(31).bitrateOf(2);
    r.decodeWay = 2;
    r.exposureCompensation = 50;
    r.exposureTime = -5;
    r.sharpnessValue = 128;
    return r;
}

constexpr CameraDefaultRow kCm17Row = row("1920x1080", 60).wb(490, 256, 369).focus(2, 1).hdr(1);
constexpr CameraDefaultRow kCm21Row = row("3840x2160", 30).wb(560, 256, 470).focus(2, 1);
constexpr CameraDefaultRow kThirdRow = row("3840x2160", 30).nv12().wb(538, 256, 408);

// clang-format off
const CameraModelRow kModels[] = {
    // USB models.
    {"Cm01UCamera", "UvcCamera",   "cm01",  0x0201, "cm01u", false, kHd, "1280x720", {}, {}, row("1920x1080", 60)},
    {"Cm02UCamera", "Cm01UCamera", "cm02U", 0x0202, "cm02u", false, kHd, "1280x720", {}, {}, row("1920x1080", 60)},
    {"Cm03UCamera", "Cm01UCamera", "cm03",  0x0203, "cm03",  false, kHd, "1280x720", {}, {}, row("3840x2160", 30)},
    {"Cm04UCamera", "Cm01UCamera", "cm04",  0x0204, "cm04",  false, kHd, "1280x720", {}, {}, row("3968x3000", 30)},
    {"Cm05UCamera", "Cm01UCamera", "CM05",  0x0205, "cm05u", false, kHd, "1280x720", {}, {}, row("1920x1080", 60)},
    {"Cm06UCamera", "Cm01UCamera", "CM06",  0x0206, "cm06u", false, kHd, "1280x720", {}, {}, row("1920x1080", 60)},
    {"Cm07Camera",  "UvcCamera",   "cm07",  0x0207, nullptr, false, kWide3x2, "3072x2048", {}, {}, cm07Row()},
    {"Cm08UCamera", "UvcCamera",   "cm08",  0x0208, "cm08",  false, kHd, "1920x1080", {}, {}, row("1920x1080", 60).nv12()},
    {"Cm09UCamera", "Cm08UCamera", "cm09",  0x0209, "cm09",  false, kHd, "1920x1080", {}, {}, row("1920x1080", 60).nv12()},
    {"Cm10UCamera", "Cm11UCamera", "cm10",  0x0210, nullptr, false, kHd, "2592x1944", {}, {}, row("2592x1944", 30)},
    {"Cm11UCamera", "Cm23Camera",  "cm11",  0x0211, nullptr, false, kUhd, "3840x2160", {120, 140, 0, 151, kI}, {},
     row("3840x2160", 30)},
    {"Cm12UCamera", "Cm11UCamera", "cm12",  0x0212, nullptr, false, kUhd, "4000x3000", {}, {},
     row("4000x3000", 30).wb(661, 256, 372)},
    {"Cm15UCamera", "UvcCamera",   "cm15",  0x0215, "cm15",  false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
    {"Cm16UCamera", "Cm15UCamera", "cm16",  0x0216, "cm16",  false, kUhd, "4000x3000", {}, {},
     row("4000x3000", 30).wb(661, 256, 372)},
    {"Cm17UCamera", "Cm21UCamera", "cm17",  0x0217, nullptr, false, kHd, "1920x1080", {111, kI, kI, kI, kI}, {},
     kCm17Row.nv12Only().bitrateOf(2)},
    {"Cm18UCamera", "Cm21UCamera", "cm18",  0x0218, nullptr, false, kUhd, "3840x2160", {121, kI, kI, kI, kI},
     {"3840x2160", 512, 256, 478}, row("3840x2160", 60).nv12Only().wb(490, 256, 369).focus(2, 1).hdr(1).bitrateOf(2)},
    {"Cm19UCamera", "Cm22UCamera", "cm19",  0x0219, "cm19",  false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm20UCamera", "Cm19UCamera", "cm20",  0x0220, "cm20",  false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
    {"Cm21UCamera", "UvcCamera",   "cm21",  0x0221, nullptr, false, kUhd, "3840x2160", {112, kI, kI, kI, kI}, {},
     kCm21Row.nv12Only().bitrateOf(2)},
    {"Cm22UCamera", "UvcCamera",   "cm22",  0x0222, "cm22",  false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
    {"Cm23Camera",  "UvcCamera",   "cm23",  0x0280, "cm23",  true, kWide3x2, "3072x2048", {110, kI, 140, kI, 141}, {},
     row("3072x2048", 30).nv12().wb(515, 256, 400)},
    {"Cm24Camera",  "Cm23Camera",  "cm24",  0x0281, "cm24",  true, kUhd, "3840x2160", {kI, kI, kI, 142, kI}, {}, kThirdRow},
    {"Cm25Camera",  "Cm24Camera",  "cm25",  0x0282, "cm25",  true, kUhd, "4000x3000", {}, {},
     row("4000x3000", 30).nv12().wb(551, 256, 403)},
    {"Cm26Camera",  "Cm25Camera",  "cm26",  0x0283, "cm26",  true, kUhd, "5440x3648", {}, {},
     row("5440x3648", 20).nv12().wb(532, 256, 411)},
    {"Cm27Camera",  "Cm28Camera",  "cm27",  0x0284, "cm27",  true, kHd, "1920x1080", {}, {},
     row("1920x1080", 60).nv12().wb(538, 256, 408)},
    {"Cm28Camera",  "Cm23Camera",  "CM28",  0x0285, "cm28",  true, kHd, "2432x2048", {kI, kI, kI, 102, 101}, {},
     row("2432x2048", 30).nv12().wb(538, 256, 408)},
    {"Cm29Camera",  "Cm28Camera",  "CM29",  0x0286, "cm29",  true, kUhd, "3840x2160", {}, {}, kThirdRow},
    {"Cm30Camera",  "Cm31Camera",  "CM30",  0x0287, "cm30",  true, kHd, "2432x2048", {}, {},
     row("2432x2048", 30).nv12().wb(538, 256, 408)},
    {"Cm31Camera",  "Cm23Camera",  "CM31",  0x0288, "cm31",  true, kWide3x2, "3072x2048", {kI, kI, kI, kI, 111}, {},
     row("3072x2048", 30).nv12().wb(538, 256, 408)},
    {"Cm32Camera",  "Cm23Camera",  "cm32",  0x0289, "cm32",  true, kHd, "2560x1944", {}, {},
     row("2560x1944", 50).nv12().wb(538, 256, 408)},
    {"Cm33Camera",  "Cm31Camera",  "CM33",  0x028a, "cm33",  true, kWide3x2, "3072x2048", {}, {},
     row("3072x2048", 30).nv12().wb(538, 256, 408)},
    {"Cm34Camera",  "Cm23Camera",  "CM34",  0x028b, nullptr, true, kUhd, "3840x2160", {}, {}, kThirdRow},

    // Network models.
    {"Cm01NetCamera",  "NewNetCamera",  "cm01Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm02NetCamera",  "Cm01NetCamera", "cm02Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm02UNetCamera", "Cm01NetCamera", "cm02UNet", 0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm03NetCamera",  "Cm01NetCamera", "cm03Net",  0, nullptr, false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
    {"Cm04NetCamera",  "Cm01NetCamera", "cm04Net",  0, nullptr, false, kUhd, "3968x3000", {}, {}, row("3968x3000", 30)},
    {"Cm05NetCamera",  "Cm01NetCamera", "cm05Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm06NetCamera",  "Cm01NetCamera", "cm06Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm08NetCamera",  "NewNetCamera",  "cm08Net",  0, nullptr, false, kHd, "1920x1080", {}, {},
     row("1920x1080", 60).hdr(2)},
    {"Cm09NetCamera",  "Cm08NetCamera", "cm09Net",  0, nullptr, false, kHd, "1920x1080", {}, {},
     row("1920x1080", 60).hdr(2)},
    {"Cm10NetCamera",  "Cm11NetCamera", "cm10Net",  0, nullptr, false, kHd, "2592x1944", {}, {},
     row("2592x1944", 30).hdr(2)},
    {"Cm11NetCamera",  "NetCamera",     "cm11Net",  0, nullptr, false, kUhd, "3840x2160", {141, 140, kI, kI, kI}, {},
     row("3840x2160", 30).hdr(2)},
    {"Cm12NetCamera",  "Cm11NetCamera", "cm12Net",  0, nullptr, false, kUhd, "4000x3000", {}, {},
     row("4000x3000", 30).wb(661, 256, 372).hdr(2)},
    {"Cm13NetCamera",  "NetCamera",     "CM13Net",  0, nullptr, false, kHd, "1920x1080", {}, {},
     row("1920x1080", 25).contrast(60).focus(1, 0).hdr(1).bitrateOf(20000)},
    {"Cm14NetCamera",  "NetCamera",     "cm14Net",  0, nullptr, false, kUhd, "3840x2160", {159, kI, kI, kI, kI}, {},
     row("3840x2160", 30).contrast(60).focus(1, 0).hdr(1)},
    {"Cm15NetCamera",  "NetCamera",     "cm15Net",  0, nullptr, false, kUhd, "3840x2160", {}, {},
     row("3840x2160", 30).hdr(2)},
    {"Cm16NetCamera",  "Cm15NetCamera", "cm16Net",  0, nullptr, false, kUhd, "4000x3000", {}, {},
     row("4000x3000", 30).wb(661, 256, 372).hdr(2)},
    {"Cm17NetCamera",  "Cm21NetCamera", "cm17Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, kCm17Row},
    {"Cm18NetCamera",  "Cm21NetCamera", "cm18Net",  0, nullptr, false, kUhd, "3840x2160", {124, kI, kI, kI, kI}, {},
     row("3840x2160", 30).wb(512, 256, 478).focus(2, 1).hdr(0)},
    {"Cm19NetCamera",  "Cm22NetCamera", "cm19Net",  0, nullptr, false, kHd, "1920x1080", {}, {}, row("1920x1080", 60)},
    {"Cm20NetCamera",  "Cm19NetCamera", "cm20Net",  0, nullptr, false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
    {"Cm21NetCamera",  "NetCamera",     "cm21Net",  0, nullptr, false, kUhd, "3840x2160", {}, {}, kCm21Row},
    {"Cm22NetCamera",  "NewNetCamera",  "cm22Net",  0, nullptr, false, kUhd, "3840x2160", {}, {}, row("3840x2160", 30)},
};
// clang-format on

// The features each USB family switches on over the class it derives from.
struct UsbFeatureRow
{
    const char *className;
    quint32 features;
};

constexpr quint32 kFocusMotor = UsbFocusMode | UsbFocusOnce | UsbFocusState | UsbMotorCenter;
constexpr quint32 kFocusCurve = UsbFocusStep | UsbDefog | UsbFocusCurve;

const UsbFeatureRow kUsbFeatures[] = {
    {"Cm01UCamera", kFocusMotor | UsbFocusRegionGrid | UsbFocusRegionRect | UsbZoom | UsbDrc | UsbCac | UsbLed |
                        UsbZoomSpeed},
    {"Cm02UCamera", UsbFocusStep},
    {"Cm08UCamera", kFocusMotor | UsbFocusRegionRect | UsbDrc | UsbCac},
    {"Cm11UCamera", UsbFocusRegionGrid},
    {"Cm18UCamera", kFocusCurve},
    {"Cm22UCamera", kFocusCurve | UsbFocusOnce | UsbFocusRegionRect | UsbZoom | UsbDrc | UsbCac},
    {"Cm23Camera", UsbGainUnit | UsbLongExposure | UsbDisplayMode | UsbGammaCurve},
    {"Cm31Camera", UsbNeedsUsb3},
};

} // namespace

const CameraModelRow *cameraModelRows(int *count)
{
    if (count)
        *count = int(std::size(kModels));
    return kModels;
}

const CameraModelRow *findCameraModel(const QString &className)
{
    for (const CameraModelRow &row : kModels) {
        if (className == QLatin1String(row.className))
            return &row;
    }
    return nullptr;
}

const CameraModelRow *cameraModelOf(const QObject *camera)
{
    return camera ? findCameraModel(QLatin1String(camera->metaObject()->className())) : nullptr;
}

const CameraModelRow *findCameraModelByProductId(int productId)
{
    if (productId == 0)
        return nullptr;
    for (const CameraModelRow &row : kModels) {
        if (row.productId == productId)
            return &row;
    }
    return nullptr;
}

QString productIdText(int productId)
{
    return QStringLiteral("%1").arg(productId & 0xffff, 4, 16, QLatin1Char('0'));
}

CameraResolution cameraResolutionFromText(const QString &text)
{
    CameraResolution resolution;
    const int x = text.indexOf(QLatin1Char('x'));
    resolution.width = text.left(x).toInt();
    resolution.height = text.mid(x + 1).toInt();
    resolution.resolution = CameraResolution::text(resolution.width, resolution.height);
    return resolution;
}

QVector<CameraResolution> cameraModelResolutions(const CameraModelRow &row)
{
    QVector<CameraResolution> list;
    QStringList texts = QString::fromLatin1(row.resolutions).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    texts << QLatin1String(row.liveResolution) << QLatin1String(row.defaults.resolution);
    for (const QString &text : texts)
        insertResolution(list, cameraResolutionFromText(text));
    return list;
}

void applyCameraModelBuiltIns(const CameraModelRow &row, CameraInfo &info)
{
    const CameraModelBuiltIns &builtIns = row.builtIns;
    if (builtIns.photoResolution) {
        const CameraResolution photo = cameraResolutionFromText(QLatin1String(builtIns.photoResolution));
        info.photo.width = photo.width;
        info.photo.height = photo.height;
        info.photo.resolution = photo.resolution;
    }
    if (builtIns.wbRed > 0)
        info.wbRed.def = builtIns.wbRed;
    if (builtIns.wbGreen > 0)
        info.wbGreen.def = builtIns.wbGreen;
    if (builtIns.wbBlue > 0)
        info.wbBlue.def = builtIns.wbBlue;
}

quint32 usbModelFeatures(const QObject *camera)
{
    const CameraModelRow *row = cameraModelOf(camera);
    if (!row || row->productId == 0)
        return 0;
    // The model's own features and those of every model class above it.
    quint32 features = 0;
    for (; row; row = findCameraModel(QLatin1String(row->baseClassName))) {
        for (const UsbFeatureRow &entry : kUsbFeatures) {
            if (qstrcmp(entry.className, row->className) == 0)
                features |= entry.features;
        }
    }
    return features;
}
