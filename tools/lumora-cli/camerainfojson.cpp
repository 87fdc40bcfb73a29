#include "camerainfojson.h"

#include "constants.h"

#include <QJsonArray>

namespace {

QJsonObject toJson(const CameraRange &r)
{
    return QJsonObject{{"value", r.value}, {"min", r.min}, {"max", r.max}, {"def", r.def}, {"supported", r.supported}};
}

QJsonObject toJson(const CameraRegion &r)
{
    return QJsonObject{{"enable", r.enable}, {"display", r.display}, {"x", r.x},
                       {"y", r.y},           {"width", r.width},     {"height", r.height}};
}

QJsonObject toJson(const CameraResolution &r)
{
    return QJsonObject{{"devicePath", r.devicePath},
                       {"width", r.width},
                       {"height", r.height},
                       {"resolution", r.resolution},
                       {"format", Constants::videoFormatName(r.format)}};
}

QString modeWord(int value, std::initializer_list<const char *> words, int first)
{
    const int index = value - first;
    return index >= 0 && index < int(words.size()) ? QString::fromLatin1(words.begin()[index]) : QString::number(value);
}

} // namespace

QJsonObject cameraInfoToJson(const CameraInfo &info)
{
    QJsonObject o;
    o["productId"] = QString::number(info.productId, 16);
    o["modelSuffix"] = info.modelSuffix;
    o["version"] = info.version;
    o["versionText"] = firmwareVersionText(info.version);
    o["rangesFromDevice"] = info.rangesFromDevice;
    o["exposureRegionSupported"] = info.exposureRegionSupported;
    o["wbRegionSupported"] = info.wbRegionSupported;
    o["roiSupported"] = info.roiSupported;

    QJsonArray formats;
    for (int f : info.formats)
        formats.append(Constants::videoFormatName(f));
    o["formats"] = formats;
    QJsonObject resolutions;
    for (auto it = info.resolutions.cbegin(); it != info.resolutions.cend(); ++it) {
        QJsonArray list;
        for (const CameraResolution &r : it.value())
            list.append(r.resolution);
        resolutions[Constants::videoFormatName(it.key())] = list;
    }
    o["resolutions"] = resolutions;
    o["format"] = Constants::videoFormatName(info.format);
    o["current"] = toJson(info.current);
    o["photo"] = toJson(info.photo);

    const std::pair<const char *, const CameraRange *> ranges[] = {
        {"focus", &info.focus},
        {"expGain", &info.expGain},
        {"expTime", &info.expTime},
        {"longExpTime", &info.longExpTime},
        {"expComp", &info.expComp},
        {"wbTemperature", &info.wbTemperature},
        {"wbRed", &info.wbRed},
        {"wbGreen", &info.wbGreen},
        {"wbBlue", &info.wbBlue},
        {"opticalZoom", &info.opticalZoom},
        {"digitalZoom", &info.digitalZoom},
        {"hue", &info.hue},
        {"saturation", &info.saturation},
        {"contrast", &info.contrast},
        {"sharpness", &info.sharpness},
        {"gamma", &info.gamma},
        {"drc", &info.drc},
    };
    for (const auto &range : ranges)
        o[QLatin1String(range.first)] = toJson(*range.second);

    o["focusMode"] = modeWord(info.focusMode, {"auto", "manual", "once"}, 1);
    o["focusModeSupported"] = info.focusModeSupported;
    o["focusRegionSupported"] = info.focusRegionSupported;
    o["focusRegionEnable"] = info.focusRegionEnable;
    o["focusRegionMode"] = info.focusRegionMode;
    o["focusRegionX"] = info.focusRegionX;
    o["focusRegionY"] = info.focusRegionY;
    const QRect &v2 = info.focusRegionV2;
    o["focusRegionV2"] = QJsonObject{{"x", v2.x()}, {"y", v2.y()}, {"width", v2.width()}, {"height", v2.height()}};

    o["expMode"] = modeWord(info.expMode, {"auto", "manual"}, 1);
    o["expModeSupported"] = info.expModeSupported;
    o["expGainUnit"] = modeWord(info.expGainUnit, {"default", "dB"}, 0);
    o["expRegion"] = toJson(info.expRegion);
    o["wbMode"] = modeWord(info.wbMode, {"auto", "manual"}, 1);
    o["wbModeSupported"] = info.wbModeSupported;
    o["wbRegion"] = toJson(info.wbRegion);

    o["mirror"] = info.mirror;
    o["flip"] = info.flip;
    o["defog"] = info.defog;
    o["monochrome"] = info.monochrome;
    o["flicker"] = info.flicker;
    o["cac"] = info.cac;
    o["ldci"] = info.ldci;
    o["frameMode"] = info.frameMode;
    o["displayMode"] = modeWord(info.displayMode, {"default", "biology", "industry"}, 0);
    o["gammaMode"] = modeWord(info.gammaMode, {"value", "curve"}, 0);
    QJsonArray curve;
    for (const LmPoint &p : info.gammaCurve)
        curve.append(QJsonArray{p.x, p.y});
    o["gammaCurve"] = curve;
    o["led"] = QJsonObject{
        {"supported", info.led.supported},
        {"partCount", info.led.partCount},
        {"minLevel", info.led.minLevel},
        {"maxLevel", info.led.maxLevel},
        {"defaultLevel", info.led.defaultLevel},
        {"levels", QJsonArray{info.led.levels[0], info.led.levels[1], info.led.levels[2], info.led.levels[3]}}};
    o["zoomSpeed"] = info.zoomSpeed;
    o["encrypt"] = info.encrypt;
    o["fps"] = info.fps;
    o["bitRate"] = info.bitRate;
    return o;
}
