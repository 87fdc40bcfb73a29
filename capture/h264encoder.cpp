#include "h264encoder.h"

#include "videoframebuffer.h"

#include <QByteArray>
#include <QDebug>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}
#include <libyuv/convert.h>
#include <libyuv/convert_from.h>
#include <libyuv/planar_functions.h>

#include <algorithm>

namespace {

// A key frame at least this often, so that a file cut short loses little (fragments start at
// key frames).
constexpr std::int64_t kMaxKeyIntervalMs = 2000;

const char *encoderName(H264Encoder::Kind kind)
{
    switch (kind) {
    case H264Encoder::Nvenc:
        return "h264_nvenc";
    case H264Encoder::Qsv:
        return "h264_qsv";
    case H264Encoder::Software:
        return "libx264";
    case H264Encoder::None:
        break;
    }
    return "";
}

AVPixelFormat targetFormat(H264Encoder::Kind kind)
{
    // Quick Sync takes NV12 from system memory and uploads it itself.
    return kind == H264Encoder::Qsv ? AV_PIX_FMT_NV12 : AV_PIX_FMT_YUV420P;
}

// Whether the encoder opens on this machine. Silent: a missing driver is the normal case.
bool encoderOpens(H264Encoder::Kind kind)
{
    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName(kind));
    if (!codec)
        return false;
    AVCodecContext *context = avcodec_alloc_context3(codec);
    if (!context)
        return false;
    context->width = 640;
    context->height = 480;
    context->time_base = AVRational{1, 30};
    context->framerate = AVRational{30, 1};
    context->pix_fmt = targetFormat(kind);
    const int level = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    const bool opened = avcodec_open2(context, codec, nullptr) == 0;
    av_log_set_level(level);
    avcodec_free_context(&context);
    return opened;
}

// Probed once per process: the drivers do not come and go while the program runs.
bool softwareEncoderOpens()
{
    static const bool opens = encoderOpens(H264Encoder::Software);
    return opens;
}

H264Encoder::Kind probedKind()
{
    static const H264Encoder::Kind kind = [] {
        for (const auto candidate : {H264Encoder::Nvenc, H264Encoder::Qsv}) {
            if (encoderOpens(candidate))
                return candidate;
        }
        return softwareEncoderOpens() ? H264Encoder::Software : H264Encoder::None;
    }();
    return kind;
}

} // namespace

H264Encoder::H264Encoder() : m_kind(probedKind()) {}

H264Encoder::~H264Encoder()
{
    stop();
    release();
}

bool H264Encoder::useCompatibilityMode()
{
    if (!softwareEncoderOpens())
        return false;
    m_kind = Software;
    return true;
}

bool H264Encoder::init(const CodecSettings &settings)
{
    release();
    m_settings = settings;
    if (m_kind == None)
        return false;
    qInfo().nospace() << "InitEncoder: use " << encoderName(m_kind) << " encoder";

    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName(m_kind));
    m_context = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_context)
        return false;
    m_targetFormat = targetFormat(m_kind);
    m_context->width = settings.width;
    m_context->height = settings.height;
    m_context->gop_size = std::min(settings.gop, 2 * settings.fps);
    // Milliseconds: pictures are stamped with the time they were shown, not a frame count.
    m_context->time_base = AVRational{1, 1000};
    m_context->framerate = AVRational{settings.fps, 1};
    m_context->max_b_frames = 0;
    m_context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    m_context->bit_rate = 0;
    m_context->pix_fmt = AVPixelFormat(m_targetFormat);

    AVDictionary *options = nullptr;
    // Forced key frames (see encodeFrame) must be IDR frames so that a fragment starts there.
    av_dict_set(&options, "forced-idr", "1", 0);
    switch (m_kind) {
    case Nvenc:
        av_dict_set(&options, "preset", "llhp", 0);
        av_dict_set(&options, "tune", "ll", 0);
        av_dict_set(&options, "profile", "main", 0);
        av_dict_set(&options, "multipass", "2", 0);
        av_dict_set_int(&options, "qp", settings.qp, 0);
        break;
    case Qsv:
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "profile", "main", 0);
        av_dict_set_int(&options, "forced_idr", 1, 0);
        m_context->global_quality = settings.qp;
        m_context->bit_rate = settings.bit_rate;
        m_context->rc_max_rate = settings.bit_rate;
        break;
    case Software:
        av_dict_set(&options, "preset", "ultrafast", 0);
        av_dict_set(&options, "profile", "baseline", 0);
        av_dict_set(&options, "crf", QByteArray::number(double(settings.crf)).constData(), 0);
        break;
    case None:
        break;
    }
    const int opened = avcodec_open2(m_context, codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        qWarning() << "Can't open codec: " << opened;
        release();
        return false;
    }

    m_frame = av_frame_alloc();
    if (m_frame) {
        m_frame->format = m_targetFormat;
        m_frame->width = settings.width;
        m_frame->height = settings.height;
    }
    if (!m_frame || av_frame_get_buffer(m_frame, 0) < 0) {
        qWarning() << "Can't allocate the video frame data";
        release();
        return false;
    }
    m_packet = av_packet_alloc();
    if (!m_packet) {
        release();
        return false;
    }
    m_originMs = m_lastPts = m_lastKeyPts = -1;
    m_lastInterval = 0;
    return true;
}

