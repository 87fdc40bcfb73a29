#include "frameconversion.h"

#include "alignedalloc.h"
#include "i420buffer.h"
#include "rgb24buffer.h"

#include <QVector>
#include <QtGlobal>
#include <cstring>
#include <exception>
#include <l_sdk.h>
#include <libyuv/convert.h>
#include <libyuv/convert_argb.h>
#include <libyuv/planar_functions.h>
#include <libyuv/rotate.h>
#include <lmcam.h>
#include <new>
#include <opencv2/imgproc.hpp>

namespace {

// The fields of either SDK's frame record that a conversion needs.
struct SdkPicture
{
    enum class Layout { Planar, PackedRgb, PackedBgr };

    Layout layout = Layout::Planar;
    int width = 0;
    int height = 0;
    const std::uint8_t *planes[3] = {nullptr, nullptr, nullptr};
    int strides[3] = {0, 0, 0};
    std::int64_t timestampUs = 0;
};

// x, y, w, h lies inside a width x height picture (edges included).
bool rectIsInside(int x, int y, int w, int h, int width, int height)
{
    return w > 0 && h > 0 && x >= 0 && y >= 0 && std::int64_t(x) + w <= width && std::int64_t(y) + h <= height;
}

// Source rows shorter than the picture would be read past their end.
bool stridesCoverPicture(const SdkPicture &picture)
{
    if (picture.layout != SdkPicture::Layout::Planar) {
        return picture.strides[0] >= 3 * picture.width;
    }
    const int chromaWidth = (picture.width + 1) / 2;
    return picture.strides[0] >= picture.width && picture.strides[1] >= chromaWidth &&
           picture.strides[2] >= chromaWidth && picture.planes[1] && picture.planes[2];
}

VideoFrame convertSdkPicture(const SdkPicture &picture, int x, int y, int w, int h)
{
    if (!frameSizeIsValid(picture.width, picture.height) || !picture.planes[0] || !stridesCoverPicture(picture)) {
        return {};
    }
    if (!rectIsInside(x, y, w, h, picture.width, picture.height)) {
        x = 0;
        y = 0;
        w = picture.width;
        h = picture.height;
    }
    std::shared_ptr<VideoFrameBuffer> buffer;
    switch (picture.layout) {
    case SdkPicture::Layout::Planar: {
        const std::int64_t chromaOffset = std::int64_t(y / 2);
        buffer =
            I420Buffer::Copy(w, h, picture.planes[0] + std::int64_t(y) * picture.strides[0] + x, picture.strides[0],
                             picture.planes[1] + chromaOffset * picture.strides[1] + x / 2, picture.strides[1],
                             picture.planes[2] + chromaOffset * picture.strides[2] + x / 2, picture.strides[2]);
        break;
    }
    case SdkPicture::Layout::PackedRgb:
        buffer = RGB24Buffer::Copy(w, h, picture.planes[0] + std::int64_t(y) * picture.strides[0] + 3 * x,
                                   picture.strides[0]);
        break;
    case SdkPicture::Layout::PackedBgr: {
        auto rgb = RGB24Buffer::Create(w, h);
        if (rgb) {
            // Swapping bytes 0 and 2 of every pixel is libyuv's RAW-to-RGB24 step.
            libyuv::RAWToRGB24(picture.planes[0] + std::int64_t(y) * picture.strides[0] + 3 * x, picture.strides[0],
                               rgb->MutableData(), rgb->Stride(), w, h);
        }
        buffer = std::move(rgb);
        break;
    }
    }
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), picture.timestampUs);
}

void logUnsupportedFormat(int format)
{
    qWarning("Unsupport frame format %d, makeVideoFrame failed!", format);
}

// Fills picture from a USB SDK record; false (after logging) for an unknown pixel format.
bool readRecord(const lmcam_frame &frame, SdkPicture &picture)
{
    switch (frame.pixel_format) {
    case LMCAM_PIXEL_FORMAT_I420:
    case LMCAM_PIXEL_FORMAT_YUV420P:
        picture.layout = SdkPicture::Layout::Planar;
        break;
    case LMCAM_PIXEL_FORMAT_RGB24:
        picture.layout = SdkPicture::Layout::PackedRgb;
        break;
    case LMCAM_PIXEL_FORMAT_BGR24:
        picture.layout = SdkPicture::Layout::PackedBgr;
        break;
    default:
        logUnsupportedFormat(frame.pixel_format);
        return false;
    }
    picture.width = frame.width;
    picture.height = frame.height;
    for (int i = 0; i < 3; ++i) {
        picture.planes[i] = frame.planes[i];
        picture.strides[i] = frame.strides[i];
    }
    picture.timestampUs = frame.timestamp_us;
    return true;
}

