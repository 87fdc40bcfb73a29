// The software corrections checked byte for byte on small synthetic frames, and the
// measurements (black balance, flat-field capture, histograms) driven through the worker's
// request and answer signals.
#include "ffcaverageframe.h"
#include "frameconversion.h"
#include "i420buffer.h"
#include "imageprocess.h"
#include "pixelcorrector.h"
#include "rgb24buffer.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <array>
#include <cmath>
#include <vector>

using Pixel = std::array<int, 3>;
using Pixels = std::vector<Pixel>;

namespace {

// A width x height RGB24 frame with padded rows, filled row by row from pixels.
VideoFrame rgbFrame(int width, int height, const Pixels &pixels, std::int64_t timestamp = 0)
{
    auto buffer = RGB24Buffer::Create(width, height, RGB24Buffer::strideFor(width) + 8);
    for (int i = 0; i < width * height; ++i) {
        std::uint8_t *p = buffer->MutableData() + (i / width) * buffer->Stride() + 3 * (i % width);
        for (int c = 0; c < 3; ++c) {
            p[c] = std::uint8_t(pixels[std::size_t(i)][std::size_t(c)]);
        }
    }
    return VideoFrame(buffer, timestamp);
}

VideoFrame uniformFrame(int width, int height, const Pixel &pixel)
{
    return rgbFrame(width, height, Pixels(std::size_t(width) * height, pixel));
}

Pixels pixelsOf(const VideoFrame &frame)
{
    Pixels out;
    const auto buffer = frame.videoFrameBuffer();
    if (!buffer || buffer->type() != VideoFrameBuffer::Type::kRGB24) {
        return out;
    }
    const auto &rgb = static_cast<const RGB24BufferInterface &>(*buffer);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const std::uint8_t *p = rgb.Data() + y * rgb.Stride() + 3 * x;
            out.push_back({p[0], p[1], p[2]});
        }
    }
    return out;
}

// Captures a one-frame flat-field reference, which also sets its channel means.
void captureReference(ImageProcess &process, const VideoFrame &reference)
{
    process.onStartFFCCapture(1);
    process.onRecvVideoFrameForProcess(reference);
}

} // namespace

Q_DECLARE_METATYPE(Pixel)
Q_DECLARE_METATYPE(Pixels)

class TestImageProcess : public QObject
{
    Q_OBJECT

private slots:
    void passesFrameThroughWithoutCorrections()
    {
        ImageProcess process;
        const VideoFrame rgb = uniformFrame(4, 2, {1, 2, 3});
        auto planar = I420Buffer::Create(4, 2);
        const VideoFrame yuv(planar, 7);
        QCOMPARE(process.process(rgb).videoFrameBuffer(), rgb.videoFrameBuffer());
        QCOMPARE(process.process(yuv).videoFrameBuffer(), yuv.videoFrameBuffer());
        // Offsets of 0 or below do not count as a correction.
        process.onSetBlackBalance(0, -5, 0);
        QCOMPARE(process.process(rgb).videoFrameBuffer(), rgb.videoFrameBuffer());
    }

