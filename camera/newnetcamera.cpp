#include "newnetcamera.h"

#include <QDebug>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

// The grouped command set, per parameter.
const NetCamera::ParamRoute kNewRoutes[] = {
    /* Bright */ {"get_exposure", 1, "compensation", "set_exposure"},
    /* Hue */ {"get_image_value", 3, "hue", "set_image_value"},
    /* Saturation */ {"get_image_value", 3, "saturation", "set_image_value"},
    /* Contrast */ {"get_image_value", 3, "contrast", "set_image_value"},
    /* Sharpness */ {"get_image_value", 3, "sharpness", "set_image_value"},
    /* Gamma */ {"get_image_value", 3, "gamma", "set_image_value"},
    /* Drc */ {"get_image_value", 3, "drc", "set_image_value"},
    /* FocusModeParam */ {"get_focus", 3, "focus_mode", "set_focus"},
    /* FocusValue */ {"get_focus", 3, "focus_value", "set_focus"},
    /* Zoom */ {"get_zoom", 3, "ezoom_value", "set_zoom"},
    /* DZoom */ {"get_zoom", 3, "dzoom_value", "set_zoom"},
    /* ZoomSpeed */ {"get_zoom", 3, "ezoom_speed", "set_zoom"},
    /* ExpModeParam */ {"get_exposure", 1, "expo_type", "set_exposure"},
    /* ExpTime */ {"get_exposure", 1, "shuttertime", "set_exposure"},
    /* ExpGain */ {"get_exposure", 1, "a_gain", "set_exposure"},
    /* WbModeParam */ {"get_white_balance", 0, "awb", "set_white_balance"},
    /* WbRed */ {"get_white_balance", 0, "r", "set_white_balance"},
    /* WbGreen */ {"get_white_balance", 0, "gr", "set_white_balance"},
    /* WbBlue */ {"get_white_balance", 0, "gb", "set_white_balance"},
    /* Mirror */ {"get_image_bool", 3, "mirror", "set_image_bool"},
    /* Flip */ {"get_image_bool", 3, "flip", "set_image_bool"},
    /* Flicker */ {"get_image_bool", 3, "flick", "set_image_bool"},
    /* Cac */ {"get_image_bool", 3, "cac", "set_image_bool"},
    /* Monochrome */ {"get_image_bool", 3, "monochrome", "set_image_bool"},
    /* Defog */ {"get_motor_demist", 2, "demist", "set_motor_demist"},
};
static_assert(sizeof(kNewRoutes) / sizeof(kNewRoutes[0]) == NetCamera::ParamCount, "one route per parameter");

const NetCamera::CommandNames kNewNames = {"get_roi",           "set_roi",      "get_ipv4",
                                           "get_wireless_ipv4", "get_wireless", "NewNetCamera"};

} // namespace

NewNetCamera::NewNetCamera(QObject *parent) : NetCamera(parent) {}

NetCamera::ParamRoute NewNetCamera::route(Param param) const
{
    return param >= 0 && param < ParamCount ? kNewRoutes[param] : ParamRoute{nullptr, 0, nullptr, nullptr};
}

const NetCamera::CommandNames &NewNetCamera::commandNames() const
{
    return kNewNames;
}

json NewNetCamera::setGroupRequest(const std::string &name) const
{
    const auto v = [this](Param p) { return toDevice(p, cachedValue(p)); };
    json r{{"cmd", name}, {"chnn", m_channel}};
    if (name == "set_image_value") {
        r["contrast"] = v(Contrast);
        r["saturation"] = v(Saturation);
        r["hue"] = v(Hue);
        r["sharpness"] = v(Sharpness);
        r["gamma"] = v(Gamma);
        r["drc"] = v(Drc);
    } else if (name == "set_image_bool") {
        r["mirror"] = v(Mirror);
        r["flip"] = v(Flip);
        r["flick"] = v(Flicker);
        r["cac"] = v(Cac);
        r["monochrome"] = v(Monochrome);
    } else if (name == "set_exposure") {
        r["expo_type"] = v(ExpModeParam);
        r["compensation"] = v(Bright);
        r["shuttertime"] = v(ExpTime);
        r["a_gain"] = v(ExpGain);
    } else if (name == "set_focus") {
        r["focus_mode"] = v(FocusModeParam);
        r["focus_value"] = v(FocusValue);
        r["focus_speed"] = m_focusSpeed;
    } else if (name == "set_zoom") {
        r["ezoom_value"] = v(Zoom);
        r["dzoom_value"] = v(DZoom);
        r["ezoom_speed"] = v(ZoomSpeed);
        r["ezoom_mode"] = m_zoomMode;
    } else if (name == "set_white_balance") {
        r["awb"] = m_info.wbMode == WbAuto ? "auto" : "manual";
        r["r"] = v(WbRed);
        r["gr"] = v(WbGreen);
        r["gb"] = v(WbBlue);
    } else {
        return NetCamera::setGroupRequest(name);
    }
    return r;
}

