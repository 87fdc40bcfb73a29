#pragma once

// Sample access shared by the frame tests: plane 0, 1, 2 is Y, U, V of a planar frame or the
// R, G, B bytes of a packed one.
#include "i420buffer.h"
#include "rgb24buffer.h"
#include "videoframe.h"

#include <QSize>
#include <functional>

using SampleFunction = std::function<int(int plane, int x, int y)>;

inline bool isPlanar(const VideoFrame &frame)
{
    return frame.videoFrameBuffer()->type() == VideoFrameBuffer::Type::kI420;
}

inline QSize planeSize(const VideoFrame &frame, int plane)
{
    if (plane == 0 || !isPlanar(frame)) {
        return {frame.width(), frame.height()};
    }
    return {(frame.width() + 1) / 2, (frame.height() + 1) / 2};
}

inline int sampleAt(const VideoFrame &frame, int plane, int x, int y)
{
    const auto buffer = frame.videoFrameBuffer();
    if (const I420BufferInterface *yuv = buffer->GetI420()) {
        const std::uint8_t *data[] = {yuv->DataY(), yuv->DataU(), yuv->DataV()};
        const int strides[] = {yuv->StrideY(), yuv->StrideU(), yuv->StrideV()};
        return data[plane][y * strides[plane] + x];
    }
    const auto *rgb = dynamic_cast<const RGB24BufferInterface *>(buffer.get());
    return rgb->Data()[y * rgb->Stride() + 3 * x + plane];
}

// A new planar or packed frame whose samples are value(plane, x, y).
inline VideoFrame makeFrame(bool planar, int width, int height, const SampleFunction &value)
{
    std::shared_ptr<VideoFrameBuffer> buffer;
    if (planar) {
        auto yuv = I420Buffer::Create(width, height);
        std::uint8_t *data[] = {yuv->MutableDataY(), yuv->MutableDataU(), yuv->MutableDataV()};
        const int strides[] = {yuv->StrideY(), yuv->StrideU(), yuv->StrideV()};
        for (int p = 0; p < 3; ++p) {
            const int w = p == 0 ? width : yuv->ChromaWidth();
            const int h = p == 0 ? height : yuv->ChromaHeight();
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    data[p][y * strides[p] + x] = std::uint8_t(value(p, x, y));
                }
            }
        }
        buffer = yuv;
    } else {
        auto rgb = RGB24Buffer::Create(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 3 * width; ++x) {
                rgb->MutableData()[y * rgb->Stride() + x] = std::uint8_t(value(x % 3, x / 3, y));
            }
        }
        buffer = rgb;
    }
    return VideoFrame(buffer, 1234);
}