    void pointCorrections_data()
    {
        QTest::addColumn<Pixel>("blackBalance");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QVector<HistogramBoundaryInfo>>("levels"); // empty: levels off
        QTest::addColumn<Pixels>("input");
        QTest::addColumn<Pixels>("expected");

        const QVector<HistogramBoundaryInfo> off;
        const QVector<HistogramBoundaryInfo> from50To200{{0, 50, 200}, {1, 50, 200}, {2, 50, 200}};
        QTest::newRow("blackBalanceRedOffset")
            << Pixel{10, 0, 0} << false << off << Pixels{{5, 20, 30}, {10, 11, 0}} << Pixels{{0, 20, 30}, {0, 11, 0}};
        QTest::newRow("blackBalanceEveryChannel")
            << Pixel{10, 20, 255} << false << off << Pixels{{11, 21, 255}} << Pixels{{1, 1, 0}};
        QTest::newRow("negative") << Pixel{0, 0, 0} << true << off << Pixels{{0, 128, 255}} << Pixels{{255, 127, 0}};
        QTest::newRow("levels50To200") << Pixel{0, 0, 0} << false << from50To200
                                       << Pixels{{50, 125, 200}, {220, 49, 51}} << Pixels{{0, 127, 255}, {255, 0, 1}};
        QTest::newRow("levelsEqualBoundsZeroTheChannel")
            << Pixel{0, 0, 0} << false << QVector<HistogramBoundaryInfo>{{0, 100, 100}} << Pixels{{100, 100, 7}}
            << Pixels{{0, 100, 7}};
        QTest::newRow("levelsChannelWithoutEntryKeepsFullRange")
            << Pixel{0, 0, 0} << false << QVector<HistogramBoundaryInfo>{{2, 0, 127}} << Pixels{{90, 90, 90}}
            << Pixels{{90, 90, 180}};
        // 100 - 20 = 80, negative 175, levels 100..200: 75 / 100 * 255 = 191.25.
        QTest::newRow("blackBalanceThenNegativeThenLevels")
            << Pixel{20, 0, 0} << true << QVector<HistogramBoundaryInfo>{{0, 100, 200}} << Pixels{{100, 0, 255}}
            << Pixels{{191, 255, 0}};
    }

    void pointCorrections()
    {
        QFETCH(Pixel, blackBalance);
        QFETCH(bool, negative);
        QFETCH(QVector<HistogramBoundaryInfo>, levels);
        QFETCH(Pixels, input);
        QFETCH(Pixels, expected);

        ImageProcess process;
        process.onSetBlackBalance(blackBalance[0], blackBalance[1], blackBalance[2]);
        process.onSetNegative(negative);
        if (!levels.isEmpty()) {
            process.onSetHistogramBoundaries(levels);
            process.onSetHistogramStatus(true);
        }
        const VideoFrame frame = rgbFrame(int(input.size()), 1, input, 1234);
        const VideoFrame out = process.process(frame);
        QVERIFY(out.videoFrameBuffer() != frame.videoFrameBuffer());
        QCOMPARE(out.timestampUs(), std::int64_t(1234));
        QCOMPARE(pixelsOf(out), expected);
        QCOMPARE(pixelsOf(frame), input); // the input buffer is never written
    }

