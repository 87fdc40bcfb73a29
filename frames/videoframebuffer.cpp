#include "videoframebuffer.h"

bool frameSizeIsValid(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide &&
           std::int64_t(width) * height <= kMaxFramePixels;
}

VideoFrameBuffer::~VideoFrameBuffer() = default;

I420BufferInterface *VideoFrameBuffer::GetI420()
{
    return nullptr;
}

std::shared_ptr<I420BufferInterface> I420BufferInterface::ToI420()
{
    return shared_from_this();
}
