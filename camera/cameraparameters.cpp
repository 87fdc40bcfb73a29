#include "cameraparameters.h"

#include "basecamera.h"

#include <iterator>
#include <type_traits>

namespace {

template<CameraRange CameraInfo::*Range> constexpr CameraInfoField rangeField()
{
    return {[](const CameraInfo &i) { return (i.*Range).value; }, [](CameraInfo &i, int v) { (i.*Range).value = v; },
            Range, nullptr};
}

// A plain member: a number, a flag or an enumeration.
template<auto Member> constexpr CameraInfoField valueField(bool CameraInfo::*supported = nullptr)
{
    using Type = std::remove_reference_t<decltype(std::declval<CameraInfo &>().*Member)>;
    return {[](const CameraInfo &i) { return int(i.*Member); },
            [](CameraInfo &i, int v) { i.*Member = static_cast<Type>(v); }, nullptr, supported};
}

template<int Part> constexpr CameraInfoField ledField()
{
    return {[](const CameraInfo &i) { return i.led.levels[Part]; },
            [](CameraInfo &i, int v) { i.led.levels[Part] = v; }, nullptr, nullptr};
}

template<typename Arg> void invoke(BaseCamera &camera, void (BaseCamera::*slot)(Arg), int value)
{
    (camera.*slot)(static_cast<Arg>(value));
}

template<typename Arg> void invoke(BaseCamera &camera, void (BaseCamera::*slot)(Arg, bool), int value)
{
    (camera.*slot)(static_cast<Arg>(value), true);
}

template<auto Slot> void call(BaseCamera &camera, int value)
{
    invoke(camera, Slot, value);
}

template<int Part> void setLed(BaseCamera &camera, int level)
{
    camera.onSetLed(Part, level);
}

template<void (BaseCamera::*Slot)(int, int)> void setBlackBalance(BaseCamera &camera, int value)
{
    (camera.*Slot)(value, kBlackBalanceMax);
}

constexpr int kFocusModes[] = {FocusAuto, FocusManual, FocusOnce};
constexpr int kGammaModes[] = {GammaValueMode, GammaCurveMode};
constexpr int kDisplayModes[] = {DisplayModeDefault, DisplayModeBiology, DisplayModeIndustry};

using P = CameraParameter;
using I = CameraInfo;
using B = BaseCamera;

constexpr CameraParameter kParameters[] = {
    {"exposure_mode", P::Choice, "auto|manual", nullptr, valueField<&I::expMode>(&I::expModeSupported),
     call<&B::onSetExpMode>, "onSetExpMode", "sendExpMode", "exposureMode", P::Mode, "exposureMode", "ExposureMode"},
    {"exposure_comp", P::Integer, nullptr, nullptr, rangeField<&I::expComp>(), call<&B::onSetExpCompValue>,
     "onSetExpCompValue", "sendExpCompValue", "exposureCompensation", P::WhileAutoExposure, "exposureCompensation",
     "ExposureCompensation"},
    {"exposure_gain", P::Integer, nullptr, nullptr, rangeField<&I::expGain>(), call<&B::onSetExpGainValue>,
     "onSetExpGainValue", "sendExpGainValue", "exposureGain", P::WhileManualExposure, "exposureGain", "ExposureGain"},
    {"exposure_time", P::Integer, nullptr, nullptr, rangeField<&I::expTime>(), call<&B::onSetExpTime>, "onSetExpTime",
     "sendExpTime", "exposureTime", P::WhileManualExposure, "exposureTime", "ExposureTime"},
    {"long_exposure_time", P::Integer, nullptr, nullptr, rangeField<&I::longExpTime>(), call<&B::onSetLongExpTime>,
     "onSetLongExpTime", "sendLongExpTime", nullptr, P::NotStored, nullptr, "LongExposureTime"},
    {"wb_mode", P::Choice, "auto|manual", nullptr, valueField<&I::wbMode>(&I::wbModeSupported), call<&B::onSetWbMode>,
     "onSetWbMode", "sendWbMode", "whiteBalanceMode", P::Mode, "whiteBalanceMode", "WhiteBalanceMode"},
    {"wb_red", P::Integer, nullptr, nullptr, rangeField<&I::wbRed>(), call<&B::onSetWbRedValue>, "onSetWbRedValue",
     "sendWbRedValue", "whiteBalanceR", P::WbGain, "whiteBalanceR", "WhiteBalanceRed"},
    {"wb_green", P::Integer, nullptr, nullptr, rangeField<&I::wbGreen>(), call<&B::onSetWbGreenValue>,
     "onSetWbGreenValue", "sendWbGreenValue", "whiteBalanceG", P::WbGain, "whiteBalanceG", "WhiteBalanceGreen"},
    {"wb_blue", P::Integer, nullptr, nullptr, rangeField<&I::wbBlue>(), call<&B::onSetWbBlueValue>, "onSetWbBlueValue",
     "sendWbBlueValue", "whiteBalanceB", P::WbGain, "whiteBalanceB", "WhiteBalanceBlue"},
    {"wb_temperature", P::Integer, nullptr, nullptr, rangeField<&I::wbTemperature>(), call<&B::onSetWBTemperatureValue>,
     "onSetWBTemperatureValue", "sendWBTemperatureValue", nullptr, P::NotStored, nullptr, nullptr},
    {"hue", P::Integer, nullptr, nullptr, rangeField<&I::hue>(), call<&B::onSetHueValue>, "onSetHueValue",
     "sendHueValue", "hueValue", P::ValueOrMissing, "hue", "Hue"},
    {"saturation", P::Integer, nullptr, nullptr, rangeField<&I::saturation>(), call<&B::onSetSaturationValue>,
     "onSetSaturationValue", "sendSaturationValue", "saturationValue", P::ValueOrMissing, "saturation", "Saturation"},
    {"contrast", P::Integer, nullptr, nullptr, rangeField<&I::contrast>(), call<&B::onSetContrastValue>,
     "onSetContrastValue", "sendContrastValue", "contrastValue", P::ValueOrMissing, "contrast", "Contrast"},
    {"sharpness", P::Integer, nullptr, nullptr, rangeField<&I::sharpness>(), call<&B::onSetSharpnessValue>,
     "onSetSharpnessValue", "sendSharpnessValue", "sharpnessValue", P::ValueOrMissing, "sharpness", "Sharpness"},
    {"gamma", P::Integer, nullptr, nullptr, rangeField<&I::gamma>(), call<&B::onSetGammaValue>, "onSetGammaValue",
     "sendGammaValue", "HDRValue", P::Value, "gamma", "HdrValue"},
    {"gamma_mode", P::Choice, "value|curve", kGammaModes, valueField<&I::gammaMode>(&I::gammaModeSupported),
     call<&B::onSetGammaMode>, "onSetGammaMode", "sendGammaMode", nullptr, P::NotStored, nullptr, nullptr},
    {"drc", P::Integer, nullptr, nullptr, rangeField<&I::drc>(), call<&B::onSetDRCValue>, "onSetDRCValue",
     "sendDRCValue", nullptr, P::NotStored, nullptr, "DRC"},
    {"focus_mode", P::Choice, "auto|manual|once", kFocusModes, valueField<&I::focusMode>(&I::focusModeSupported),
     call<&B::onSetFocusMode>, "onSetFocusMode", "sendFocusMode", "focusMode", P::WhileFocus, nullptr, "FocusMode"},
    {"focus_value", P::Integer, nullptr, nullptr, rangeField<&I::focus>(), call<&B::onSetFocusValue>, "onSetFocusValue",
     "sendFocusValue", "focusValue", P::Presence, nullptr, "FocusValue"},
    {"zoom", P::Integer, nullptr, nullptr, rangeField<&I::opticalZoom>(), call<&B::onSetZoomValue>, "onSetZoomValue",
     "sendZoomValue", "Zoom", P::SavedOnly, nullptr, "OZoom"},
    {"digital_zoom", P::Integer, nullptr, nullptr, rangeField<&I::digitalZoom>(), call<&B::onSetDZoomValue>,
     "onSetDZoomValue", "sendDZoomValue", nullptr, P::NotStored, nullptr, "DZoom"},
    {"zoom_speed", P::Integer, nullptr, nullptr, valueField<&I::zoomSpeed>(&I::zoomSpeedSupported),
     call<&B::onSetZoomSpeed>, "onSetZoomSpeed", "sendZoomSpeed", nullptr, P::NotStored, nullptr, "ZoomSpeed"},
    {"mirror", P::Flag, nullptr, nullptr, valueField<&I::mirror>(&I::mirrorSupported), call<&B::onSetMirrorStatus>,
     "onSetMirrorStatus", "sendMirrorStatus", "mirror", P::Value, "mirror", "FlipHor"},
    {"flip", P::Flag, nullptr, nullptr, valueField<&I::flip>(&I::mirrorSupported), call<&B::onSetFlipStatus>,
     "onSetFlipStatus", "sendFlipStatus", "flip", P::Value, "flip", "FlipVer"},
    {"monochrome", P::Flag, nullptr, nullptr, valueField<&I::monochrome>(&I::monochromeSupported),
     call<&B::onSetMonoChromeStatus>, "onSetMonoChromeStatus", "sendMonoChromeStatus", nullptr, P::NotStored,
     "monochrome", nullptr},
    {"flicker", P::Flag, nullptr, nullptr, valueField<&I::flicker>(&I::flickerSupported), call<&B::onSetFilckStatus>,
     "onSetFilckStatus", "sendFlickStatus", nullptr, P::NotStored, "flicker", "PowerlineFrequency"},
    {"defog", P::Flag, nullptr, nullptr, valueField<&I::defog>(&I::defogSupported), call<&B::onSetDefogStatus>,
     "onSetDefogStatus", "sendDefogStatus", "defogMode", P::Value, nullptr, "Defog"},
    {"cac", P::Flag, nullptr, nullptr, valueField<&I::cac>(&I::cacSupported), call<&B::onSetCACStatus>,
     "onSetCACStatus", "sendCACStatus", nullptr, P::NotStored, nullptr, "CAC"},
    {"ldci", P::Flag, nullptr, nullptr, valueField<&I::ldci>(&I::ldciSupported), call<&B::onSetLDCIStatus>,
     "onSetLDCIStatus", "sendLDCIStatus", nullptr, P::NotStored, nullptr, "LDCI"},
    // Done on the picture by the image-processing worker: the camera keeps no value.
    {"negative",
     P::Flag,
     nullptr,
     nullptr,
     {},
     call<&B::onSetNegativeStatus>,
     "onSetNegativeStatus",
     "sendNegativeStatus",
     nullptr,
     P::NotStored,
     nullptr,
     "Negative"},
    // Done on the picture as well; the value is a share of 255.
    {"bb_red",
     P::Integer,
     nullptr,
     nullptr,
     {},
     setBlackBalance<&B::onSetBlackBalanceRedValue>,
     "onSetBlackBalanceRedValue",
     "sendBlackBalanceRedValue",
     nullptr,
     P::NotStored,
     nullptr,
     "BlackBalanceRed"},
    {"bb_green",
     P::Integer,
     nullptr,
     nullptr,
     {},
     setBlackBalance<&B::onSetBlackBalanceGreenValue>,
     "onSetBlackBalanceGreenValue",
     "sendBlackBalanceGreenValue",
     nullptr,
     P::NotStored,
     nullptr,
     "BlackBalanceGreen"},
    {"bb_blue",
     P::Integer,
     nullptr,
     nullptr,
     {},
     setBlackBalance<&B::onSetBlackBalanceBlueValue>,
     "onSetBlackBalanceBlueValue",
     "sendBlackBalanceBlueValue",
     nullptr,
     P::NotStored,
     nullptr,
     "BlackBalanceBlue"},
    {"display_mode", P::Choice, "default|biology|industry", kDisplayModes,
     valueField<&I::displayMode>(&I::displayModeSupported), call<&B::onSetCameraDisplayMode>, "onSetCameraDisplayMode",
     "sendDisplayModeValue", nullptr, P::NotStored, nullptr, nullptr},
    {"led_up", P::Integer, nullptr, nullptr, ledField<0>(), setLed<0>, "onSetLed(0, …)", "sendLedInfo", nullptr,
     P::NotStored, nullptr, "LEDPart1"},
    {"led_left", P::Integer, nullptr, nullptr, ledField<1>(), setLed<1>, "onSetLed(1, …)", "sendLedInfo", nullptr,
     P::NotStored, nullptr, "LEDPart2"},
    {"led_right", P::Integer, nullptr, nullptr, ledField<2>(), setLed<2>, "onSetLed(2, …)", "sendLedInfo", nullptr,
     P::NotStored, nullptr, "LEDPart3"},
    {"led_down", P::Integer, nullptr, nullptr, ledField<3>(), setLed<3>, "onSetLed(3, …)", "sendLedInfo", nullptr,
     P::NotStored, nullptr, "LEDPart4"},
};

} // namespace

CameraParameterTable cameraParameters()
{
    return {std::begin(kParameters), std::end(kParameters)};
}

const CameraParameter *findCameraParameter(const QString &name)
{
    for (const CameraParameter &p : kParameters) {
        if (name == QLatin1String(p.name))
            return &p;
    }
    return nullptr;
}

const CameraParameter *findCameraParameterByColumn(const QString &column)
{
    for (const CameraParameter &p : kParameters) {
        if (p.column && column == QLatin1String(p.column))
            return &p;
    }
    return nullptr;
}