    void planarInputIsConvertedThenCorrected()
    {
        // Odd sizes and more rows than one conversion strip.
        const int width = 37;
        const int height = 35;
        auto planar = I420Buffer::Create(width, height);
        for (int i = 0; i < planar->Size(); ++i) {
            planar->MutableDataY()[i] = std::uint8_t(i * 13 + i / 7);
        }
        const VideoFrame frame(planar, 99);
        ImageProcess process;
        process.onSetNegative(true);
        const VideoFrame out = process.process(frame);
        QCOMPARE(out.timestampUs(), std::int64_t(99));
        const QImage reference = videoFrameToQImage(frame);
        const Pixels pixels = pixelsOf(out);
        QCOMPARE(int(pixels.size()), width * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const QRgb rgb = reference.pixel(x, y);
                const Pixel want{255 - qRed(rgb), 255 - qGreen(rgb), 255 - qBlue(rgb)};
                QCOMPARE(pixels[std::size_t(y * width + x)], want);
            }
        }
    }

    void flatField_data()
    {
        QTest::addColumn<Pixels>("loadedReference"); // empty: keep the captured one
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<Pixels>("input");
        QTest::addColumn<Pixels>("expected");

        // The captured reference (100, 50, 200), (50, 150, 100) has the channel means 75, 100, 150.
        QTest::newRow("scaledByMeanOverReference")
            << Pixels() << QSize(2, 1) << Pixels{{100, 100, 100}, {100, 100, 100}}
            << Pixels{{75, 200, 75}, {150, 66, 150}};
        QTest::newRow("clampedAt255") << Pixels() << QSize(2, 1) << Pixels{{250, 200, 255}, {0, 255, 255}}
                                      << Pixels{{187, 255, 191}, {0, 170, 255}};
        QTest::newRow("samePixelCountOtherShape") << Pixels() << QSize(1, 2) << Pixels{{100, 100, 100}, {100, 100, 100}}
                                                  << Pixels{{75, 200, 75}, {150, 66, 150}};
        QTest::newRow("otherSizeLeftUncorrected") << Pixels() << QSize(3, 1) << Pixels{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}
                                                  << Pixels{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
        // A loaded reference keeps the captured means; a zero reference byte gives 0.
        QTest::newRow("loadedReferenceWithZero")
            << Pixels{{0, 100, 50}, {75, 0, 150}} << QSize(2, 1) << Pixels{{100, 100, 100}, {100, 100, 0}}
            << Pixels{{0, 100, 255}, {100, 0, 0}};
    }

    void flatField()
    {
        QFETCH(Pixels, loadedReference);
        QFETCH(QSize, frameSize);
        QFETCH(Pixels, input);
        QFETCH(Pixels, expected);

        ImageProcess process;
        captureReference(process, rgbFrame(2, 1, {{100, 50, 200}, {50, 150, 100}}));
        if (!loadedReference.empty()) {
            process.onSetFFCAverageFrame(rgbFrame(2, 1, loadedReference));
        }
        process.onSetFFCStatus(true);
        QCOMPARE(pixelsOf(process.process(rgbFrame(frameSize.width(), frameSize.height(), input))), expected);
    }

    // Rows wider than a vector block (16 pixels at a time, then the tail) and rows of 11 pixels (a
    // word of eight bytes at a time, then single bytes) against the corrections applied one after
    // another in float; every input byte value appears, and a loaded reference brings zero bytes.
    void wideRows_data()
    {
        using Levels = QVector<HistogramBoundaryInfo>;
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("flatField"); // 0: off, 1: captured reference, 2: loaded reference with zeros
        QTest::addColumn<Pixel>("blackBalance");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<Levels>("levels");
        QTest::addColumn<bool>("sse2Only"); // the narrower vector path also where AVX2 is present
        const Levels all{{0, 15, 240}, {1, 0, 200}, {2, 60, 61}};
        for (const bool sse2Only : {false, true}) {
            const auto row = [&](const char *name, int width, int flatField, Pixel offsets, bool negative,
                                 const Levels &levels) {
                QTest::addRow("%s_%s", name, sse2Only ? "sse2" : "widest")
                    << width << flatField << offsets << negative << levels << sse2Only;
            };
            row("pointAllThree", 37, 0, {7, 0, 12}, true, {{0, 20, 230}, {1, 0, 255}, {2, 3, 250}});
            row("pointNarrowLevels", 37, 0, {0, 40, 0}, false, {{0, 100, 101}, {1, 17, 64}, {2, 200, 255}});
            row("pointBlackBalanceAndNegative", 37, 0, {255, 1, 128}, true, {});
            row("capturedReference", 53, 1, {0, 0, 0}, false, {});
            row("capturedReferenceThenAllStages", 53, 1, {9, 0, 30}, true, all);
            row("loadedReferenceWithZeros", 53, 2, {0, 0, 0}, false, {});
            row("loadedReferenceWithZerosThenAllStages", 53, 2, {9, 0, 30}, true, all);
            row("wordsThenBytes", 11, 1, {3, 0, 5}, false, {{1, 10, 240}});
        }
    }

    void wideRows()
    {
        QFETCH(int, width);
        QFETCH(int, flatField);
        QFETCH(Pixel, blackBalance);
        QFETCH(bool, negative);
        QFETCH(QVector<HistogramBoundaryInfo>, levels);
        QFETCH(bool, sse2Only);
        PixelCorrector::setAvx2Allowed(!sse2Only);
        const auto restore = qScopeGuard([] { PixelCorrector::setAvx2Allowed(true); });
        const int height = 7;
        const int count = width * height;
        Pixels captured, reference, input;
        std::array<double, 3> sums{0, 0, 0};
        for (int i = 0; i < count; ++i) {
            captured.push_back({1 + (i * 37) % 255, 1 + (i * 101 + 50) % 255, 1 + (255 - i % 256) % 255});
            input.push_back({i % 256, (i * 7 + 3) % 256, (i * 11 + 200) % 256});
            reference.push_back(flatField == 2 ? Pixel{(i * 13) % 256, (i * 29 + 7) % 256, (i * 3) % 256}
                                               : captured[i]);
            for (int c = 0; c < 3; ++c)
                sums[c] += captured[i][c];
        }
        ImageProcess process;
        if (flatField > 0) {
            captureReference(process, rgbFrame(width, height, captured));
            if (flatField == 2)
                process.onSetFFCAverageFrame(rgbFrame(width, height, reference));
            process.onSetFFCStatus(true);
        }
        process.onSetBlackBalance(blackBalance[0], blackBalance[1], blackBalance[2]);
        process.onSetNegative(negative);
        if (!levels.isEmpty()) {
            process.onSetHistogramBoundaries(levels);
            process.onSetHistogramStatus(true);
        }
        const Pixels out = pixelsOf(process.process(rgbFrame(width, height, input)));
        QCOMPARE(int(out.size()), count);
        const auto clampByte = [](float v) { return !std::isfinite(v) || v <= 0.f ? 0 : v >= 255.f ? 255 : int(v); };
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < 3; ++c) {
                int v = input[i][c];
                if (flatField > 0)
                    v = clampByte(float(v) * float(sums[c] / count) / float(reference[i][c]));
                v = v > blackBalance[c] ? v - blackBalance[c] : 0;
                if (negative)
                    v = 255 - v;
                for (const HistogramBoundaryInfo &b : levels) {
                    if (b.channel == c)
                        v = v <= b.lower   ? 0
                            : v >= b.upper ? 255
                                           : clampByte(float(v - b.lower) / float(b.upper - b.lower) * 255.f);
                }
                QVERIFY2(
                    out[i][c] == v,
                    qPrintable(QString("pixel %1 channel %2: %3, expected %4").arg(i).arg(c).arg(out[i][c]).arg(v)));
            }
        }
    }

    void flatFieldCaptureOfFourFrames()
    {
        ImageProcess process;
        QSignalSpy requests(&process, &ImageProcess::getVideoFrameForProcess);
        QSignalSpy numbers(&process, &ImageProcess::sendFFCCurrentCaptureNum);
        QSignalSpy averages(&process, &ImageProcess::sendFFCAverageFrame);

        process.onStartFFCCapture(4);
        QCOMPARE(requests.count(), 1);
        // Per byte over the four frames: sums 0 (stored as 1), 7 (1), 10 (2) and 1000 (250).
        const Pixels frames[4] = {
            {{0, 1, 0}, {250, 0, 0}}, {{0, 2, 5}, {250, 0, 0}}, {{0, 4, 5}, {250, 0, 0}}, {{0, 0, 0}, {250, 0, 0}}};
        for (const Pixels &pixels : frames) {
            process.onRecvVideoFrameForProcess(rgbFrame(2, 1, pixels));
        }
        QCOMPARE(requests.count(), 4);
        QCOMPARE(numbers.count(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(numbers.at(i).at(0).toInt(), i + 1);
        }
        QCOMPARE(averages.count(), 1);
        const auto average = averages.at(0).at(0).value<VideoFrame>();
        QCOMPARE(pixelsOf(average), (Pixels{{1, 1, 2}, {250, 1, 1}}));

        // Capture is over: further frames change nothing.
        process.onRecvVideoFrameForProcess(rgbFrame(2, 1, frames[0]));
        QCOMPARE(numbers.count(), 4);
        QCOMPARE(averages.count(), 1);
    }

    void blackBalanceMeasurement_data()
    {
        QTest::addColumn<bool>("regionEnabled");
        QTest::addColumn<QRect>("region");
        QTest::addColumn<QVariantList>("expected"); // empty: no result

        // The 4 x 2 test frame: red = 10 * column, green = 100 + 20 * row, blue = 7.
        QTest::newRow("wholeFrame") << false << QRect(-5, -5, 0, 0) << QVariantList{15, 110, 7};
        QTest::newRow("regionInside") << true << QRect(1, 1, 2, 1) << QVariantList{15, 120, 7};
        QTest::newRow("regionClippedAtFrameEdge") << true << QRect(2, 0, 100, 100) << QVariantList{25, 110, 7};
        QTest::newRow("regionOutsideFrame") << true << QRect(4, 0, 10, 10) << QVariantList();
        QTest::newRow("negativeOrigin") << true << QRect(-1, 0, 3, 2) << QVariantList();
        QTest::newRow("emptyRegion") << true << QRect(0, 0, 0, 2) << QVariantList();
    }

    void blackBalanceMeasurement()
    {
        QFETCH(bool, regionEnabled);
        QFETCH(QRect, region);
        QFETCH(QVariantList, expected);

        Pixels pixels;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                pixels.push_back({10 * x, 100 + 20 * y, 7});
            }
        }
        const VideoFrame frame = rgbFrame(4, 2, pixels);
        ImageProcess process;
        QSignalSpy results(&process, &ImageProcess::sendBlackBalance);
        process.onSetBlackBalanceRegion(regionEnabled, region.x(), region.y(), region.width(), region.height());
        process.onCalcBlackBalance();
        process.onRecvVideoFrameForProcess(frame);
        if (expected.isEmpty()) {
            QCOMPARE(results.count(), 0);
            QCOMPARE(process.process(frame).videoFrameBuffer(), frame.videoFrameBuffer());
            return;
        }
        QCOMPARE(results.count(), 1);
        QCOMPARE(results.at(0), expected);
        // The offsets apply to the following frames.
        const Pixel offsets{expected[0].toInt(), expected[1].toInt(), expected[2].toInt()};
        const Pixels corrected = pixelsOf(process.process(frame));
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                QCOMPARE(corrected[i][c], std::max(0, pixels[i][c] - offsets[c]));
            }
        }
    }

    void histogramsAndBoundariesOnFullHdFrame()
    {
        // 2,073,600 pixels: threshold 2073. 2072 black pixels and one of 5 put the lower bound
        // at 5; 2073 pixels of 250 put the upper bound at 250. The rest is grey 100.
        const int width = 1920;
        const int height = 1080;
        Pixels pixels(std::size_t(width) * height, Pixel{100, 100, 100});
        std::fill(pixels.begin(), pixels.begin() + 2072, Pixel{0, 0, 0});
        pixels[2072] = {5, 5, 5};
        std::fill(pixels.end() - 2073, pixels.end(), Pixel{250, 250, 250});

        ImageProcess process;
        QSignalSpy infos(&process, &ImageProcess::sendHistogramInfos);
        QSignalSpy boundaries(&process, &ImageProcess::sendHistogramBoundaries);
        process.onSetHistogramBoundaries({{0, 0, 255}, {2, 10, 20}});
        process.onCalcHistogramBoundariesOnce();
        process.onRecvVideoFrameForProcess(rgbFrame(width, height, pixels));

        QCOMPARE(infos.count(), 1);
        const auto channels = infos.at(0).at(0).value<QVector<HistogramChannelInfo>>();
        QCOMPARE(channels.size(), 3);
        const QVector<QPointF> expectedPoints{{0, 2072}, {5, 1}, {100, width * height - 2072 - 1 - 2073}, {250, 2073}};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(channels[c].channel, c);
            QCOMPARE(channels[c].points, expectedPoints);
        }
        QCOMPARE(boundaries.count(), 1);
        const auto result = boundaries.at(0).at(0).value<QVector<HistogramBoundaryInfo>>();
        QCOMPARE(result.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(result[i].channel, i == 0 ? 0 : 2);
            QCOMPARE(result[i].lower, 5);
            QCOMPARE(result[i].upper, 250);
        }

        // A second answer without a request does nothing; the stored list did not change.
        process.onRecvVideoFrameForProcess(rgbFrame(2, 1, {{0, 0, 0}, {0, 0, 0}}));
        QCOMPARE(infos.count(), 1);
        process.onSetHistogramStatus(true);
        QCOMPARE(pixelsOf(process.process(uniformFrame(1, 1, {15, 15, 15}))), (Pixels{{15, 15, 127}}));
    }

    void histogramIgnoresLevels()
    {
        ImageProcess process;
        process.onSetNegative(true);
        process.onSetHistogramBoundaries({{0, 100, 100}, {1, 100, 100}, {2, 100, 100}});
        process.onSetHistogramStatus(true);
        QSignalSpy infos(&process, &ImageProcess::sendHistogramInfos);
        QSignalSpy requests(&process, &ImageProcess::getVideoFrameForProcess);
        process.onActiveHistogramCalc();
        process.onActiveHistogramCalc(); // already pending: no second request
        QCOMPARE(requests.count(), 1);
        process.onRecvVideoFrameForProcess(rgbFrame(3, 1, {{0, 10, 20}, {0, 10, 30}, {255, 10, 30}}));
        QCOMPARE(infos.count(), 1);
        const auto channels = infos.at(0).at(0).value<QVector<HistogramChannelInfo>>();
        QCOMPARE(channels[0].points, (QVector<QPointF>{{0, 1}, {255, 2}}));
        QCOMPARE(channels[1].points, (QVector<QPointF>{{245, 3}}));
        QCOMPARE(channels[2].points, (QVector<QPointF>{{225, 2}, {235, 1}}));
        process.onActiveHistogramCalc(); // the request was cleared
        QCOMPARE(requests.count(), 2);
    }

    void histogramTimerRunsOnWorkerThread()
    {
        QThread thread;
        auto *process = new ImageProcess;
        process->moveToThread(&thread);
        connect(&thread, &QThread::finished, process, &QObject::deleteLater);
        thread.start();

        const VideoFrame frame = uniformFrame(2, 2, {1, 2, 3});
        // The owner's side: answer each request with a frame, as the camera does.
        connect(process, &ImageProcess::getVideoFrameForProcess, this, [process, frame] {
            QMetaObject::invokeMethod(process, "onRecvVideoFrameForProcess", Qt::QueuedConnection,
                                      Q_ARG(VideoFrame, frame));
        });
        QSignalSpy infos(process, &ImageProcess::sendHistogramInfos);
        QMetaObject::invokeMethod(process, "onCalcHistogramInfos", Qt::QueuedConnection, Q_ARG(bool, true),
                                  Q_ARG(HistogramChannel, HistogramChannel::Red),
                                  Q_ARG(HistogramDisplayMode, HistogramDisplayMode::Logarithmic));
        QTRY_VERIFY_WITH_TIMEOUT(infos.count() >= 2, 10000);
        const auto channels = infos.at(0).at(0).value<QVector<HistogramChannelInfo>>();
        QCOMPARE(channels[2].points, (QVector<QPointF>{{3, 4}}));

        QMetaObject::invokeMethod(process, "onCalcHistogramInfos", Qt::QueuedConnection, Q_ARG(bool, false),
                                  Q_ARG(HistogramChannel, HistogramChannel::All),
                                  Q_ARG(HistogramDisplayMode, HistogramDisplayMode::Linear));
        thread.quit();
        QVERIFY(thread.wait(10000));
    }

    void ffcFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("reference.ffc");
        const Pixels pixels{{1, 2, 3}, {40, 50, 60}, {255, 128, 1}, {9, 8, 7}, {0, 0, 0}, {100, 101, 102}};
        QVERIFY(saveFFCAverageFrame(rgbFrame(3, 2, pixels), path));
        const VideoFrame loaded = loadFFCAverageFrame(path);
        QCOMPARE(loaded.width(), 3);
        QCOMPARE(pixelsOf(loaded), pixels);
        QVERIFY(loadFFCAverageFrame(dir.filePath("missing.ffc")).isNull());
    }
};

QTEST_GUILESS_MAIN(TestImageProcess)
#include "tst_imageprocess.moc"
