// The renderer against the CPU corrections, in a real OpenGL context (Mesa under Xvfb).
#include "../frames/framesamples.h"
#include "frameconversion.h"
#include "imageprocess.h"
#include "renderer.h"
#include "shadersource.h"
#include "surfaceformat.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSignalSpy>
#include <QSurfaceFormat>
#include <QtTest>
#include <memory>

namespace {

enum Path { FullSize, Screen, Cpu }; // where the tested picture comes from

// Smooth gradients in every plane, so that the display's filtered chroma and the CPU's
// nearest chroma agree. An odd multiple of 2 as width gives padded rows in every plane.
VideoFrame gradientFrame(int width, int height, int brightness = 0)
{
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    return makeFrame(true, width, height, [=](int plane, int x, int y) {
        return plane == 0   ? std::clamp(30 + brightness + x * 180 / width + y * 20 / height, 0, 255)
               : plane == 1 ? 110 + y * 30 / chromaHeight
                            : 150 - x * 30 / chromaWidth;
    });
}

// A flat-field reference: brighter in the middle, a little different per channel.
VideoFrame makeReference(int width, int height)
{
    return makeFrame(false, width, height, [=](int channel, int x, int y) {
        return 220 - 10 * channel - std::abs(2 * x - width) * 40 / width - std::abs(2 * y - height) * 30 / height;
    });
}

const RGB24BufferInterface &packed(const VideoFrame &frame)
{
    return static_cast<const RGB24BufferInterface &>(*frame.videoFrameBuffer());
}

// Largest difference of any byte between two RGB frames of the same size; -1 when the sizes differ.
int maxDifference(const VideoFrame &a, const VideoFrame &b, QPoint *where = nullptr)
{
    if (a.isNull() || b.isNull() || a.width() != b.width() || a.height() != b.height()) {
        return -1;
    }
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t *ra = packed(a).Data() + std::ptrdiff_t(y) * packed(a).Stride();
        const std::uint8_t *rb = packed(b).Data() + std::ptrdiff_t(y) * packed(b).Stride();
        for (int x = 0; x < 3 * a.width(); ++x) {
            const int d = std::abs(int(ra[x]) - int(rb[x]));
            if (d > worst) {
                worst = d;
                if (where) {
                    *where = QPoint(x / 3, y);
                }
            }
        }
    }
    return worst;
}

// Number of pixels that differ inside rect.
int changedPixels(const VideoFrame &a, const VideoFrame &b, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const std::uint8_t *ra = packed(a).Data() + std::ptrdiff_t(y) * packed(a).Stride();
        const std::uint8_t *rb = packed(b).Data() + std::ptrdiff_t(y) * packed(b).Stride();
        for (int x = rect.left(); x <= rect.right(); ++x) {
            count += std::memcmp(ra + 3 * x, rb + 3 * x, 3) != 0;
        }
    }
    return count;
}

int meanByte(const VideoFrame &frame)
{
    std::int64_t sum = 0;
    for (int y = 0; y < frame.height(); ++y) {
        const std::uint8_t *row = packed(frame).Data() + std::ptrdiff_t(y) * packed(frame).Stride();
        for (int x = 0; x < 3 * frame.width(); ++x) {
            sum += row[x];
        }
    }
    return int(sum / (std::int64_t(3) * frame.width() * frame.height()));
}

} // namespace

Q_DECLARE_METATYPE(Path)

