// Picture buffers and the JPEG (libjpeg-turbo) and H.264 (libavcodec) decoders.
#include "picture.h"
#include "lsdk_private.h"

#include <libyuv/planar_functions.h>
#include <libyuv/scale.h>
#include <turbojpeg.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>
#include <new>

namespace lsdk {

std::unique_ptr<Picture> Picture::allocate(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension)
        return nullptr;
    auto picture = std::make_unique<Picture>();
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    const size_t lumaSize = size_t(width) * size_t(height);
    const size_t chromaSize = size_t(chromaWidth) * size_t(chromaHeight);
    picture->buffer.reset(new (std::nothrow) uint8_t[lumaSize + 2 * chromaSize]);
    if (!picture->buffer)
        return nullptr;
    picture->width = width;
    picture->height = height;
    picture->planes[0] = picture->buffer.get();
    picture->planes[1] = picture->planes[0] + lumaSize;
    picture->planes[2] = picture->planes[1] + chromaSize;
    picture->strides[0] = width;
    picture->strides[1] = picture->strides[2] = chromaWidth;
    return picture;
}

void Picture::fillFrom(const uint8_t *y, int yStride, const uint8_t *u, int uStride, const uint8_t *v, int vStride,
                       int chromaWidth, int chromaHeight)
{
    const int cw = (width + 1) / 2, ch = (height + 1) / 2;
    if (y != planes[0])
        libyuv::CopyPlane(y, yStride, planes[0], strides[0], width, height);
    if (!u || !v) {
        std::memset(planes[1], 128, size_t(cw) * ch);
        std::memset(planes[2], 128, size_t(cw) * ch);
        return;
    }
    // ScalePlane copies when the sizes already match.
    libyuv::ScalePlane(u, uStride, chromaWidth, chromaHeight, planes[1], strides[1], cw, ch, libyuv::kFilterBox);
    libyuv::ScalePlane(v, vStride, chromaWidth, chromaHeight, planes[2], strides[2], cw, ch, libyuv::kFilterBox);
}

namespace {

class JpegDecoder : public PictureDecoder
{
public:
    JpegDecoder() : m_handle(tjInitDecompress()) {}
    ~JpegDecoder() override
    {
        if (m_handle)
            tjDestroy(m_handle);
    }
    bool valid() const { return m_handle != nullptr; }

    bool decode(const uint8_t *data, size_t size, int expectedWidth, int expectedHeight, int64_t timestamp,
                PictureList *out) override
    {
        int width = 0, height = 0, subsampling = -1, colorspace = -1;
        if (size > kMaxUnsignedLong || tjDecompressHeader3(m_handle, data, static_cast<unsigned long>(size), &width,
                                                           &height, &subsampling, &colorspace) != 0)
            return false;
        if (width != expectedWidth || height != expectedHeight)
            return false;
        std::unique_ptr<Picture> picture = Picture::allocate(width, height);
        if (!picture || (colorspace != TJCS_YCbCr && colorspace != TJCS_GRAY))
            return false;
        const bool ok = subsampling == TJSAMP_420    ? decodeDirect(data, size, picture.get())
                        : subsampling == TJSAMP_GRAY ? decodeGrey(data, size, picture.get())
                                                     : decodeResampled(data, size, subsampling, picture.get());
        if (!ok)
            return false;
        picture->timestamp = timestamp;
        out->push_back(std::move(picture));
        return true;
    }

private:
    static constexpr size_t kMaxUnsignedLong = 0xffffffffu;

    // Only a clean decode counts: libjpeg merely warns when the data ran out or was corrupt, and
    // fills what it could not decode with grey.
    bool decodeDirect(const uint8_t *data, size_t size, Picture *picture)
    {
        return tjDecompressToYUVPlanes(m_handle, data, static_cast<unsigned long>(size), picture->planes,
                                       picture->width, picture->strides, picture->height, 0) == 0;
    }

    bool decodeGrey(const uint8_t *data, size_t size, Picture *picture)
    {
        if (!decodeDirect(data, size, picture))
            return false;
        picture->fillFrom(picture->planes[0], picture->strides[0], nullptr, 0, nullptr, 0, 0, 0);
        return true;
    }

