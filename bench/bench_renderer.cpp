// The live display's renderer: frames drawn with every correction on and read back (as when
// recording) per second, at 1080p and 4K, against the CPU corrections of the same frame in the
// same run; and the share of frames a 60 fps source loses to a display that acknowledges each
// frame once drawn (one frame in flight, as the acquisition thread sends them).
// Needs an OpenGL context: run under X (Xvfb with Mesa gives llvmpipe) or any platform plugin
// that offers one.
#include "surfaceformat.h"
#include "i420buffer.h"
#include "imageprocess.h"
#include "renderer.h"
#include "rgb24buffer.h"

#include "benchutil.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kRuns = 9;
constexpr int kFramesPerRun = 10;

VideoFrame makeFrame(int width, int height, int shift)
{
    auto buffer = I420Buffer::Create(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = buffer->MutableDataY() + std::ptrdiff_t(y) * buffer->StrideY();
        for (int x = 0; x < width; ++x) {
            row[x] = std::uint8_t(16 + (x * 200 / width + (x ^ y) % 17 + shift) % 220);
        }
    }
    for (int y = 0; y < buffer->ChromaHeight(); ++y) {
        for (int x = 0; x < buffer->ChromaWidth(); ++x) {
            buffer->MutableDataU()[std::ptrdiff_t(y) * buffer->StrideU() + x] = std::uint8_t(100 + y * 50 / height);
            buffer->MutableDataV()[std::ptrdiff_t(y) * buffer->StrideV() + x] = std::uint8_t(140 - x * 30 / width);
        }
    }
    return VideoFrame(buffer, 1);
}

VideoFrame makeReference(int width, int height)
{
    auto buffer = RGB24Buffer::Create(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = buffer->MutableData() + std::ptrdiff_t(y) * buffer->Stride();
        for (int x = 0; x < width; ++x) {
            const int fall = (std::abs(2 * x - width) * 30 / width + std::abs(2 * y - height) * 20 / height);
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = std::uint8_t(220 - fall);
        }
    }
    return VideoFrame(buffer, 0);
}

// Every correction on, in both the renderer and the CPU worker.
void configure(Renderer &renderer, ImageProcess &cpu, const VideoFrame &reference)
{
    const QVector<HistogramBoundaryInfo> bounds{{0, 10, 240}, {1, 20, 230}, {2, 5, 250}};
    renderer.onSetFFCAverageFrame(reference);
    renderer.onSetFFCStatus(true);
    renderer.onSetBlackBalance(6 / 255.f, 4 / 255.f, 8 / 255.f);
    renderer.onSetNegative(true);
    renderer.onSetHistogramBoundaries(bounds, 255);
    renderer.onSetHistogramStatus(true);
    cpu.onStartFFCCapture(1);
    cpu.onRecvVideoFrameForProcess(reference);
    cpu.onSetFFCStatus(true);
    cpu.onSetBlackBalance(6, 4, 8);
    cpu.onSetNegative(true);
    cpu.onSetHistogramBoundaries(bounds);
    cpu.onSetHistogramStatus(true);
}

void drawAndReadBack(QOpenGLContext &context, QOffscreenSurface &surface, int width, int height,
                     const std::string &label)
{
    Renderer renderer(true, false);
    renderer.setContext(&context, &surface);
    ImageProcess cpu;
    const VideoFrame frames[2] = {makeFrame(width, height, 0), makeFrame(width, height, 7)};
    renderer.onFrame(frames[0]); // sizes the frame buffer; a size change turns flat-field off
    configure(renderer, cpu, makeReference(width, height));
    renderer.onStartRecording();
    int recorded = 0;
    QObject::connect(&renderer, &Renderer::sendFrameForRecording, [&recorded](const VideoFrame &) { ++recorded; });

    int next = 0;
    const auto draw = [&] {
        for (int i = 0; i < kFramesPerRun; ++i) {
            renderer.onFrame(frames[next++ % 2]);
        }
    };
    const auto process = [&] {
        for (int i = 0; i < kFramesPerRun; ++i) {
            if (cpu.process(frames[i % 2]).isNull()) {
                std::abort();
            }
        }
    };
    std::vector<double> drawMs;
    std::vector<double> cpuMs;
    for (int run = 0; run < kRuns + 1; ++run) {
        const double c = BenchUtil::millisecondsOf(process);
        const double d = BenchUtil::millisecondsOf(draw);
        if (run > 0) {
            cpuMs.push_back(c);
            drawMs.push_back(d);
        }
    }
    if (recorded == 0) {
        std::fprintf(stderr, "bench_renderer: nothing was read back\n");
        std::abort();
    }
    const double drawFps = 1000.0 * kFramesPerRun / BenchUtil::median(drawMs);
    const double cpuFps = 1000.0 * kFramesPerRun / BenchUtil::median(cpuMs);
    BenchUtil::printFigure("render_readback_fps_" + label, drawFps, "fps", "imageprocess_fps_" + label, cpuFps);
}

// A 60 fps source on its own thread; a frame is sent only while none is in flight, the rest
// are dropped, as the acquisition thread does against a busy display.
void dropShareAt60Fps(QOpenGLContext &context, QOffscreenSurface &surface, int width, int height,
                      const std::string &label)
{
    Renderer renderer(true, false);
    renderer.setContext(&context, &surface);
    ImageProcess cpu;
    const VideoFrame frame = makeFrame(width, height, 0);
    renderer.onFrame(frame);
    configure(renderer, cpu, makeReference(width, height));
    renderer.onStartRecording();

    std::atomic<bool> inFlight{false};
    std::atomic<bool> stop{false};
    QObject::connect(&renderer, &Renderer::renderDone, [&inFlight] { inFlight = false; });
    int offered = 0;
    int dropped = 0;
    std::thread source([&] {
        const auto period = std::chrono::microseconds(16667);
        auto due = std::chrono::steady_clock::now();
        while (!stop) {
            due += period;
            std::this_thread::sleep_until(due);
            ++offered;
            bool expected = false;
            if (inFlight.compare_exchange_strong(expected, true)) {
                QMetaObject::invokeMethod(&renderer, "onFrame", Qt::QueuedConnection, Q_ARG(VideoFrame, frame));
            } else {
                ++dropped;
            }
        }
    });
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    stop = true;
    source.join();
    QCoreApplication::processEvents();
    BenchUtil::printFigure("render_dropped_frames_60fps_" + label, dropped, "frames", "offered_frames_60fps_" + label,
                           offered);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QSurfaceFormat format = videoSurfaceFormat();
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (!context.create() || !context.makeCurrent(&surface)) {
        std::fprintf(stderr, "bench_renderer: no OpenGL context (run it under X, e.g. xvfb-run)\n");
        return 1;
    }
    std::printf("# OpenGL renderer: %s\n",
                reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER)));
    context.doneCurrent();

    drawAndReadBack(context, surface, 1920, 1080, "1080p");
    drawAndReadBack(context, surface, 3840, 2160, "4k");
    dropShareAt60Fps(context, surface, 1920, 1080, "1080p");
    dropShareAt60Fps(context, surface, 3840, 2160, "4k");
    return 0;
}
