#include "rgb24buffer.h"

#include "alignedalloc.h"
#include "i420buffer.h"

#include <climits>
#include <libyuv/convert.h>
#include <libyuv/planar_functions.h>

std::shared_ptr<RGB24Buffer> RGB24Buffer::Create(int width, int height)
{
    if (!frameSizeIsValid(width, height)) {
        return nullptr;
    }
    return Create(width, height, strideFor(width));
}

std::shared_ptr<RGB24Buffer> RGB24Buffer::Create(int width, int height, int stride)
{
    if (!frameSizeIsValid(width, height) || stride < 3 * width) {
        return nullptr;
    }
    const std::int64_t size = std::int64_t(stride) * height;
    if (size > INT_MAX) {
        return nullptr;
    }
    auto *data = static_cast<std::uint8_t *>(alignedAlloc(std::size_t(size), kFrameBufferAlignment));
    if (!data) {
        return nullptr;
    }
    return std::make_shared<RGB24Buffer>(Private{}, width, height, stride, data);
}

std::shared_ptr<RGB24Buffer> RGB24Buffer::Copy(int width, int height, const std::uint8_t *data, int stride)
{
    if (!data) {
        return nullptr;
    }
    auto buffer = Create(width, height);
    if (!buffer) {
        return nullptr;
    }
    libyuv::CopyPlane(data, stride, buffer->MutableData(), buffer->Stride(), 3 * width, height);
    return buffer;
}

std::shared_ptr<RGB24Buffer> RGB24Buffer::Copy(const RGB24BufferInterface &other)
{
    return Copy(other.width(), other.height(), other.Data(), other.Stride());
}

RGB24Buffer::RGB24Buffer(Private, int width, int height, int stride, std::uint8_t *data)
    : m_width(width), m_height(height), m_size(std::int64_t(stride) * height), m_stride(stride), m_data(data)
{}

RGB24Buffer::~RGB24Buffer()
{
    alignedFree(m_data);
}

std::shared_ptr<I420BufferInterface> RGB24Buffer::ToI420()
{
    auto buffer = I420Buffer::Create(m_width, m_height);
    if (!buffer) {
        return nullptr;
    }
    // libyuv calls bytes in R, G, B order "RAW".
    libyuv::RAWToI420(m_data, m_stride, buffer->MutableDataY(), buffer->StrideY(), buffer->MutableDataU(),
                      buffer->StrideU(), buffer->MutableDataV(), buffer->StrideV(), m_width, m_height);
    return buffer;
}
