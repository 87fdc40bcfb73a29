#pragma once

#include "videoframebuffer.h"

// The owning packed RGB24 buffer: one 64-byte aligned block of rows of R, G, B bytes.
class RGB24Buffer final : public RGB24BufferInterface
{
    struct Private
    {
    };

public:
    // An uninitialised buffer with rows of 3 x width bytes padded to a multiple of 4; null when
    // the size is outside the frame limits or memory is short.
    static std::shared_ptr<RGB24Buffer> Create(int width, int height);
    // The same with the given row length (at least 3 x width).
    static std::shared_ptr<RGB24Buffer> Create(int width, int height, int stride);
    // Create(width, height), then a copy of 3 x width bytes from each source row.
    static std::shared_ptr<RGB24Buffer> Copy(int width, int height, const std::uint8_t *data, int stride);
    static std::shared_ptr<RGB24Buffer> Copy(const RGB24BufferInterface &other);

    RGB24Buffer(Private, int width, int height, int stride, std::uint8_t *data);
    ~RGB24Buffer() override;
    RGB24Buffer(const RGB24Buffer &) = delete;
    RGB24Buffer &operator=(const RGB24Buffer &) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    // A new planar buffer of the same picture (BT.601 limited range).
    std::shared_ptr<I420BufferInterface> ToI420() override;
    const std::uint8_t *Data() const override { return m_data; }
    int Stride() const override { return m_stride; }

    // Writable pixels, only for the code that fills a buffer it has just created.
    std::uint8_t *MutableData() { return m_data; }
    // Total bytes of the block.
    std::int64_t Size() const { return m_size; }

    static int strideFor(int width) { return alignTo4(3 * width); }

private:
    int m_width;
    int m_height;
    std::int64_t m_size;
    int m_stride;
    std::uint8_t *m_data;
};