class TestRenderer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QSurfaceFormat format = videoSurfaceFormat(); // the program's own context
        m_surface.setFormat(format);
        m_surface.create();
        m_context.setFormat(format);
        QVERIFY(m_context.create());
        QVERIFY(m_context.makeCurrent(&m_surface));
        qInfo() << "GL_RENDERER" << reinterpret_cast<const char *>(m_context.functions()->glGetString(GL_RENDERER));
        QVERIFY(ShaderSource::contextGlslVersion() >= 130);
        m_context.doneCurrent();
    }

    void init()
    {
        m_renderer = std::make_unique<Renderer>(true, false);
        m_renderer->setContext(&m_context, &m_surface);
    }

    void cleanup() { m_renderer.reset(); }

    void correctionsMatchTheCpu_data()
    {
        QTest::addColumn<bool>("ffc");
        QTest::addColumn<int>("blackBalance");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<bool>("levels");
        QTest::addColumn<Path>("path");

        QTest::newRow("conversionOnly") << false << 0 << false << false << FullSize;
        QTest::newRow("flatField") << true << 0 << false << false << FullSize;
        QTest::newRow("blackBalance") << false << 12 << false << false << FullSize;
        QTest::newRow("negative") << false << 0 << true << false << FullSize;
        QTest::newRow("levels") << false << 0 << false << true << FullSize;
        QTest::newRow("allCombined") << true << 12 << true << true << FullSize;
        QTest::newRow("screenConversionOnly") << false << 0 << false << false << Screen;
        QTest::newRow("screenAllCombined") << true << 12 << true << true << Screen;
        QTest::newRow("cpuConversionOnly") << false << 0 << false << false << Cpu;
        QTest::newRow("cpuAllCombined") << true << 12 << true << true << Cpu;
    }

    void correctionsMatchTheCpu()
    {
        QFETCH(bool, ffc);
        QFETCH(int, blackBalance);
        QFETCH(bool, negative);
        QFETCH(bool, levels);
        QFETCH(Path, path);

        const int width = 318;
        const int height = 240;
        const VideoFrame frame = gradientFrame(width, height);
        const VideoFrame reference = makeReference(width, height);
        const QVector<HistogramBoundaryInfo> bounds{{0, 20, 235}, {1, 10, 240}, {2, 30, 220}};

        ImageProcess cpu;
        Renderer &gpu = *m_renderer;
        gpu.setCpuProcessing(path == Cpu);
        // Size the renderer first: a size change turns flat-field off.
        QVERIFY(!screen(gpu, frame).isNull());
        if (ffc) {
            cpu.onStartFFCCapture(1);
            cpu.onRecvVideoFrameForProcess(reference);
            cpu.onSetFFCStatus(true);
            gpu.onSetFFCAverageFrame(reference);
            gpu.onSetFFCStatus(true);
        }
        if (blackBalance > 0) {
            cpu.onSetBlackBalance(blackBalance, blackBalance + 2, blackBalance + 4);
            gpu.onSetBlackBalance(blackBalance / 255.f, (blackBalance + 2) / 255.f, (blackBalance + 4) / 255.f);
        }
        cpu.onSetNegative(negative);
        gpu.onSetNegative(negative);
        cpu.onSetHistogramBoundaries(bounds);
        cpu.onSetHistogramStatus(levels);
        gpu.onSetHistogramBoundaries(bounds, 255);
        gpu.onSetHistogramStatus(levels);

        VideoFrame expected = cpu.process(frame);
        if (expected.videoFrameBuffer()->type() != VideoFrameBuffer::Type::kRGB24) {
            // No correction on: the CPU hands the frame back unconverted.
            const QImage image = videoFrameToQImage(frame);
            expected = VideoFrame(RGB24Buffer::Copy(width, height, image.constBits(), image.bytesPerLine()), 0);
        }
        const VideoFrame actual = path == FullSize ? render(gpu, frame) : screen(gpu, frame);
        QCOMPARE(actual.width(), width);
        QCOMPARE(actual.height(), height);
        QPoint where;
        const int difference = maxDifference(actual, expected, &where);
        QVERIFY2(difference >= 0 && difference <= 2,
                 qPrintable(QStringLiteral("difference %1 at %2,%3").arg(difference).arg(where.x()).arg(where.y())));
    }

    void flatFieldOffOnSizeChange_data()
    {
        QTest::addColumn<QSize>("referenceSize");
        QTest::addColumn<bool>("turnedOff");
        QTest::newRow("referenceOfTheOldSize") << QSize(160, 120) << true;
        QTest::newRow("referenceOfTheNewSize") << QSize(200, 100) << false;
    }

    void flatFieldOffOnSizeChange()
    {
        QFETCH(QSize, referenceSize);
        QFETCH(bool, turnedOff);
        Renderer &gpu = *m_renderer;
        gpu.onFrame(gradientFrame(160, 120));
        gpu.onSetFFCAverageFrame(makeReference(referenceSize.width(), referenceSize.height()));
        gpu.onSetFFCStatus(true);
        QSignalSpy changed(&gpu, &Renderer::changeFFCStatus);
        const VideoFrame frame = gradientFrame(200, 100);
        const VideoFrame picture = render(gpu, frame);
        QCOMPARE(picture.size(), frame.size());
        QCOMPARE(changed.count(), turnedOff ? 1 : 0);
        if (turnedOff) {
            QCOMPARE(changed.first().first().toBool(), false);
        }
        // The same size again is no change.
        changed.clear();
        gpu.onFrame(frame);
        QCOMPARE(changed.count(), 0);
    }

    void blackBalanceBelowZeroKeepsThePreviousValue()
    {
        Renderer &gpu = *m_renderer;
        const VideoFrame frame = gradientFrame(160, 120);
        gpu.onSetBlackBalance(0.2f, 0.2f, 0.2f);
        const VideoFrame balanced = render(gpu, frame);
        gpu.onSetBlackBalance(-1.f, -0.5f, -0.01f);
        gpu.onSetBlackBalanceG(-1.f);
        QCOMPARE(maxDifference(render(gpu, frame), balanced), 0);
        gpu.onSetBlackBalance(0.f, 0.f, 0.f);
        QVERIFY(meanByte(render(gpu, frame)) > meanByte(balanced) + 30);
    }

    void watermarkTextChangesItsCorner_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QRect>("corner");   // where the text must land
        QTest::addColumn<QRect>("opposite"); // where it must not
        // 640 x 480: text scale 0.4, so 40 px text is 16 px high.
        QTest::newRow("fromBottomLeft") << 10.0 << 10.0 << QRect(0, 420, 200, 60) << QRect(440, 0, 200, 60);
        QTest::newRow("fromTopRight") << -10.0 << -10.0 << QRect(440, 0, 200, 60) << QRect(0, 420, 200, 60);
    }

    void watermarkTextChangesItsCorner()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QRect, corner);
        QFETCH(QRect, opposite);
        Renderer &gpu = *m_renderer;
        const VideoFrame frame = gradientFrame(640, 480);
        RenderTextInfo info;
        info.text = QStringLiteral("Lumora 2026");
        info.x = x;
        info.y = y;
        info.fontSize = 40;
        info.color = QColor(255, 0, 255);
        gpu.setWatermarkTexts({info});
        gpu.setWatermarkVisible(true);

        // The rendered picture has no text; the watermark read-back has it.
        const VideoFrame plain = render(gpu, frame);
        QSignalSpy watermarked(&gpu, &Renderer::sendWatermarkFrame);
        gpu.onGetWatermarkFrame();
        QCOMPARE(watermarked.count(), 1);
        const VideoFrame withText = watermarked.first().first().value<VideoFrame>();
        QVERIFY(changedPixels(plain, withText, corner) > 50);
        QCOMPARE(changedPixels(plain, withText, opposite), 0);
        QCOMPARE(changedPixels(plain, withText, QRect(200, 150, 240, 180)), 0);
    }

    void recordingReadBackIsOneFrameBehind()
    {
        Renderer &gpu = *m_renderer;
        QSignalSpy recorded(&gpu, &Renderer::sendFrameForRecording);
        gpu.onStartRecording();
        // Each picture keeps its camera timestamp, so the recording follows the camera's clock.
        const auto stamped = [](VideoFrame frame, std::int64_t us) {
            frame.setTimestampUs(us);
            return frame;
        };
        gpu.onFrame(stamped(gradientFrame(160, 120, -30), 1000));
        QCOMPARE(recorded.count(), 0); // nothing read before this call
        gpu.onFrame(stamped(gradientFrame(160, 120, 60), 2000));
        gpu.onFrame(stamped(gradientFrame(160, 120, 0), 3000));
        QCOMPARE(recorded.count(), 2);
        const VideoFrame first = recorded.at(0).first().value<VideoFrame>();
        const VideoFrame second = recorded.at(1).first().value<VideoFrame>();
        QVERIFY2(meanByte(second) > meanByte(first) + 40,
                 qPrintable(QStringLiteral("%1 %2").arg(meanByte(first)).arg(meanByte(second))));
        QCOMPARE(first.timestampUs(), 1000);
        QCOMPARE(second.timestampUs(), 2000);
        gpu.onStopRecording();
        gpu.onFrame(gradientFrame(160, 120));
        QCOMPARE(recorded.count(), 2);
    }

    void cpuModeAnswersAtOnce()
    {
        Renderer cpuMode(true, true);
        cpuMode.setContext(&m_context, &m_surface);
        cpuMode.onSetNegative(true);
        const VideoFrame frame = gradientFrame(160, 120);
        cpuMode.onFrame(frame);
        QSignalSpy rendered(&cpuMode, &Renderer::sendRenderedFrame);
        cpuMode.onGetRenderedFrame();
        QCOMPARE(rendered.count(), 1);
        ImageProcess cpu;
        cpu.onSetNegative(true);
        QCOMPARE(maxDifference(rendered.first().first().value<VideoFrame>(), cpu.process(frame)), 0);
    }

    void consumersComingAndGoingLoseNoAcknowledgement_data()
    {
        QTest::addColumn<bool>("cpu");
        QTest::newRow("graphicsCard") << false;
        QTest::newRow("cpu") << true;
    }

    void consumersComingAndGoingLoseNoAcknowledgement()
    {
        // A stream with one frame in flight: the next frame goes out on each acknowledgement.
        QFETCH(bool, cpu);
        Renderer &renderer = *m_renderer;
        renderer.setCpuProcessing(cpu);
        const VideoFrame frames[2] = {gradientFrame(320, 240), gradientFrame(320, 240, 40)};
        int sent = 1;
        QSignalSpy recorded(&renderer, &Renderer::sendFrameForRecording);
        connect(&renderer, &Renderer::renderDone, this, [&] {
            if (sent == 10 || sent == 30) {
                renderer.onStartRecording();
            } else if (sent == 20) {
                renderer.onStopRecording();
            }
            if (sent < 40) {
                ++sent;
                QMetaObject::invokeMethod(&renderer, "onFrame", Qt::QueuedConnection,
                                          Q_ARG(VideoFrame, frames[sent % 2]));
            }
        });
        QSignalSpy done(&renderer, &Renderer::renderDone);
        renderer.onFrame(frames[0]);
        QTRY_COMPARE(done.count(), 40);
        QVERIFY(recorded.count() >= 10);
    }

    void acknowledgesEveryFrame()
    {
        // Acknowledged whether or not anything could be drawn, so the stream never waits on it.
        Renderer unattached(true, false);
        QSignalSpy doneUnattached(&unattached, &Renderer::renderDone);
        unattached.onFrame(gradientFrame(64, 48));
        QCOMPARE(doneUnattached.count(), 1);

        Renderer &gpu = *m_renderer;
        QSignalSpy done(&gpu, &Renderer::renderDone);
        gpu.onFrame(gradientFrame(64, 48));
        gpu.onFrame(VideoFrame());
        QCOMPARE(done.count(), 2);
        QVERIFY(gpu.isReady());
        QCOMPARE(gpu.frameSize(), QSize(64, 48));

        // With no correction to do, frames are not held back for the CPU worker.
        gpu.setCpuProcessing(true);
        gpu.onFrame(gradientFrame(64, 48));
        gpu.onFrame(gradientFrame(64, 48, 40));
        QCOMPARE(done.count(), 4);
    }

