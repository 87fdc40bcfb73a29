// ImageProcess::process() at 3840x2160 with every correction on (flat-field, black balance,
// negative, levels), against one I420 to RGB24 conversion of the same frame measured in the
// same run (alternating, so both see the same machine load).
#include "frameconversion.h"
#include "i420buffer.h"
#include "imageprocess.h"
#include "rgb24buffer.h"

#include "benchutil.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {


constexpr int kRuns = 21;
constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

// A camera-like picture: smooth gradients with some texture in every plane.
VideoFrame makeFrame()
{
    auto buffer = I420Buffer::Create(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            buffer->MutableDataY()[y * buffer->StrideY() + x] = std::uint8_t(16 + (x * 200 / kWidth + (x ^ y) % 17));
        }
    }
    for (int y = 0; y < buffer->ChromaHeight(); ++y) {
        for (int x = 0; x < buffer->ChromaWidth(); ++x) {
            buffer->MutableDataU()[y * buffer->StrideU() + x] = std::uint8_t(100 + (y * 50 / kHeight));
            buffer->MutableDataV()[y * buffer->StrideV() + x] = std::uint8_t(140 - (x * 30 / kWidth));
        }
    }
    return VideoFrame(buffer, 1);
}

// A vignetted flat-field reference: bright centre, darker corners.
VideoFrame makeReference()
{
    auto buffer = RGB24Buffer::Create(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t *row = buffer->MutableData() + std::ptrdiff_t(y) * buffer->Stride();
        const int dy = y - kHeight / 2;
        for (int x = 0; x < kWidth; ++x) {
            const int dx = x - kWidth / 2;
            const int fall = int((std::int64_t(dx) * dx + std::int64_t(dy) * dy) / 80000);
            const int value = std::max(40, 230 - fall);
            row[3 * x] = std::uint8_t(value);
            row[3 * x + 1] = std::uint8_t(std::max(1, value - 10));
            row[3 * x + 2] = std::uint8_t(std::max(1, value - 20));
        }
    }
    return VideoFrame(buffer, 0);
}


} // namespace

int main()
{
    const VideoFrame frame = makeFrame();
    const auto convert = [&frame] {
        const QImage image = videoFrameToQImage(frame);
        if (image.isNull()) {
            std::abort();
        }
    };

    ImageProcess process;
    // A one-frame capture sets the reference and its channel means.
    process.onStartFFCCapture(1);
    process.onRecvVideoFrameForProcess(makeReference());
    process.onSetFFCStatus(true);
    process.onSetBlackBalance(6, 4, 8);
    process.onSetNegative(true);
    process.onSetHistogramBoundaries({{0, 10, 240}, {1, 20, 230}, {2, 5, 250}});
    process.onSetHistogramStatus(true);
    const auto run = [&process, &frame] {
        if (process.process(frame).videoFrameBuffer() == frame.videoFrameBuffer()) {
            std::abort();
        }
    };
    BenchUtil::compareMedians("imageprocess_all_4k_i420", run, "i420_to_rgb24_4k", convert, kRuns);

    // Without the flat-field stage: one per-channel table.
    process.onSetFFCStatus(false);
    BenchUtil::compareMedians("imageprocess_no_ffc_4k_i420", run, "i420_to_rgb24_4k", convert, kRuns);
    return 0;
}
