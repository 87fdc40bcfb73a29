#pragma once

#include <cstdint>
#include <memory>

class I420BufferInterface;

// Largest picture the frame library accepts: at most this many pixels on a side and
// kMaxFramePixels in all, so that every plane's byte count fits an int (the row routines
// and QImage count bytes in int).
constexpr int kMaxFrameSide = 32768;
constexpr std::int64_t kMaxFramePixels = std::int64_t(1) << 28;

// True when a width x height picture is within the limits above (both sides positive).
bool frameSizeIsValid(int width, int height);

// Rounds value up to a multiple of 4: the row padding of every owning buffer.
constexpr int alignTo4(int value)
{
    return (value + 3) & ~3;
}

// Alignment of every pixel block the frame library allocates.
constexpr std::size_t kFrameBufferAlignment = 64;

// A picture's pixels. Buffers are immutable once built, so any number of threads may read them.
class VideoFrameBuffer
{
public:
    enum class Type : int {
        kI420 = 1,  // planar YUV 4:2:0
        kRGB24 = 8, // packed 24-bit, bytes R, G, B
    };

    virtual Type type() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The same picture as planar YUV 4:2:0 (this buffer itself when it is one).
    virtual std::shared_ptr<I420BufferInterface> ToI420() = 0;
    // This buffer's planar view, or null when it is not planar YUV 4:2:0.
    virtual I420BufferInterface *GetI420();
    virtual ~VideoFrameBuffer();
};

// A planar YUV picture: one luma plane and two chroma planes.
class PlanarYuvBuffer : public VideoFrameBuffer
{
public:
    virtual int ChromaWidth() const = 0;
    virtual int ChromaHeight() const = 0;
    virtual int StrideY() const = 0;
    virtual int StrideU() const = 0;
    virtual int StrideV() const = 0;
};

// A planar YUV picture with 8-bit samples.
class PlanarYuv8Buffer : public PlanarYuvBuffer
{
public:
    virtual const std::uint8_t *DataY() const = 0;
    virtual const std::uint8_t *DataU() const = 0;
    virtual const std::uint8_t *DataV() const = 0;
};

// Planar YUV 4:2:0 with chroma planes of half the width and height, rounded up.
class I420BufferInterface : public PlanarYuv8Buffer, public std::enable_shared_from_this<I420BufferInterface>
{
public:
    Type type() const final { return Type::kI420; }
    std::shared_ptr<I420BufferInterface> ToI420() final;
    I420BufferInterface *GetI420() final { return this; }
    int ChromaWidth() const final { return (width() + 1) / 2; }
    int ChromaHeight() const final { return (height() + 1) / 2; }
};

// Packed 24-bit pixels, bytes in the order R, G, B (as QImage::Format_RGB888).
class RGB24BufferInterface : public VideoFrameBuffer, public std::enable_shared_from_this<RGB24BufferInterface>
{
public:
    Type type() const final { return Type::kRGB24; }
    I420BufferInterface *GetI420() final { return nullptr; }
    virtual const std::uint8_t *Data() const = 0;
    virtual int Stride() const = 0;
};