bool readRecord(const l_sdk_md_data &data, SdkPicture &picture)
{
    switch (data.format) {
    case L_SDK_PIX_FMT_YUV420P:
        picture.layout = SdkPicture::Layout::Planar;
        break;
    case L_SDK_PIX_FMT_RGB24:
        picture.layout = SdkPicture::Layout::PackedRgb;
        break;
    case L_SDK_PIX_FMT_BGR24:
        picture.layout = SdkPicture::Layout::PackedBgr;
        break;
    default:
        logUnsupportedFormat(data.format);
        return false;
    }
    picture.width = data.width;
    picture.height = data.height;
    for (int i = 0; i < 3; ++i) {
        picture.planes[i] = L_SDK_PLANE_PTR(data.planes[i]);
        picture.strides[i] = data.planes[i].stride;
    }
    picture.timestampUs = data.timestamp;
    return true;
}

template<typename Record> VideoFrame makeFromRecord(const Record *record, int x, int y, int w, int h, bool wholeFrame)
{
    if (!record) {
        return {};
    }
    SdkPicture picture;
    if (!readRecord(*record, picture)) {
        return {};
    }
    if (wholeFrame) {
        x = 0;
        y = 0;
        w = picture.width;
        h = picture.height;
    }
    return convertSdkPicture(picture, x, y, w, h);
}

// Moves every three-byte pixel to its place in the picture turned clockwise by degrees
// (90, 180 or 270). libyuv has no packed 24-bit rotation, so quarter turns go through strips of
// a few source rows: split into R, G and B planes, turn each plane, merge into the destination
// columns. The strips stay in cache and every step is one of libyuv's vector row routines.
bool rotateRgb24(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width, int height,
                 int degrees)
{
    if (degrees == 180) {
        // A negative height reads the source bottom-up: mirrored rows in reverse order.
        return libyuv::RGB24Mirror(src, srcStride, dst, dstStride, width, -height) == 0;
    }
    constexpr int kStripRows = 16;
    const std::size_t planeBytes = std::size_t(kStripRows) * width;
    std::unique_ptr<std::uint8_t[]> scratch(new (std::nothrow) std::uint8_t[6 * planeBytes]);
    if (!scratch) {
        return false;
    }
    std::uint8_t *planes[3] = {scratch.get(), scratch.get() + planeBytes, scratch.get() + 2 * planeBytes};
    std::uint8_t *turned[3] = {planes[0] + 3 * planeBytes, planes[1] + 3 * planeBytes, planes[2] + 3 * planeBytes};
    const auto mode = degrees == 90 ? libyuv::kRotate90 : libyuv::kRotate270;
    for (int y0 = 0; y0 < height; y0 += kStripRows) {
        const int rows = std::min(kStripRows, height - y0);
        libyuv::SplitRGBPlane(src + std::int64_t(y0) * srcStride, srcStride, planes[0], width, planes[1], width,
                              planes[2], width, width, rows);
        for (int p = 0; p < 3; ++p) {
            libyuv::RotatePlane(planes[p], width, turned[p], rows, width, rows, mode);
        }
        // Source row y lands in destination column height - 1 - y (90) or y (270).
        const int column = degrees == 90 ? height - y0 - rows : y0;
        libyuv::MergeRGBPlane(turned[0], rows, turned[1], rows, turned[2], rows, dst + 3 * column, dstStride, rows,
                              width);
    }
    return true;
}

RGB24BufferInterface *rgb24View(VideoFrameBuffer &buffer)
{
    return buffer.type() == VideoFrameBuffer::Type::kRGB24 ? dynamic_cast<RGB24BufferInterface *>(&buffer) : nullptr;
}

