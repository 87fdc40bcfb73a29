#pragma once

// The values a new device's row in the `camera` table starts with. Built from the common row
// by the chained modifiers, so a model states only what differs.
struct CameraDefaultRow
{
    int isnv12 = 0;
    int decodeWay = 0;
    int exposureMode = 1;
    int exposureGain = 0;
    int exposureCompensation = 56;
    int exposureTime = 150;
    int zoom = 0;
    int whiteBalanceMode = 0;
    int whiteBalanceR = 628;
    int whiteBalanceG = 256;
    int whiteBalanceB = 421;
    int hueValue = 50;
    int saturationValue = 128;
    int contrastValue = 50;
    int sharpnessValue = 8;
    int flip = 0;
    int mirror = 0;
    int focusMode = 2;
    int focusValue = 0;
    int hdrValue = 6;
    int defogMode = 0;
    int frameMode = 0;
    const char *resolution = "1920x1080";
    int fps = 60;
    int bitrate = 1;
    const char *pictureResolution = "1920x1080";

    // The common row with a live resolution (also the photo resolution) and frame rate.
    static constexpr CameraDefaultRow common(const char *resolution, int fps)
    {
        CameraDefaultRow row;
        row.resolution = resolution;
        row.pictureResolution = resolution;
        row.fps = fps;
        return row;
    }
    // Streams NV12 and decodes it that way.
    constexpr CameraDefaultRow nv12() const
    {
        CameraDefaultRow row = *this;
        row.isnv12 = 1;
        row.decodeWay = 1;
        return row;
    }
    // Streams NV12 but keeps the MJPEG decoder.
    constexpr CameraDefaultRow nv12Only() const
    {
        CameraDefaultRow row = *this;
        row.isnv12 = 1;
        return row;
    }
    constexpr CameraDefaultRow wb(int red, int green, int blue) const
    {
        CameraDefaultRow row = *this;
        row.whiteBalanceR = red;
        row.whiteBalanceG = green;
        row.whiteBalanceB = blue;
        return row;
    }
    constexpr CameraDefaultRow hdr(int value) const
    {
        CameraDefaultRow row = *this;
        row.hdrValue = value;
        return row;
    }
    constexpr CameraDefaultRow focus(int mode, int value) const
    {
        CameraDefaultRow row = *this;
        row.focusMode = mode;
        row.focusValue = value;
        return row;
    }
    constexpr CameraDefaultRow contrast(int value) const
    {
        CameraDefaultRow row = *this;
        row.contrastValue = value;
        return row;
    }
    constexpr CameraDefaultRow bitrateOf(int value) const
    {
        CameraDefaultRow row = *this;
        row.bitrate = value;
        return row;
    }
};
