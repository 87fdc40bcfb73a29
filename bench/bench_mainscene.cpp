// The live picture with 1,000 measured shapes drawn over it against the same picture with none:
// 4K frames shown per second, so that a drawing-heavy scene does not slow the live view.

#include "base.h"
#include "i420buffer.h"
#include "mainscene.h"
#include "videowidget.h"
#include "graphicsview.h"

#include "benchutil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <vector>

namespace {

constexpr int kShapes = 1000;
constexpr int kRuns = 5;
constexpr int kRunMs = 2000;

VideoFrame makeFrame(int width, int height, int shift)
{
    auto buffer = I420Buffer::Create(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = buffer->MutableDataY() + std::ptrdiff_t(y) * buffer->StrideY();
        for (int x = 0; x < width; ++x)
            row[x] = std::uint8_t(16 + (x * 200 / width + shift) % 220);
    }
    for (int y = 0; y < buffer->ChromaHeight(); ++y) {
        std::fill_n(buffer->MutableDataU() + std::ptrdiff_t(y) * buffer->StrideU(), buffer->ChromaWidth(), 128);
        std::fill_n(buffer->MutableDataV() + std::ptrdiff_t(y) * buffer->StrideV(), buffer->ChromaWidth(), 128);
    }
    return VideoFrame(buffer, 1);
}

// Frames handed to the pane as fast as the event loop takes them, for kRunMs: shown per second.
double shownFps(VideoWidget &pane, const VideoFrame (&frames)[2])
{
    int next = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] { pane.onFrame(frames[++next % 2]); });
    feed.start(0);
    const int before = pane.shownFrames();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kRunMs)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    feed.stop();
    return (pane.shownFrames() - before) * 1000.0 / double(clock.elapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const VideoFrame frames[2] = {makeFrame(3840, 2160, 0), makeFrame(3840, 2160, 9)};
    VideoWidget pane;
    pane.resize(1280, 720);
    pane.show();
    pane.onFrame(frames[0]);

    MainScene drawn;
    std::vector<std::unique_ptr<Base>> shapes;
    const DrawType kinds[] = {DrawType::Line, DrawType::Cir, DrawType::Rect, DrawType::Poly, DrawType::ThreeAng};
    for (int i = 0; i < kShapes; ++i) {
        auto tool = std::make_unique<Base>(kinds[i % 5], &drawn, 1, QMap<DrawProperty, QVariant>());
        const QPointF at((i * 37) % 3700 + 50, (i * 53) % 2000 + 50);
        tool->addPoint(at);
        tool->moveLast(at + QPointF(60, 10));
        tool->addPoint(at + QPointF(60, 10));
        tool->moveLast(at + QPointF(20, 70));
        shapes.push_back(std::move(tool));
    }
    const auto withShapes = [&] { pane.graphicsView()->replaceScene(&drawn); };
    const auto without = [&] { pane.graphicsView()->replaceScene(nullptr); };

    std::vector<double> loaded, empty;
    for (int run = 0; run < kRuns + 1; ++run) {
        without();
        const double bare = shownFps(pane, frames);
        withShapes();
        const double full = shownFps(pane, frames);
        if (run > 0) { // the first round warms up
            empty.push_back(bare);
            loaded.push_back(full);
        }
    }
    without();
    BenchUtil::printFigure("live_4k_shown_fps_1000_shapes", BenchUtil::median(loaded), "fps", "live_4k_shown_fps_no_shapes",
                           BenchUtil::median(empty));
    return 0;
}
