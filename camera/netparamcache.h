#pragma once

#include "netcamera.h"

// Where the cached state of a network camera keeps each parameter, the device's form of the
// values, and the signal that reports each one.
class NetParamCache
{
public:
    using Param = NetCamera::Param;

    explicit NetParamCache(CameraInfo &info);

    // Cached value of a parameter as the program keeps it, and stored back.
    int value(Param param) const;
    void store(Param param, int value);
    // The range of a parameter; null for modes, flags and the zoom speed.
    CameraRange *range(Param param);
    // The device's form of a cached value and back (focus and exposure modes differ).
    int toDevice(Param param, int value) const;
    int fromDevice(Param param, int value) const;
    // Emits the signal of `camera` that reports a parameter, with its cached value.
    void report(BaseCamera &camera, Param param) const;

private:
    CameraInfo &m_info;
};
