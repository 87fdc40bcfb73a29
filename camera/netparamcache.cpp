#include "netparamcache.h"

namespace {

// Where the cache keeps each parameter (a range's value or a flag; neither: a mode or the zoom
// speed) and the signal that reports it.
struct CacheSlot
{
    CameraRange CameraInfo::*range;
    bool CameraInfo::*flag;
    void (BaseCamera::*intSignal)(int);
    void (BaseCamera::*flagSignal)(bool);
};
const CacheSlot kCache[] = {
    /* Bright */ {&CameraInfo::expComp, nullptr, &BaseCamera::sendExpCompValue, nullptr},
    /* Hue */ {&CameraInfo::hue, nullptr, &BaseCamera::sendHueValue, nullptr},
    /* Saturation */ {&CameraInfo::saturation, nullptr, &BaseCamera::sendSaturationValue, nullptr},
    /* Contrast */ {&CameraInfo::contrast, nullptr, &BaseCamera::sendContrastValue, nullptr},
    /* Sharpness */ {&CameraInfo::sharpness, nullptr, &BaseCamera::sendSharpnessValue, nullptr},
    /* Gamma */ {&CameraInfo::gamma, nullptr, &BaseCamera::sendGammaValue, nullptr},
    /* Drc */ {&CameraInfo::drc, nullptr, &BaseCamera::sendDRCValue, nullptr},
    /* FocusModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* FocusValue */ {&CameraInfo::focus, nullptr, &BaseCamera::sendFocusValue, nullptr},
    /* Zoom */ {&CameraInfo::opticalZoom, nullptr, &BaseCamera::sendZoomValue, nullptr},
    /* DZoom */ {&CameraInfo::digitalZoom, nullptr, &BaseCamera::sendDZoomValue, nullptr},
    /* ZoomSpeed */ {nullptr, nullptr, &BaseCamera::sendZoomSpeed, nullptr},
    /* ExpModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* ExpTime */ {&CameraInfo::expTime, nullptr, &BaseCamera::sendExpTime, nullptr},
    /* ExpGain */ {&CameraInfo::expGain, nullptr, &BaseCamera::sendExpGainValue, nullptr},
    /* WbModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* WbRed */ {&CameraInfo::wbRed, nullptr, &BaseCamera::sendWbRedValue, nullptr},
    /* WbGreen */ {&CameraInfo::wbGreen, nullptr, &BaseCamera::sendWbGreenValue, nullptr},
    /* WbBlue */ {&CameraInfo::wbBlue, nullptr, &BaseCamera::sendWbBlueValue, nullptr},
    /* Mirror */ {nullptr, &CameraInfo::mirror, nullptr, &BaseCamera::sendMirrorStatus},
    /* Flip */ {nullptr, &CameraInfo::flip, nullptr, &BaseCamera::sendFlipStatus},
    /* Flicker */ {nullptr, &CameraInfo::flicker, nullptr, &BaseCamera::sendFlickStatus},
    /* Cac */ {nullptr, &CameraInfo::cac, nullptr, &BaseCamera::sendCACStatus},
    /* Monochrome */ {nullptr, &CameraInfo::monochrome, nullptr, &BaseCamera::sendMonoChromeStatus},
    /* Defog */ {nullptr, &CameraInfo::defog, nullptr, &BaseCamera::sendDefogStatus},
};
static_assert(sizeof(kCache) / sizeof(kCache[0]) == NetCamera::ParamCount, "one cache slot per parameter");

} // namespace

NetParamCache::NetParamCache(CameraInfo &info) : m_info(info) {}

int NetParamCache::value(Param param) const
{
    if (param < 0 || param >= NetCamera::ParamCount)
        return 0;
    const CacheSlot &slot = kCache[param];
    if (slot.range)
        return (m_info.*slot.range).value;
    if (slot.flag)
        return m_info.*slot.flag;
    switch (param) {
    case NetCamera::FocusModeParam:
        return m_info.focusMode;
    case NetCamera::ExpModeParam:
        return m_info.expMode;
    case NetCamera::WbModeParam:
        return m_info.wbMode;
    default:
        return m_info.zoomSpeed;
    }
}

void NetParamCache::store(Param param, int value)
{
    if (param < 0 || param >= NetCamera::ParamCount)
        return;
    const CacheSlot &slot = kCache[param];
    if (slot.range)
        (m_info.*slot.range).value = value;
    else if (slot.flag)
        m_info.*slot.flag = value != 0;
    else if (param == NetCamera::FocusModeParam)
        m_info.focusMode = FocusMode(value);
    else if (param == NetCamera::ExpModeParam)
        m_info.expMode = ExposureMode(value);
    else if (param == NetCamera::WbModeParam)
        m_info.wbMode = WbMode(value);
    else
        m_info.zoomSpeed = value;
}

CameraRange *NetParamCache::range(Param param)
{
    return param >= 0 && param < NetCamera::ParamCount && kCache[param].range ? &(m_info.*kCache[param].range)
                                                                              : nullptr;
}

int NetParamCache::toDevice(Param param, int value) const
{
    switch (param) {
    case NetCamera::FocusModeParam:
        // 0 automatic, 1 manual, 2 one-shot; -1 tells the camera it has no focus motor.
        if (!m_info.focusModeSupported)
            return -1;
        return value == FocusAuto ? 0 : value == FocusManual ? 1 : value == FocusOnce ? 2 : value;
    case NetCamera::ExpModeParam:
        return value == ExposureAuto ? 0 : 1;
    default:
        return value;
    }
}

int NetParamCache::fromDevice(Param param, int value) const
{
    switch (param) {
    case NetCamera::FocusModeParam:
        return value == 0 ? FocusAuto : value == 1 ? FocusManual : value == 2 ? FocusOnce : value;
    case NetCamera::ExpModeParam:
        return value == 0 ? ExposureAuto : ExposureManual;
    default:
        return value;
    }
}

void NetParamCache::report(BaseCamera &camera, Param param) const
{
    if (param < 0 || param >= NetCamera::ParamCount)
        return;
    const CacheSlot &slot = kCache[param];
    const int cached = value(param);
    if (slot.intSignal)
        emit(camera.*slot.intSignal)(cached);
    else if (slot.flagSignal)
        emit(camera.*slot.flagSignal)(cached != 0);
    else if (param == NetCamera::FocusModeParam)
        emit camera.sendFocusMode(FocusMode(cached));
    else if (param == NetCamera::ExpModeParam)
        emit camera.sendExpMode(ExposureMode(cached));
    else if (param == NetCamera::WbModeParam)
        emit camera.sendWbMode(WbMode(cached));
}
