#include "i420buffer.h"

#include "alignedalloc.h"

#include <libyuv/convert.h>

std::shared_ptr<I420Buffer> I420Buffer::Create(int width, int height)
{
    if (!frameSizeIsValid(width, height)) {
        return nullptr;
    }
    auto *data = static_cast<std::uint8_t *>(alignedAlloc(std::size_t(sizeFor(width, height)), kFrameBufferAlignment));
    if (!data) {
        return nullptr;
    }
    return std::make_shared<I420Buffer>(Private{}, width, height, data);
}

std::shared_ptr<I420Buffer> I420Buffer::Copy(int width, int height, const std::uint8_t *dataY, int strideY,
                                             const std::uint8_t *dataU, int strideU, const std::uint8_t *dataV,
                                             int strideV)
{
    if (!dataY || !dataU || !dataV) {
        return nullptr;
    }
    auto buffer = Create(width, height);
    if (!buffer) {
        return nullptr;
    }
    libyuv::I420Copy(dataY, strideY, dataU, strideU, dataV, strideV, buffer->MutableDataY(), buffer->StrideY(),
                     buffer->MutableDataU(), buffer->StrideU(), buffer->MutableDataV(), buffer->StrideV(), width,
                     height);
    return buffer;
}

I420Buffer::I420Buffer(Private, int width, int height, std::uint8_t *data)
    : m_width(width)
    , m_height(height)
    , m_size(sizeFor(width, height))
    , m_strideY(strideYFor(width))
    , m_strideU(strideUVFor(width))
    , m_strideV(strideUVFor(width))
    , m_data(data)
{}

I420Buffer::~I420Buffer()
{
    alignedFree(m_data);
}