void NewNetCamera::loadRanges()
{
    readAbilityRanges("get_image_ability", Idx,
                      {{"compensation", Bright},
                       {"a_gain", ExpGain},
                       {"shuttertime", ExpTime},
                       {"contrast", Contrast},
                       {"saturation", Saturation},
                       {"hue", Hue},
                       {"sharpness", Sharpness},
                       {"gamma", Gamma},
                       {"drc", Drc}});
    if (m_info.focusModeSupported)
        readAbilityRanges("get_motor_ability", Idx,
                          {{"focus_value", FocusValue}, {"ezoom_value", Zoom}, {"dzoom_value", DZoom}});

    const json answer = getRequest(command("get_led_ability", Chnn | Idx));
    if (answer.is_null())
        return;
    try {
        const json &body = answer.at("get_led_ability");
        LedInfo &led = m_info.led;
        led.partCount = jsonInt(body.at("part_number"));
        const json &level = body.at("level");
        led.minLevel = jsonInt(level.at("min"));
        led.maxLevel = jsonInt(level.at("max"));
        led.defaultLevel = jsonInt(level.at("def"));
        led.supported = led.partCount > 0;
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getLedInfo throw an error:" << e.what();
    }
}

std::vector<const char *> NewNetCamera::wirelessFields() const
{
    return {"type", "net", "ssid", "passwd", "enc", "ap_ssid", "ap_passwd", "sta_ssid", "sta_passwd"};
}

// ---- Setters -----------------------------------------------------------------------------

void NewNetCamera::moveFocus(int direction)
{
    if (m_info.focusMode != FocusManual) {
        qInfo() << "Net camera, current mode can not change focus value.";
        return;
    }
    qInfo() << (direction > 0 ? "onSetFocusAdd" : "onSetFocusSub");
    setRequest(json{{"cmd", "set_focus_relative"}, {"relative", direction}});
}

void NewNetCamera::onSetFocusAdd()
{
    moveFocus(1);
}

void NewNetCamera::onSetFocusSub()
{
    moveFocus(-1);
}

void NewNetCamera::onSetDZoomValue(int value)
{
    if (applyParam(DZoom, "onSetDZoomValue", value))
        emit sendDZoomValue(value);
}

void NewNetCamera::onSetZoomSpeed(int speed)
{
    if (applyParam(ZoomSpeed, "onSetZoomSpeed", speed))
        emit sendZoomSpeed(speed);
}

void NewNetCamera::onSetZoomRelativeValue(int value)
{
    // A step from wherever the motor stands: sent in relative mode, not cached.
    qInfo() << "onSetZoomRelativeValue:" << value;
    const int cached = m_info.opticalZoom.value;
    m_info.opticalZoom.value = value;
    m_zoomMode = 1;
    sendParam(Zoom);
    m_zoomMode = 0;
    m_info.opticalZoom.value = cached;
}

void NewNetCamera::onSetMonoChromeStatus(bool enable)
{
    if (applyParam(Monochrome, "onSetMonoChromeStatus", enable))
        emit sendMonoChromeStatus(enable);
}

void NewNetCamera::onSetDRCValue(int)
{
    qInfo() << "Current Camera does not support set drc value!";
}

void NewNetCamera::onSetCACStatus(bool)
{
    qInfo() << "Current Camera does not support set cac status!";
}

void NewNetCamera::onSetLed(int partIndex, int level)
{
    if (partIndex < 0 || partIndex >= int(m_info.led.levels.size()) || m_info.led.levels[partIndex] == level)
        return;
    qInfo() << "onSetLed:" << partIndex << level;
    m_info.led.levels[partIndex] = level;
    setRequest(json{{"cmd", "set_led"}, {"chnn", m_channel}, {"index", partIndex}, {"level", level}});
}

void NewNetCamera::onSetAllLed(int up, int left, int right, int down)
{
    const std::array<int, 4> levels{up, left, right, down};
    if (m_info.led.levels == levels)
        return;
    qInfo() << "onSetAllLed:" << up << left << right << down;
    m_info.led.levels = levels;
    setRequest(
        json{{"cmd", "set_leds"}, {"chnn", m_channel}, {"led0", up}, {"led1", left}, {"led2", right}, {"led3", down}});
}

// ---- Getters -----------------------------------------------------------------------------

void NewNetCamera::onGetDZoomValue()
{
    if (readParams({DZoom}, "getDZoomValue"))
        emit sendDZoomValue(m_info.digitalZoom.value);
}

void NewNetCamera::onGetZoomSpeed()
{
    if (readParams({ZoomSpeed}, "getZoomSpeed"))
        emit sendZoomSpeed(m_info.zoomSpeed);
}

void NewNetCamera::onGetMonoChromeStatus()
{
    if (readParams({Monochrome}, "getMonoChromeStatus"))
        emit sendMonoChromeStatus(m_info.monochrome);
}

void NewNetCamera::onGetLedInfo()
{
    const json answer = getRequest(command("get_led", Chnn | Idx));
    if (answer.is_null())
        return;
    try {
        for (const json &part : answer.at("get_led").at("led_info")) {
            const int index = jsonInt(part.at("index"));
            if (index < 0 || index >= int(m_info.led.levels.size()))
                continue;
            const bool enabled = jsonInt(part.at("enable")) != 0;
            m_info.led.levels[index] = enabled ? jsonInt(part.at("level")) : 0;
        }
        emit sendLedInfo(m_info.led);
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getLedInfo throw an error:" << e.what();
    }
}
