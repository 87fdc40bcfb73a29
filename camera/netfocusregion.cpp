#include "netfocusregion.h"

#include "camerainfo.h"
#include "netcommandchannel.h"

#include <QDebug>
#include <nlohmann/json.hpp>

using nlohmann::json;

NetFocusRegion::NetFocusRegion(NetCommandChannel &channel, CameraInfo &info) : m_channel(channel), m_info(info) {}

void NetFocusRegion::set(bool display, int mode, int x, int y, const char *command, int channel)
{
    CameraInfo &i = m_info;
    if (i.focusRegionEnable == display && i.focusRegionMode == mode && i.focusRegionX == x && i.focusRegionY == y)
        return;
    qInfo().noquote().nospace() << "Net setFocusRegion: enable=" << display << ", x=" << x << ", y=" << y
                                << ", mode=" << mode;
    i.focusRegionEnable = display;
    i.focusRegionMode = mode;
    i.focusRegionX = x;
    i.focusRegionY = y;
    const json request{{"cmd", command}, {"chnn", channel}, {"roi", display ? 1 : 0},
                       {"roi_x", x},     {"roi_y", y},      {"roi_mode", mode}};
    json answer;
    m_channel.exchange(request, -1, true, answer);
}

void NetFocusRegion::setOnSensor(bool enable, const QRect &sensor)
{
    if (m_info.focusRegionEnable == enable && m_info.focusRegionV2 == sensor)
        return;
    qInfo().noquote().nospace() << "Net setFocusRegionV2: enable=" << enable << ", x=" << sensor.x()
                                << ", y=" << sensor.y() << ", width=" << sensor.width()
                                << ", height=" << sensor.height();
    m_info.focusRegionEnable = enable;
    m_info.focusRegionV2 = sensor;
    const json request{{"cmd", "set_focus_region"}, {"roi", enable ? 1 : 0},       {"roi_x", sensor.x()},
                       {"roi_y", sensor.y()},       {"roi_width", sensor.width()}, {"roi_height", sensor.height()}};
    json answer;
    m_channel.exchange(request, -1, true, answer);
}

bool NetFocusRegion::readEnabled(const char *command, int channel, int streamIndex)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", command}, {"chnn", channel}, {"idx", streamIndex}}, -1, false, answer))
        return false;
    try {
        m_info.focusRegionEnable = NetCommandChannel::jsonInt(answer.at(command).at("roi")) != 0;
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegionStatus failed, " << e.what();
        return false;
    }
    return true;
}

bool NetFocusRegion::read(const char *command, int channel, int streamIndex)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", command}, {"chnn", channel}, {"idx", streamIndex}}, -1, false, answer))
        return false;
    try {
        const json &body = answer.at(command);
        m_info.focusRegionEnable = NetCommandChannel::jsonInt(body.at("roi")) != 0;
        m_info.focusRegionMode = NetCommandChannel::jsonInt(body.at("roi_mode"));
        m_info.focusRegionX = NetCommandChannel::jsonInt(body.at("roi_x"));
        m_info.focusRegionY = NetCommandChannel::jsonInt(body.at("roi_y"));
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegion failed, " << e.what();
        return false;
    }
    return true;
}

bool NetFocusRegion::readOnSensor(int streamIndex)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", "get_focus_region"}, {"idx", streamIndex}}, -1, false, answer))
        return false;
    try {
        const json &body = answer.at("get_focus_region");
        const auto number = [&body](const char *name) { return NetCommandChannel::jsonInt(body.at(name)); };
        m_info.focusRegionEnable = number("roi") != 0;
        m_info.focusRegionV2 = QRect(number("roi_x"), number("roi_y"), number("roi_width"), number("roi_height"));
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegionV2 failed, " << e.what();
        return false;
    }
    return true;
}

bool NetFocusRegion::readFocusing(bool &focusing)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", "get_focus_state"}}, -1, false, answer))
        return false;
    try {
        focusing = NetCommandChannel::jsonInt(answer.at("get_focus_state").at("focusing")) != 0;
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusState failed, " << e.what();
        return false;
    }
    return true;
}

QRect NetFocusRegion::toSensor(const QRect &r, const QRect &frame, int rotate)
{
    const int width = frame.width(), height = frame.height();
    QRect s;
    switch (rotate) {
    case 90:
        s = QRect(r.y(), height - r.x() - r.width(), r.height(), r.width());
        break;
    case 180:
        s = QRect(width - r.x() - r.width(), height - r.y() - r.height(), r.width(), r.height());
        break;
    case 270:
        s = QRect(width - r.y() - r.height(), r.x(), r.height(), r.width());
        break;
    default:
        s = r;
        break;
    }
    return s.translated(frame.x(), frame.y());
}

QRect NetFocusRegion::fromSensor(const QRect &sensor, const QRect &frame, int rotate)
{
    const int width = frame.width(), height = frame.height();
    const QRect s = sensor.translated(-frame.x(), -frame.y());
    switch (rotate) {
    case 90:
        return QRect(height - s.y() - s.height(), s.x(), s.height(), s.width());
    case 180:
        return QRect(width - s.x() - s.width(), height - s.y() - s.height(), s.width(), s.height());
    case 270:
        return QRect(s.y(), width - s.x() - s.width(), s.height(), s.width());
    default:
        return s;
    }
}
