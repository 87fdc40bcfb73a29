#pragma once

#include "videoframebuffer.h"

// The owning planar YUV 4:2:0 buffer: one 64-byte aligned block holding Y, then U, then V,
// each row padded to a multiple of 4 bytes.
class I420Buffer final : public I420BufferInterface
{
    struct Private
    {
    };

public:
    // An uninitialised buffer; null when the size is outside the frame limits or memory is short.
    static std::shared_ptr<I420Buffer> Create(int width, int height);
    // Create, then a copy of the given planes (chroma planes of (width+1)/2 x (height+1)/2).
    static std::shared_ptr<I420Buffer> Copy(int width, int height, const std::uint8_t *dataY, int strideY,
                                            const std::uint8_t *dataU, int strideU, const std::uint8_t *dataV,
                                            int strideV);

    I420Buffer(Private, int width, int height, std::uint8_t *data);
    ~I420Buffer() override;
    I420Buffer(const I420Buffer &) = delete;
    I420Buffer &operator=(const I420Buffer &) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    int StrideY() const override { return m_strideY; }
    int StrideU() const override { return m_strideU; }
    int StrideV() const override { return m_strideV; }
    const std::uint8_t *DataY() const override { return m_data; }
    const std::uint8_t *DataU() const override { return m_data + m_strideY * m_height; }
    const std::uint8_t *DataV() const override { return DataU() + m_strideU * ChromaHeight(); }

    // Writable planes, only for the code that fills a buffer it has just created.
    std::uint8_t *MutableDataY() { return m_data; }
    std::uint8_t *MutableDataU() { return m_data + m_strideY * m_height; }
    std::uint8_t *MutableDataV() { return MutableDataU() + m_strideU * ChromaHeight(); }

    // Total bytes of the block.
    int Size() const { return m_size; }

    // Layout of a width x height buffer (sizes within the frame limits).
    static int strideYFor(int width) { return alignTo4(width); }
    static int strideUVFor(int width) { return alignTo4((width + 1) / 2); }
    static int sizeFor(int width, int height)
    {
        return strideYFor(width) * height + 2 * strideUVFor(width) * ((height + 1) / 2);
    }

private:
    int m_width;
    int m_height;
    int m_size;
    int m_strideY;
    int m_strideU;
    int m_strideV;
    std::uint8_t *m_data;
};
