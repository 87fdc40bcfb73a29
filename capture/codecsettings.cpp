#include "codecsettings.h"

#include <cstdint>

CodecSettings CodecSettings::forPictureSize(int width, int height)
{
    const bool large = std::int64_t(width) * height > 1920 * 1080;
    CodecSettings s;
    s.width = width;
    s.height = height;
    // 15 or 60 Mbit/s for every 30 frames per second.
    s.bit_rate = (large ? 60000000 : 15000000) / 30 * s.fps;
    s.qp = large ? 32 : 27;
    s.crf = large ? 28.0f : 25.0f;
    return s;
}

QString codecSettingsText(const CodecSettings &s)
{
    return QStringLiteral("Video Codec: width=%1, height=%2, fps=%3, bit_rate=%4, qp=%5, qp_min=%6, qp_max=%7, "
                          "crf=%8, frame_drop=%9, type=%10")
        .arg(s.width)
        .arg(s.height)
        .arg(s.fps)
        .arg(s.bit_rate)
        .arg(s.qp)
        .arg(s.qp_min)
        .arg(s.qp_max)
        .arg(double(s.crf))
        .arg(s.frame_drop ? QStringLiteral("true") : QStringLiteral("false"))
        .arg(s.type == CodecSettings::kTypeH264 ? QStringLiteral("h264") : QStringLiteral("mjpeg"));
}
