#pragma once

#include "videoframebuffer.h"

#include <QMetaType>
#include <cstdint>
#include <memory>

// A picture on its way through the program: a shared, immutable pixel buffer and a capture
// time. Copies share the buffer and never copy pixels; an empty frame means "no picture".
class VideoFrame
{
public:
    VideoFrame() = default;
    VideoFrame(std::shared_ptr<VideoFrameBuffer> buffer, std::int64_t timestampUs);

    // A new reference to the buffer (null for an empty frame).
    std::shared_ptr<VideoFrameBuffer> videoFrameBuffer() const { return m_buffer; }

    int width() const;
    int height() const;
    // width x height, 0 for an empty frame.
    std::int64_t size() const;
    // True without a buffer or when the buffer holds no pixel.
    bool isNull() const;

    // Microseconds since the epoch.
    std::int64_t timestampUs() const { return m_timestampUs; }
    void setTimestampUs(std::int64_t timestampUs) { m_timestampUs = timestampUs; }

private:
    std::shared_ptr<VideoFrameBuffer> m_buffer;
    std::int64_t m_timestampUs = 0;
};

Q_DECLARE_METATYPE(VideoFrame)
