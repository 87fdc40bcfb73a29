// Starting a USB camera object on a virtual device, shared by the USB camera tests.
#pragma once

#include "../virtualdevices.h"
#include "uvccamera.h"

#include <QtTest>

// What the control panel asks for to open the virtual device `path` at width x height (format 0).
inline CameraOpenInfo virtualOpenInfo(const QString &path, int width, int height)
{
    CameraOpenInfo info;
    info.cameraResolution.devicePath = path;
    info.cameraResolution.width = width;
    info.cameraResolution.height = height;
    info.cameraResolution.resolution = CameraResolution::text(width, height);
    return info;
}

// Opens `camera` on the virtual device `path` for width x height (format 0), streams when `stream`
// says so, and fills its information as the control panel would. False when the device refuses.
inline bool startVirtualCamera(UvcCamera &camera, const QString &path, int width, int height, bool stream = true)
{
    const CameraOpenInfo info = virtualOpenInfo(path, width, height);
    camera.setResolutionInfo(info);
    CameraCloseReason reason = UserClosed;
    if (!camera.open(info) || (stream && !camera.start(info, reason)))
        return false;
    camera.onGetAllInfo();
    return true;
}

// The next delivered frame, waiting for the device's pacing; empty after 2.5 s without one.
inline VideoFrame nextVirtualFrame(UvcCamera &camera)
{
    for (int i = 0; i < 500; ++i) {
        VideoFrame frame = camera.readFrame();
        if (!frame.isNull())
            return frame;
        QTest::qWait(5);
    }
    return VideoFrame();
}
