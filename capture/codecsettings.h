#pragma once

#include <QString>

// What a recording is encoded with, filled when recording starts.
struct CodecSettings
{
    // The only type the recorder encodes; any other value is refused.
    static constexpr int kTypeH264 = 1;

    int width = 0;
    int height = 0;
    int type = kTypeH264;
    int fps = 60;
    int bit_rate = 30000000;
    int qp_min = 20;
    int qp_max = 40;
    int qp = 27;
    float crf = 25.0f;
    bool frame_drop = false;
    // Frames between key frames.
    int gop = 30;

    // The defaults for a width x height picture: pictures above 1920 x 1080 get a higher bit
    // rate and coarser quantisers.
    static CodecSettings forPictureSize(int width, int height);
};

// "Video Codec: width=..., height=..., ..." as written to the log when recording starts.
QString codecSettingsText(const CodecSettings &settings);
