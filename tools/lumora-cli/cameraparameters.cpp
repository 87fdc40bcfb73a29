#include "cameraparameters.h"

#include "basecamera.h"

#include <QStringList>

namespace {

const int kFocusModes[] = {FocusAuto, FocusManual, FocusOnce};
const int kGammaModes[] = {GammaValueMode, GammaCurveMode};
const int kDisplayModes[] = {DisplayModeDefault, DisplayModeBiology, DisplayModeIndustry};

using P = CameraParameter;

// Settings are applied in the order given on the command line, so a mode word comes before
// the values it unlocks (exposure_mode=manual before exposure_time).
const CameraParameter kParameters[] = {
    {"exposure_mode", P::Choice, "auto|manual", nullptr, nullptr,
     [](BaseCamera &c, int v) { c.onSetExpMode(ExposureMode(v), true); },
     [](const CameraInfo &i) { return int(i.expMode); }, "onSetExpMode", "exposureMode"},
    {"exposure_comp", P::Integer, nullptr, nullptr, &CameraInfo::expComp,
     [](BaseCamera &c, int v) { c.onSetExpCompValue(v); }, [](const CameraInfo &i) { return i.expComp.value; },
     "onSetExpCompValue", "exposureCompensation"},
    {"exposure_gain", P::Integer, nullptr, nullptr, &CameraInfo::expGain,
     [](BaseCamera &c, int v) { c.onSetExpGainValue(v); }, [](const CameraInfo &i) { return i.expGain.value; },
     "onSetExpGainValue", "exposureGain"},
    {"exposure_time", P::Integer, nullptr, nullptr, &CameraInfo::expTime,
     [](BaseCamera &c, int v) { c.onSetExpTime(v); }, [](const CameraInfo &i) { return i.expTime.value; },
     "onSetExpTime", "exposureTime"},
    {"long_exposure_time", P::Integer, nullptr, nullptr, &CameraInfo::longExpTime,
     [](BaseCamera &c, int v) { c.onSetLongExpTime(v); }, [](const CameraInfo &i) { return i.longExpTime.value; },
     "onSetLongExpTime"},
    {"wb_mode", P::Choice, "auto|manual", nullptr, nullptr,
     [](BaseCamera &c, int v) { c.onSetWbMode(WbMode(v), true); }, [](const CameraInfo &i) { return int(i.wbMode); },
     "onSetWbMode", "whiteBalanceMode"},
    {"wb_red", P::Integer, nullptr, nullptr, &CameraInfo::wbRed, [](BaseCamera &c, int v) { c.onSetWbRedValue(v); },
     [](const CameraInfo &i) { return i.wbRed.value; }, "onSetWbRedValue", "whiteBalanceR"},
    {"wb_green", P::Integer, nullptr, nullptr, &CameraInfo::wbGreen,
     [](BaseCamera &c, int v) { c.onSetWbGreenValue(v); }, [](const CameraInfo &i) { return i.wbGreen.value; },
     "onSetWbGreenValue", "whiteBalanceG"},
    {"wb_blue", P::Integer, nullptr, nullptr, &CameraInfo::wbBlue, [](BaseCamera &c, int v) { c.onSetWbBlueValue(v); },
     [](const CameraInfo &i) { return i.wbBlue.value; }, "onSetWbBlueValue", "whiteBalanceB"},
    {"wb_temperature", P::Integer, nullptr, nullptr, &CameraInfo::wbTemperature,
     [](BaseCamera &c, int v) { c.onSetWBTemperatureValue(v); },
     [](const CameraInfo &i) { return i.wbTemperature.value; }, "onSetWBTemperatureValue"},
    {"hue", P::Integer, nullptr, nullptr, &CameraInfo::hue, [](BaseCamera &c, int v) { c.onSetHueValue(v); },
     [](const CameraInfo &i) { return i.hue.value; }, "onSetHueValue", "hueValue"},
    {"saturation", P::Integer, nullptr, nullptr, &CameraInfo::saturation,
     [](BaseCamera &c, int v) { c.onSetSaturationValue(v); }, [](const CameraInfo &i) { return i.saturation.value; },
     "onSetSaturationValue", "saturationValue"},
    {"contrast", P::Integer, nullptr, nullptr, &CameraInfo::contrast,
     [](BaseCamera &c, int v) { c.onSetContrastValue(v); }, [](const CameraInfo &i) { return i.contrast.value; },
     "onSetContrastValue", "contrastValue"},
    {"sharpness", P::Integer, nullptr, nullptr, &CameraInfo::sharpness,
     [](BaseCamera &c, int v) { c.onSetSharpnessValue(v); }, [](const CameraInfo &i) { return i.sharpness.value; },
     "onSetSharpnessValue", "sharpnessValue"},
    {"gamma", P::Integer, nullptr, nullptr, &CameraInfo::gamma, [](BaseCamera &c, int v) { c.onSetGammaValue(v); },
     [](const CameraInfo &i) { return i.gamma.value; }, "onSetGammaValue", "HDRValue"},
    {"gamma_mode", P::Choice, "value|curve", kGammaModes, nullptr,
     [](BaseCamera &c, int v) { c.onSetGammaMode(GammaMode(v), true); },
     [](const CameraInfo &i) { return int(i.gammaMode); }, "onSetGammaMode"},
    {"drc", P::Integer, nullptr, nullptr, &CameraInfo::drc, [](BaseCamera &c, int v) { c.onSetDRCValue(v); },
     [](const CameraInfo &i) { return i.drc.value; }, "onSetDRCValue"},
    {"focus_mode", P::Choice, "auto|manual|once", kFocusModes, nullptr,
     [](BaseCamera &c, int v) { c.onSetFocusMode(FocusMode(v), true); }, nullptr, "onSetFocusMode", "focusMode"},
    {"focus_value", P::Integer, nullptr, nullptr, &CameraInfo::focus,
     [](BaseCamera &c, int v) { c.onSetFocusValue(v); }, [](const CameraInfo &i) { return i.focus.value; },
     "onSetFocusValue", "focusValue"},
    {"zoom", P::Integer, nullptr, nullptr, &CameraInfo::opticalZoom, [](BaseCamera &c, int v) { c.onSetZoomValue(v); },
     [](const CameraInfo &i) { return i.opticalZoom.value; }, "onSetZoomValue", "Zoom"},
    {"digital_zoom", P::Integer, nullptr, nullptr, &CameraInfo::digitalZoom,
     [](BaseCamera &c, int v) { c.onSetDZoomValue(v); }, [](const CameraInfo &i) { return i.digitalZoom.value; },
     "onSetDZoomValue"},
    {"zoom_speed", P::Integer, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetZoomSpeed(v); },
     [](const CameraInfo &i) { return i.zoomSpeed; }, "onSetZoomSpeed"},
    {"mirror", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetMirrorStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.mirror); }, "onSetMirrorStatus", "mirror"},
    {"flip", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetFlipStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.flip); }, "onSetFlipStatus", "flip"},
    {"monochrome", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetMonoChromeStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.monochrome); }, "onSetMonoChromeStatus"},
    {"flicker", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetFilckStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.flicker); }, "onSetFilckStatus"},
    {"defog", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetDefogStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.defog); }, "onSetDefogStatus", "defogMode"},
    {"cac", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetCACStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.cac); }, "onSetCACStatus"},
    {"ldci", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetLDCIStatus(v != 0); },
     [](const CameraInfo &i) { return int(i.ldci); }, "onSetLDCIStatus"},
    {"negative", P::Flag, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetNegativeStatus(v != 0); },
     nullptr, "onSetNegativeStatus"},
    {"display_mode", P::Choice, "default|biology|industry", kDisplayModes, nullptr,
     [](BaseCamera &c, int v) { c.onSetCameraDisplayMode(DisplayMode(v)); },
     [](const CameraInfo &i) { return int(i.displayMode); }, "onSetCameraDisplayMode"},
    {"led_up", P::Integer, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetLed(0, v); },
     [](const CameraInfo &i) { return i.led.levels[0]; }, "onSetLed(0, …)"},
    {"led_left", P::Integer, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetLed(1, v); },
     [](const CameraInfo &i) { return i.led.levels[1]; }, "onSetLed(1, …)"},
    {"led_right", P::Integer, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetLed(2, v); },
     [](const CameraInfo &i) { return i.led.levels[2]; }, "onSetLed(2, …)"},
    {"led_down", P::Integer, nullptr, nullptr, nullptr, [](BaseCamera &c, int v) { c.onSetLed(3, v); },
     [](const CameraInfo &i) { return i.led.levels[3]; }, "onSetLed(3, …)"},
};

