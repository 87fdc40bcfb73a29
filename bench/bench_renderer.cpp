// The live display's renderer, on the path the display picks for this machine (CPU corrections
// on a software rasteriser): whole corrected pictures with every correction on delivered to a
// consumer (as when recording) per second, at 1080p and 4K, against the CPU corrections of the
// same frame in the same run; and the share of frames a 60 fps source loses to a display that
// acknowledges each frame (one frame in flight, as the acquisition thread sends them).
// Needs an OpenGL context: run under X (Xvfb with Mesa gives llvmpipe) or any platform plugin
// that offers one.
#include "i420buffer.h"
#include "imageprocess.h"
#include "renderer.h"
#include "rgb24buffer.h"
#include "surfaceformat.h"

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

// Frames sent one in flight, the next on each acknowledgement, for a while; returns the
// pictures the consumer got per second.
double consumerFps(Renderer &renderer, const VideoFrame (&frames)[2], int ms)
{
    int recorded = 0;
    int next = 0;
    bool running = true;
    const auto recordedConnection =
        QObject::connect(&renderer, &Renderer::sendFrameForRecording, [&recorded](const VideoFrame &) { ++recorded; });
    const auto doneConnection = QObject::connect(&renderer, &Renderer::renderDone, [&] {
        if (running) {
            QMetaObject::invokeMethod(&renderer, "onFrame", Qt::QueuedConnection,
                                      Q_ARG(VideoFrame, frames[++next % 2]));
        }
    });
    QElapsedTimer clock;
    clock.start();
    renderer.onFrame(frames[0]);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    const double fps = recorded * 1000.0 / double(clock.elapsed());
    running = false;
    // Let the last frame out of the worker before the next round.
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(recordedConnection);
    QObject::disconnect(doneConnection);
    return fps;
}

void drawAndReadBack(QOpenGLContext &context, QOffscreenSurface &surface, bool cpuPath, int width, int height,
                     const std::string &label)
{
    Renderer renderer(true, cpuPath);
    renderer.setContext(&context, &surface);
    ImageProcess cpu;
    const VideoFrame frames[2] = {makeFrame(width, height, 0), makeFrame(width, height, 7)};
    renderer.onFrame(frames[0]); // sizes the frame buffer; a size change turns flat-field off
    configure(renderer, cpu, makeReference(width, height));
    renderer.onStartRecording();

    const auto process = [&] {
        for (int i = 0; i < kFramesPerRun; ++i) {
            if (cpu.process(frames[i % 2]).isNull()) {
                std::abort();
            }
        }
    };
    std::vector<double> drawFps;
    std::vector<double> cpuFps;
    for (int run = 0; run < kRuns; ++run) {
        cpuFps.push_back(1000.0 * kFramesPerRun / BenchUtil::millisecondsOf(process));
        drawFps.push_back(consumerFps(renderer, frames, 1000));
    }
    if (BenchUtil::median(drawFps) <= 0) {
        std::fprintf(stderr, "bench_renderer: nothing was read back\n");
        std::abort();
    }
    BenchUtil::printFigure("render_readback_fps_" + label, BenchUtil::median(drawFps), "fps",
                           "imageprocess_fps_" + label, BenchUtil::median(cpuFps));
}

// A 60 fps source on its own thread; a frame is sent only while none is in flight, the rest
// are dropped, as the acquisition thread does against a busy display.
void dropShareAt60Fps(QOpenGLContext &context, QOffscreenSurface &surface, bool cpuPath, int width, int height,
                      const std::string &label)
{
    Renderer renderer(true, cpuPath);
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
    const QByteArray glRenderer(reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER)));
    context.doneCurrent();
    const bool cpuPath = Renderer::isSoftwareRasterizer(glRenderer);
    std::printf("# OpenGL renderer: %s; corrections on the %s\n", glRenderer.constData(),
                cpuPath ? "CPU" : "graphics card");

    drawAndReadBack(context, surface, cpuPath, 1920, 1080, "1080p");
    drawAndReadBack(context, surface, cpuPath, 3840, 2160, "4k");
    dropShareAt60Fps(context, surface, cpuPath, 1920, 1080, "1080p");
    dropShareAt60Fps(context, surface, cpuPath, 3840, 2160, "4k");
    return 0;
}