I420BufferInterface *i420View(VideoFrameBuffer &buffer)
{
    return buffer.type() == VideoFrameBuffer::Type::kI420 ? buffer.GetI420() : nullptr;
}

// A QImage over a block from alignedAlloc that frees the block when the image goes.
QImage imageOwningBlock(void *block, int width, int height, int bytesPerLine, QImage::Format format)
{
    QImage image(static_cast<uchar *>(block), width, height, bytesPerLine, format, alignedFree, block);
    if (image.isNull()) {
        alignedFree(block); // a null image never calls its clean-up function
    }
    return image;
}

const QVector<QRgb> &greyColorTable()
{
    static const QVector<QRgb> table = [] {
        QVector<QRgb> entries(256);
        for (int i = 0; i < 256; ++i) {
            entries[i] = qRgb(i, i, i);
        }
        return entries;
    }();
    return table;
}

// Runs an OpenCV call, turning its exceptions into a log line and an empty matrix.
template<typename Function> cv::Mat guardedOpenCv(const char *what, Function &&function)
{
    try {
        return function();
    } catch (const std::exception &e) {
        qWarning("%s failed: %s", what, e.what());
    }
    return {};
}

} // namespace

VideoFrame makeVideoFrame(const lmcam_frame *frame)
{
    return makeFromRecord(frame, 0, 0, 0, 0, true);
}

VideoFrame makeVideoFrame(const lmcam_frame *frame, int x, int y, int w, int h)
{
    return makeFromRecord(frame, x, y, w, h, false);
}

VideoFrame makeVideoFrame(const l_sdk_md_data *data)
{
    if (data && data->ref == 0) {
        return {};
    }
    return makeFromRecord(data, 0, 0, 0, 0, true);
}

VideoFrame makeVideoFrame(const l_sdk_md_data *data, int x, int y, int w, int h)
{
    if (data && data->ref == 0) {
        return {};
    }
    return makeFromRecord(data, x, y, w, h, false);
}

VideoFrame cropVideoFrame(const VideoFrame &frame, int x, int y, int w, int h)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return {};
    }
    if (!rectIsInside(x, y, w, h, frame.width(), frame.height())) {
        return frame;
    }
    std::shared_ptr<VideoFrameBuffer> buffer;
    if (const I420BufferInterface *planar = i420View(*source)) {
        buffer = I420Buffer::Copy(w, h, planar->DataY() + std::int64_t(y) * planar->StrideY() + x, planar->StrideY(),
                                  planar->DataU() + std::int64_t(y / 2) * planar->StrideU() + x / 2, planar->StrideU(),
                                  planar->DataV() + std::int64_t(y / 2) * planar->StrideV() + x / 2, planar->StrideV());
    } else if (const RGB24BufferInterface *packed = rgb24View(*source)) {
        buffer = RGB24Buffer::Copy(w, h, packed->Data() + std::int64_t(y) * packed->Stride() + 3 * x, packed->Stride());
    }
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), frame.timestampUs());
}

VideoFrame rotateVideoFrame(const VideoFrame &frame, int degrees)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return {};
    }
    if (degrees != 90 && degrees != 180 && degrees != 270) {
        return frame;
    }
    const int width = frame.width();
    const int height = frame.height();
    const bool quarterTurn = degrees != 180;
    const int newWidth = quarterTurn ? height : width;
    const int newHeight = quarterTurn ? width : height;
    std::shared_ptr<VideoFrameBuffer> buffer;
    if (const I420BufferInterface *planar = i420View(*source)) {
        auto rotated = I420Buffer::Create(newWidth, newHeight);
        if (rotated) {
            libyuv::I420Rotate(planar->DataY(), planar->StrideY(), planar->DataU(), planar->StrideU(), planar->DataV(),
                               planar->StrideV(), rotated->MutableDataY(), rotated->StrideY(), rotated->MutableDataU(),
                               rotated->StrideU(), rotated->MutableDataV(), rotated->StrideV(), width, height,
                               static_cast<libyuv::RotationMode>(degrees));
        }
        buffer = std::move(rotated);
    } else if (const RGB24BufferInterface *packed = rgb24View(*source)) {
        auto rotated = RGB24Buffer::Create(newWidth, newHeight);
        if (rotated && rotateRgb24(packed->Data(), packed->Stride(), rotated->MutableData(), rotated->Stride(), width,
                                   height, degrees)) {
            buffer = std::move(rotated);
        }
    }
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), frame.timestampUs());
}

