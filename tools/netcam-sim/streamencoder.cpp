#include "streamencoder.h"

#include <turbojpeg.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include <QDebug>

#include <algorithm>

namespace {

struct QualityStep
{
    const char *word;
    int jpegQuality;
};
const QualityStep kQualities[] = {{"lowest", 40}, {"low", 55}, {"medium", 70}, {"high", 85}, {"highest", 95}};

} // namespace

StreamEncoder::StreamEncoder(const virtualscope::SpecimenConfig &specimen) : m_renderer(specimen, true) {}

StreamEncoder::~StreamEncoder()
{
    closeH264();
    if (m_jpeg)
        tjDestroy(static_cast<tjhandle>(m_jpeg));
    tjFree(m_jpegBuffer);
}

int StreamEncoder::jpegQuality(const QString &quality)
{
    for (const QualityStep &step : kQualities)
        if (quality == QLatin1String(step.word))
            return step.jpegQuality;
    return 85;
}

bool StreamEncoder::encode(const StreamConfig &config, double seconds, quint32 frameIndex, bool forceKeyFrame,
                           EncodedPicture *picture)
{
    const StreamSettings &s = config.stream;
    // A changing picture costs at most a quarter of a core, spread over the frames of a second.
    m_renderer.setUpdateBudget(virtualscope::Renderer::kUpdatePixelsPerSecond / std::max(1, s.frameRate));
    picture->width = s.width;
    picture->height = s.height;
    if (s.fmt == QLatin1String("h264"))
        return encodeH264(config, seconds, frameIndex, forceKeyFrame, picture);
    closeH264(); // a later switch back to H.264 starts afresh
    return encodeJpeg(config, seconds, frameIndex, picture);
}

bool StreamEncoder::encodeJpeg(const StreamConfig &config, double seconds, quint32 frameIndex, EncodedPicture *picture)
{
    const int w = config.stream.width, h = config.stream.height;
    const int strides[3] = {w, w / 2, w / 2};
    m_planes[0].resize(size_t(w) * h);
    m_planes[1].resize(size_t(w / 2) * (h / 2));
    m_planes[2].resize(size_t(w / 2) * (h / 2));
    uint8_t *const planes[3] = {m_planes[0].data(), m_planes[1].data(), m_planes[2].data()};
    m_renderer.render(config.render, virtualscope::PixelLayout::I420, w, h, seconds, frameIndex, planes, strides);

    if (!m_jpeg)
        m_jpeg = tjInitCompress();
    if (!m_jpeg)
        return false;
    const unsigned char *source[3] = {planes[0], planes[1], planes[2]};
    unsigned long size = m_jpegCapacity;
    if (tjCompressFromYUVPlanes(static_cast<tjhandle>(m_jpeg), source, w, strides, h, TJSAMP_420, &m_jpegBuffer, &size,
                                jpegQuality(config.stream.quality), TJFLAG_FASTDCT) != 0) {
        qWarning("netcam-sim: JPEG coding failed: %s", tjGetErrorStr2(static_cast<tjhandle>(m_jpeg)));
        return false;
    }
    m_jpegCapacity = std::max(m_jpegCapacity, size);
    picture->data = QByteArray(reinterpret_cast<const char *>(m_jpegBuffer), int(size));
    picture->codec = EncodedPicture::Mjpeg;
    picture->keyFrame = true;
    return true;
}

bool StreamEncoder::openH264(const StreamSettings &s)
{
    av_log_set_level(AV_LOG_WARNING); // not the coder's statistics on every restart
    const AVCodec *codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        qWarning("netcam-sim: FFmpeg has no libx264 encoder");
        return false;
    }
    m_h264 = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (!m_h264 || !m_frame || !m_packet) {
        closeH264();
        return false;
    }
    m_h264->width = s.width;
    m_h264->height = s.height;
    m_h264->pix_fmt = AV_PIX_FMT_YUV420P;
    m_h264->time_base = AVRational{1, s.frameRate};
    m_h264->framerate = AVRational{s.frameRate, 1};
    m_h264->gop_size = s.iInterval;
    m_h264->max_b_frames = 0; // every picture leaves the coder as soon as it is coded
    m_h264->thread_count = 1;
    // "bitrate" counts kbit/s. Constant rate caps each second at the target through a
    // one-second buffer; variable rate only aims at the mean.
    m_h264->bit_rate = int64_t(s.bitrate) * 1000;
    if (s.rcMode == QLatin1String("cbr")) {
        m_h264->rc_max_rate = m_h264->bit_rate;
        m_h264->rc_buffer_size = int(std::min<int64_t>(m_h264->bit_rate, INT32_MAX));
    }
    // Headers go in-band before every key frame (no global header), so a viewer can join
    // at any key frame.
    av_opt_set(m_h264->priv_data, "preset", "ultrafast", 0);
    av_opt_set(m_h264->priv_data, "tune", "zerolatency", 0);
    av_opt_set_int(m_h264->priv_data, "forced-idr", 1, 0);
    if (avcodec_open2(m_h264, codec, nullptr) < 0) {
        qWarning("netcam-sim: cannot open the H.264 encoder at %dx%d", s.width, s.height);
        closeH264();
        return false;
    }
    m_frame->format = AV_PIX_FMT_YUV420P;
    m_frame->width = s.width;
    m_frame->height = s.height;
    if (av_frame_get_buffer(m_frame, 0) < 0) {
        closeH264();
        return false;
    }
    m_h264Settings = s;
    m_pts = 0;
    return true;
}

void StreamEncoder::closeH264()
{
    avcodec_free_context(&m_h264);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

bool StreamEncoder::encodeH264(const StreamConfig &config, double seconds, quint32 frameIndex, bool forceKeyFrame,
                               EncodedPicture *picture)
{
    // Any change of the coding restarts the stream, which then begins with a key frame.
    if (m_h264 && m_h264Settings != config.stream)
        closeH264();
    if (!m_h264 && !openH264(config.stream))
        return false;
    if (av_frame_make_writable(m_frame) < 0)
        return false;
    uint8_t *const planes[3] = {m_frame->data[0], m_frame->data[1], m_frame->data[2]};
    const int strides[3] = {m_frame->linesize[0], m_frame->linesize[1], m_frame->linesize[2]};
    m_renderer.render(config.render, virtualscope::PixelLayout::I420, config.stream.width, config.stream.height,
                      seconds, frameIndex, planes, strides);
    m_frame->pts = m_pts++;
    m_frame->pict_type = forceKeyFrame ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (avcodec_send_frame(m_h264, m_frame) < 0)
        return false;
    const int result = avcodec_receive_packet(m_h264, m_packet);
    if (result < 0) // EAGAIN: held back, which zero latency should never do
        return false;
    picture->data = QByteArray(reinterpret_cast<const char *>(m_packet->data), m_packet->size);
    picture->codec = EncodedPicture::H264;
    picture->keyFrame = (m_packet->flags & AV_PKT_FLAG_KEY) != 0;
    av_packet_unref(m_packet);
    return true;
}
