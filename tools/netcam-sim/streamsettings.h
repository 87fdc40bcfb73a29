// What the video stream is made of: the encoding last set with "set_stream" and the picture
// values that the renderer can show.
#pragma once

#include <QString>

#include <virtualscope/renderer.h>

struct StreamSettings
{
    QString fmt = QStringLiteral("mjpeg"); // "mjpeg" or "h264"
    int width = 1920;
    int height = 1080;
    QString rcMode = QStringLiteral("cbr"); // "cbr" or "vbr"
    QString quality = QStringLiteral("high");
    int frameRate = 30;
    int bitrate = 86000; // kbit/s, as the camera's defaults count it (86 Mbit/s)
    int iInterval = 90;  // frames from one key frame to the next

    QString wh() const { return QStringLiteral("%1*%2").arg(width).arg(height); }
    bool operator==(const StreamSettings &o) const
    {
        return fmt == o.fmt && width == o.width && height == o.height && rcMode == o.rcMode && quality == o.quality &&
               frameRate == o.frameRate && bitrate == o.bitrate && iInterval == o.iInterval;
    }
    bool operator!=(const StreamSettings &o) const { return !(*this == o); }
};

// Everything the stream worker needs for the next picture.
struct StreamConfig
{
    StreamSettings stream;
    virtualscope::RenderSettings render;
};