VideoFrame mirrorVideoFrame(const VideoFrame &frame, bool horizontal, bool vertical)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return {};
    }
    if (!horizontal && !vertical) {
        return frame;
    }
    const int width = frame.width();
    // A negative height reads the source bottom-up.
    const int height = vertical ? -frame.height() : frame.height();
    std::shared_ptr<VideoFrameBuffer> buffer;
    if (const I420BufferInterface *planar = i420View(*source)) {
        auto mirrored = I420Buffer::Create(width, frame.height());
        const auto copy = horizontal ? libyuv::I420Mirror : libyuv::I420Copy;
        if (mirrored && copy(planar->DataY(), planar->StrideY(), planar->DataU(), planar->StrideU(), planar->DataV(),
                             planar->StrideV(), mirrored->MutableDataY(), mirrored->StrideY(),
                             mirrored->MutableDataU(), mirrored->StrideU(), mirrored->MutableDataV(),
                             mirrored->StrideV(), width, height) == 0) {
            buffer = std::move(mirrored);
        }
    } else if (const RGB24BufferInterface *packed = rgb24View(*source)) {
        auto mirrored = RGB24Buffer::Create(width, frame.height());
        if (mirrored) {
            if (horizontal) {
                libyuv::RGB24Mirror(packed->Data(), packed->Stride(), mirrored->MutableData(), mirrored->Stride(),
                                    width, height);
            } else {
                libyuv::CopyPlane(packed->Data(), packed->Stride(), mirrored->MutableData(), mirrored->Stride(),
                                  3 * width, height);
            }
            buffer = std::move(mirrored);
        }
    }
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), frame.timestampUs());
}

VideoFrame videoFrameFromQImage(const QImage &image)
{
    if (image.isNull()) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    auto buffer = RGB24Buffer::Copy(rgb.width(), rgb.height(), rgb.constBits(), int(rgb.bytesPerLine()));
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), 0);
}

QImage videoFrameToQImage(const VideoFrame &frame)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return {};
    }
    const int width = frame.width();
    const int height = frame.height();
    if (const I420BufferInterface *planar = i420View(*source)) {
        if (!frameSizeIsValid(width, height)) {
            return {};
        }
        void *block = alignedAlloc(std::size_t(3) * width * height, kFrameBufferAlignment);
        if (!block) {
            return {};
        }
        libyuv::I420ToRAW(planar->DataY(), planar->StrideY(), planar->DataU(), planar->StrideU(), planar->DataV(),
                          planar->StrideV(), static_cast<std::uint8_t *>(block), 3 * width, width, height);
        return imageOwningBlock(block, width, height, 3 * width, QImage::Format_RGB888);
    }
    if (const RGB24BufferInterface *packed = rgb24View(*source)) {
        return QImage(packed->Data(), width, height, packed->Stride(), QImage::Format_RGB888).copy();
    }
    return {};
}