    // 4:4:4, 4:2:2, 4:4:0, 4:1:1: decode the chroma at its own size, then resample it to 4:2:0.
    bool decodeResampled(const uint8_t *data, size_t size, int subsampling, Picture *picture)
    {
        const int cw = tjPlaneWidth(1, picture->width, subsampling);
        const int ch = tjPlaneHeight(1, picture->height, subsampling);
        if (cw < 1 || ch < 1)
            return false;
        m_chroma.resize(size_t(cw) * ch * 2);
        unsigned char *planes[3] = {picture->planes[0], m_chroma.data(), m_chroma.data() + size_t(cw) * ch};
        int strides[3] = {picture->strides[0], cw, cw};
        if (tjDecompressToYUVPlanes(m_handle, data, static_cast<unsigned long>(size), planes, picture->width, strides,
                                    picture->height, 0) != 0)
            return false;
        picture->fillFrom(planes[0], strides[0], planes[1], cw, planes[2], cw, cw, ch);
        return true;
    }

    tjhandle m_handle;
    std::vector<uint8_t> m_chroma;
};

class H264Decoder : public PictureDecoder
{
public:
    H264Decoder()
    {
        const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_H264);
        if (!codec)
            return;
        m_context = avcodec_alloc_context3(codec);
        m_packet = av_packet_alloc();
        m_frame = av_frame_alloc();
        if (!m_context || !m_packet || !m_frame)
            return;
        // Pictures are shown as they arrive: no frame-threading delay.
        m_context->flags |= AV_CODEC_FLAG_LOW_DELAY;
        m_context->thread_type = FF_THREAD_SLICE;
        m_context->thread_count = 0;
        m_opened = avcodec_open2(m_context, codec, nullptr) == 0;
    }
    ~H264Decoder() override
    {
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_context);
    }
    bool valid() const { return m_opened; }

    bool decode(const uint8_t *data, size_t size, int expectedWidth, int expectedHeight, int64_t timestamp,
                PictureList *out) override
    {
        if (size == 0 || size > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE)
            return false;
        // The parser may read past the end: the padding must be there and zero.
        m_padded.assign(data, data + size);
        m_padded.resize(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
        m_packet->data = m_padded.data();
        m_packet->size = static_cast<int>(size);
        m_packet->pts = timestamp;
        const int sent = avcodec_send_packet(m_context, m_packet);
        av_packet_unref(m_packet);
        if (sent < 0)
            return false;
        bool failed = false;
        while (avcodec_receive_frame(m_context, m_frame) == 0) {
            // The decoder has allocated already; a picture of another size is still dropped, and
            // so is one it could only finish by concealing damaged or missing data.
            if (m_frame->width != expectedWidth || m_frame->height != expectedHeight || m_frame->decode_error_flags ||
                (m_frame->flags & AV_FRAME_FLAG_CORRUPT))
                failed = true;
            else if (std::unique_ptr<Picture> picture = convert(m_frame))
                out->push_back(std::move(picture));
            av_frame_unref(m_frame);
        }
        return !failed;
    }

private:
    static std::unique_ptr<Picture> convert(const AVFrame *frame)
    {
        const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
        if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM)) ||
            desc->comp[0].depth != 8 || (desc->nb_components >= 3 && !(desc->flags & AV_PIX_FMT_FLAG_PLANAR)))
            return nullptr;
        std::unique_ptr<Picture> picture = Picture::allocate(frame->width, frame->height);
        if (!picture)
            return nullptr;
        const bool grey = desc->nb_components < 3;
        const int cw = AV_CEIL_RSHIFT(frame->width, desc->log2_chroma_w);
        const int ch = AV_CEIL_RSHIFT(frame->height, desc->log2_chroma_h);
        picture->fillFrom(frame->data[0], frame->linesize[0], grey ? nullptr : frame->data[1], frame->linesize[1],
                          grey ? nullptr : frame->data[2], frame->linesize[2], cw, ch);
        picture->timestamp = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
        return picture;
    }

    AVCodecContext *m_context = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    bool m_opened = false;
    std::vector<uint8_t> m_padded;
};

} // namespace

std::unique_ptr<PictureDecoder> PictureDecoder::create(int codec)
{
    if (codec == 1) {
        auto decoder = std::make_unique<JpegDecoder>();
        if (decoder->valid())
            return decoder;
        logLine("JPEG decoder could not be created");
    } else if (codec == 2) {
        auto decoder = std::make_unique<H264Decoder>();
        if (decoder->valid())
            return decoder;
        logLine("H.264 decoder could not be created");
    }
    return nullptr;
}

} // namespace lsdk
