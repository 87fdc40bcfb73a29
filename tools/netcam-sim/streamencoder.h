// Renders the virtual specimen and codes it as the stream is set: one JPEG per picture for
// MJPEG, an Annex B access unit per picture for H.264.
#pragma once

#include "streamsettings.h"

#include <QByteArray>
#include <QMetaType>

#include <virtualscope/renderer.h>

#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

// One coded picture, as the video message carries it.
struct EncodedPicture
{
    enum Codec : quint8 { Mjpeg = 1, H264 = 2 };

    QByteArray data;
    Codec codec = Mjpeg;
    bool keyFrame = false;
    int width = 0;
    int height = 0;
    quint32 sequence = 0;
};
Q_DECLARE_METATYPE(EncodedPicture)

class StreamEncoder
{
public:
    explicit StreamEncoder(const virtualscope::SpecimenConfig &specimen);
    ~StreamEncoder();
    StreamEncoder(const StreamEncoder &) = delete;
    StreamEncoder &operator=(const StreamEncoder &) = delete;

    // Renders the picture at `seconds` and codes it into *picture (all but the sequence).
    // False when the coder failed or, for H.264, held the picture back.
    bool encode(const StreamConfig &config, double seconds, quint32 frameIndex, bool forceKeyFrame,
                EncodedPicture *picture);

    // JPEG quality (1..100) for the stream's quality word.
    static int jpegQuality(const QString &quality);

private:
    bool encodeJpeg(const StreamConfig &config, double seconds, quint32 frameIndex, EncodedPicture *picture);
    bool encodeH264(const StreamConfig &config, double seconds, quint32 frameIndex, bool forceKeyFrame,
                    EncodedPicture *picture);
    bool openH264(const StreamSettings &settings);
    void closeH264();

    virtualscope::Renderer m_renderer;
    std::vector<uint8_t> m_planes[3]; // I420 picture for the JPEG coder
    void *m_jpeg = nullptr;           // tjhandle
    unsigned char *m_jpegBuffer = nullptr;
    unsigned long m_jpegCapacity = 0;

    AVCodecContext *m_h264 = nullptr;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    StreamSettings m_h264Settings; // what m_h264 was opened with
    int64_t m_pts = 0;
};