cv::Mat videoFrameToMat(const VideoFrame &frame)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return {};
    }
    const int width = frame.width();
    const int height = frame.height();
    if (!frameSizeIsValid(width, height)) {
        return {};
    }
    if (const I420BufferInterface *planar = i420View(*source)) {
        if (width % 2 != 0 || height % 2 != 0) {
            // OpenCV's I420 conversion takes even sizes only; libyuv's B, G, R output ("RGB24"
            // in its naming) is the same conversion.
            return guardedOpenCv("I420 to BGR", [&] {
                cv::Mat bgr(height, width, CV_8UC3);
                libyuv::I420ToRGB24(planar->DataY(), planar->StrideY(), planar->DataU(), planar->StrideU(),
                                    planar->DataV(), planar->StrideV(), bgr.data, int(bgr.step), width, height);
                return bgr;
            });
        }
        return guardedOpenCv("I420 to BGR", [&] {
            const int chromaWidth = planar->ChromaWidth();
            const int chromaHeight = planar->ChromaHeight();
            const std::int64_t lumaBytes = std::int64_t(width) * height;
            const std::int64_t chromaBytes = std::int64_t(chromaWidth) * chromaHeight;
            cv::Mat yuv;
            const bool packedAlready =
                planar->StrideY() == width && planar->StrideU() == chromaWidth && planar->StrideV() == chromaWidth &&
                planar->DataU() == planar->DataY() + lumaBytes && planar->DataV() == planar->DataU() + chromaBytes;
            if (packedAlready) {
                // The buffer already has the tight Y, U, V layout OpenCV reads: no staging copy.
                yuv = cv::Mat(height + chromaHeight, width, CV_8UC1, const_cast<std::uint8_t *>(planar->DataY()));
            } else {
                yuv.create(height + chromaHeight, width, CV_8UC1);
                libyuv::CopyPlane(planar->DataY(), planar->StrideY(), yuv.data, width, width, height);
                libyuv::CopyPlane(planar->DataU(), planar->StrideU(), yuv.data + lumaBytes, chromaWidth, chromaWidth,
                                  chromaHeight);
                libyuv::CopyPlane(planar->DataV(), planar->StrideV(), yuv.data + lumaBytes + chromaBytes, chromaWidth,
                                  chromaWidth, chromaHeight);
            }
            cv::Mat bgr;
            cv::cvtColor(yuv, bgr, cv::COLOR_YUV2BGR_I420);
            return bgr;
        });
    }
    if (const RGB24BufferInterface *packed = rgb24View(*source)) {
        return guardedOpenCv("RGB to BGR", [&] {
            const cv::Mat rgb(height, width, CV_8UC3, const_cast<std::uint8_t *>(packed->Data()),
                              std::size_t(packed->Stride()));
            cv::Mat bgr;
            cv::cvtColor(rgb, bgr, cv::COLOR_RGB2BGR);
            return bgr;
        });
    }
    return {};
}

cv::Mat qImageToMat(const QImage &image)
{
    if (image.isNull()) {
        return {};
    }
    // Headers over the image's pixels; constBits() does not detach, and nothing writes through them.
    auto *bits = const_cast<uchar *>(image.constBits());
    const auto bytesPerLine = std::size_t(image.bytesPerLine());
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return guardedOpenCv("Indexed8 image copy", [&] {
            return cv::Mat(image.height(), image.width(), CV_8UC1, bits, bytesPerLine).clone();
        });
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return guardedOpenCv("BGRA to BGR", [&] {
            cv::Mat bgr;
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC4, bits, bytesPerLine), bgr, cv::COLOR_BGRA2BGR);
            return bgr;
        });
    case QImage::Format_RGB888:
        return guardedOpenCv("RGB to BGR", [&] {
            cv::Mat bgr;
            cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC3, bits, bytesPerLine), bgr, cv::COLOR_RGB2BGR);
            return bgr;
        });
    default:
        return {};
    }
}

QImage matToQImage(const cv::Mat &mat)
{
    if (mat.empty() || mat.dims != 2 || mat.depth() != CV_8U || !frameSizeIsValid(mat.cols, mat.rows) ||
        mat.step[0] > std::size_t(INT_MAX)) {
        return {};
    }
    const int width = mat.cols;
    const int height = mat.rows;
    const int step = int(mat.step[0]);
    switch (mat.channels()) {
    case 1: {
        const int bytesPerLine = alignTo4(width); // Indexed8 rows start on 32-bit boundaries
        void *block = alignedAlloc(std::size_t(bytesPerLine) * height, kFrameBufferAlignment);
        if (!block) {
            return {};
        }
        libyuv::CopyPlane(mat.data, step, static_cast<std::uint8_t *>(block), bytesPerLine, width, height);
        QImage image = imageOwningBlock(block, width, height, bytesPerLine, QImage::Format_Indexed8);
        image.setColorTable(greyColorTable());
        return image;
    }
    case 3: {
        // Same result as rgbSwapped() of an RGB888 image over the matrix, in one pass.
        QImage image(width, height, QImage::Format_RGB888);
        if (image.isNull()) {
            return {};
        }
        libyuv::RAWToRGB24(mat.data, step, image.bits(), image.bytesPerLine(), width, height);
        return image;
    }
    case 4:
        return QImage(mat.data, width, height, step, QImage::Format_ARGB32).copy();
    default:
        return {};
    }
}