void H264Encoder::start()
{
    if (!m_context || m_running)
        return;
    m_running = true;
    m_worker = std::thread(&H264Encoder::run, this);
}

void H264Encoder::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void H264Encoder::setTimeBase(int num, int den)
{
    m_timeBaseNum = num;
    m_timeBaseDen = den;
}

void H264Encoder::encode(const VideoFrame &frame)
{
    if (!m_running || frame.isNull())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (int(m_queue.size()) >= kMaxQueuedFrames) {
            m_queue.pop_front();
            if (++m_dropped % 30 == 0)
                qInfo().nospace() << "Encode: drop frame count=" << m_dropped;
        }
        m_queue.push_back(frame);
    }
    m_wake.notify_one();
}

void H264Encoder::release()
{
    avcodec_free_context(&m_context);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.clear();
}

int H264Encoder::droppedFrames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

int H264Encoder::queuedFrames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_queue.size());
}

void H264Encoder::run()
{
    for (;;) {
        VideoFrame frame;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || !m_running; });
            // Stopped: what is still queued is encoded before the codec is flushed.
            if (m_queue.empty())
                break;
            frame = m_queue.front();
            m_queue.pop_front();
        }
        encodeFrame(frame);
    }
    send(nullptr);
}

void H264Encoder::encodeFrame(const VideoFrame &frame)
{
    if (!fillInput(frame))
        return;
    const std::int64_t ms = frame.timestampUs() / 1000;
    if (m_originMs < 0)
        m_originMs = ms;
    // The codec refuses timestamps that do not increase.
    const std::int64_t pts = std::max(ms - m_originMs, m_lastPts + 1);
    if (m_lastPts >= 0)
        m_lastInterval = pts - m_lastPts;
    m_lastPts = pts;
    m_frame->pts = pts;
    const bool forceKey = m_lastKeyPts < 0 || pts - m_lastKeyPts >= kMaxKeyIntervalMs;
    m_frame->pict_type = forceKey ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (forceKey)
        m_lastKeyPts = pts;
    send(m_frame);
}

bool H264Encoder::fillInput(const VideoFrame &frame)
{
    const auto buffer = frame.videoFrameBuffer();
    if (!buffer || buffer->width() != m_settings.width || buffer->height() != m_settings.height)
        return false;
    if (av_frame_make_writable(m_frame) < 0) {
        qWarning() << "Can't make avFrame writable!";
        return false;
    }
    const int w = m_settings.width;
    const int h = m_settings.height;
    std::uint8_t *const *dst = m_frame->data;
    const int *dstStride = m_frame->linesize;
    if (m_targetFormat == AV_PIX_FMT_YUV420P && buffer->type() == VideoFrameBuffer::Type::kRGB24) {
        // Straight from the read-back picture into the codec's planes: one pass over the pixels.
        const auto &rgb = static_cast<const RGB24BufferInterface &>(*buffer);
        // libyuv calls bytes in R, G, B order "RAW".
        return libyuv::RAWToI420(rgb.Data(), rgb.Stride(), dst[0], dstStride[0], dst[1], dstStride[1], dst[2],
                                 dstStride[2], w, h) == 0;
    }
    const auto yuv = buffer->ToI420();
    if (!yuv)
        return false;
    if (m_targetFormat == AV_PIX_FMT_NV12)
        return libyuv::I420ToNV12(yuv->DataY(), yuv->StrideY(), yuv->DataU(), yuv->StrideU(), yuv->DataV(),
                                  yuv->StrideV(), dst[0], dstStride[0], dst[1], dstStride[1], w, h) == 0;
    return libyuv::I420Copy(yuv->DataY(), yuv->StrideY(), yuv->DataU(), yuv->StrideU(), yuv->DataV(), yuv->StrideV(),
                            dst[0], dstStride[0], dst[1], dstStride[1], dst[2], dstStride[2], w, h) == 0;
}

void H264Encoder::send(AVFrame *frame)
{
    if (avcodec_send_frame(m_context, frame) < 0) {
        qWarning() << "Error sending a frame for encoding";
        return;
    }
    for (;;) {
        const int received = avcodec_receive_packet(m_context, m_packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        if (received < 0) {
            qWarning() << "Error during encoding";
            return;
        }
        if (m_packet->flags & AV_PKT_FLAG_KEY)
            m_lastKeyPts = std::max(m_lastKeyPts, m_packet->pts);
        // The codec leaves the duration open; the last interval is the best guess for the
        // picture that ends a file.
        if (m_packet->duration <= 0)
            m_packet->duration = m_lastInterval > 0 ? m_lastInterval : 1000 / std::max(1, m_settings.fps);
        av_packet_rescale_ts(m_packet, m_context->time_base, AVRational{m_timeBaseNum, m_timeBaseDen});
        if (m_callback)
            m_callback->OnEncodedPacket(m_packet, m_settings.width, m_settings.height);
        av_packet_unref(m_packet);
    }
}
