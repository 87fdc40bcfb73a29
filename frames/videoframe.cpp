#include "videoframe.h"

#include <utility>

namespace {
// Frames travel between threads in queued signals, which need the type registered by name.
const int videoFrameMetaTypeId = qRegisterMetaType<VideoFrame>("VideoFrame");
} // namespace

VideoFrame::VideoFrame(std::shared_ptr<VideoFrameBuffer> buffer, std::int64_t timestampUs)
    : m_buffer(std::move(buffer)), m_timestampUs(timestampUs)
{
    Q_UNUSED(videoFrameMetaTypeId)
}

int VideoFrame::width() const
{
    return m_buffer ? m_buffer->width() : 0;
}

int VideoFrame::height() const
{
    return m_buffer ? m_buffer->height() : 0;
}

std::int64_t VideoFrame::size() const
{
    return std::int64_t(width()) * height();
}

bool VideoFrame::isNull() const
{
    return size() <= 0;
}