private:
    // The picture as the screen gets it, drawn at its own size.
    VideoFrame screen(Renderer &renderer, const VideoFrame &frame)
    {
        QSignalSpy changed(&renderer, &Renderer::pictureChanged);
        renderer.onFrame(frame);
        if (!changed.count() && !changed.wait(5000)) {
            return {};
        }
        m_context.makeCurrent(&m_surface);
        QOpenGLFramebufferObject target(frame.width(), frame.height());
        target.bind();
        m_context.functions()->glViewport(0, 0, frame.width(), frame.height());
        renderer.drawScreen(QRectF(0, 0, 1, 1));
        const QImage image = target.toImage().convertToFormat(QImage::Format_RGB888);
        m_context.doneCurrent();
        return VideoFrame(RGB24Buffer::Copy(image.width(), image.height(), image.constBits(), image.bytesPerLine()), 0);
    }

    VideoFrame render(Renderer &renderer, const VideoFrame &frame)
    {
        QSignalSpy rendered(&renderer, &Renderer::sendRenderedFrame);
        renderer.onGetRenderedFrame();
        renderer.onFrame(frame);
        if (rendered.count() != 1) {
            return {};
        }
        return rendered.first().first().value<VideoFrame>();
    }

    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    std::unique_ptr<Renderer> m_renderer;
};

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