QString valueSyntax(const CameraParameter &p)
{
    switch (p.kind) {
    case CameraParameter::Integer:
        return QStringLiteral("integer");
    case CameraParameter::Flag:
        return QStringLiteral("on|off");
    case CameraParameter::Choice:
        return QString::fromLatin1(p.choices);
    }
    return QString();
}

} // namespace

const CameraParameter *findCameraParameter(const QString &name)
{
    for (const CameraParameter &p : kParameters) {
        if (name == QLatin1String(p.name))
            return &p;
    }
    return nullptr;
}

bool parseParameterValue(const CameraParameter &parameter, const QString &text, int &value, QString &error)
{
    const QString word = text.trimmed().toLower();
    bool ok = false;
    switch (parameter.kind) {
    case CameraParameter::Integer:
        value = word.toInt(&ok);
        break;
    case CameraParameter::Flag:
        if (word == "on" || word == "1" || word == "true" || word == "yes") {
            value = 1;
            ok = true;
        } else if (word == "off" || word == "0" || word == "false" || word == "no") {
            value = 0;
            ok = true;
        }
        break;
    case CameraParameter::Choice: {
        const QStringList words = QString::fromLatin1(parameter.choices).split('|');
        const int index = words.indexOf(word);
        ok = index >= 0;
        if (ok)
            value = parameter.choiceValues ? parameter.choiceValues[index] : index + 1;
        break;
    }
    }
    if (!ok)
        error =
            QStringLiteral("bad value \"%1\" for %2 (expected %3)").arg(text, parameter.name, valueSyntax(parameter));
    return ok;
}

QString cameraParameterHelp()
{
    QString text;
    for (const CameraParameter &p : kParameters)
        text +=
            QStringLiteral("  %1 %2 %3\n").arg(QString::fromLatin1(p.name), -20).arg(valueSyntax(p), -26).arg(p.slot);
    return text;
}
