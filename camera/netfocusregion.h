#pragma once

#include <QRect>

class NetCommandChannel;
struct CameraInfo;

// The focus region of a network camera: the older form (a grid cell and a mode) and the newer
// one (a rectangle on the sensor), kept in the camera's cached state.
class NetFocusRegion
{
public:
    NetFocusRegion(NetCommandChannel &channel, CameraInfo &info);

    // Sends the older form with `command`; nothing when it is the cached one.
    void set(bool display, int mode, int x, int y, const char *command, int channel);
    // Sends a rectangle on the sensor; nothing when it is the cached one.
    void setOnSensor(bool enable, const QRect &sensor);
    // Read into the cache; false when unreadable.
    bool readEnabled(const char *command, int channel, int streamIndex);
    bool read(const char *command, int channel, int streamIndex);
    bool readOnSensor(int streamIndex);
    // Whether the focus motor is running now; false when unreadable.
    bool readFocusing(bool &focusing);

    // Region conversions between the picture shown and the sensor. The picture shown is
    // `frame` (the part of the sensor streamed) turned clockwise by `rotate` degrees.
    static QRect toSensor(const QRect &shown, const QRect &frame, int rotate);
    static QRect fromSensor(const QRect &sensor, const QRect &frame, int rotate);

private:
    NetCommandChannel &m_channel;
    CameraInfo &m_info;
};
