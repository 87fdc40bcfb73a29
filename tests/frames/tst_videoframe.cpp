// Layout of the owning buffers, frame values, crop and rotation of both buffer kinds.
#include "alignedalloc.h"
#include "frameconversion.h"
#include "framesamples.h"

#include <QVariant>
#include <QtTest>
#include <cstring>

namespace {

bool isAligned(const void *ptr, std::uintptr_t alignment)
{
    return reinterpret_cast<std::uintptr_t>(ptr) % alignment == 0;
}

// Samples vary with position in every direction, so a misplaced sample is visible.
int pattern(int plane, int x, int y)
{
    return (101 * plane + 7 * x + 31 * y) & 0xff;
}

using SourceMap = std::function<QPoint(int plane, int x, int y)>;

// Every sample of result must be the pattern's sample at from(plane, x, y).
void compareWithPattern(const VideoFrame &result, const SourceMap &from)
{
    for (int p = 0; p < 3; ++p) {
        const QSize size = planeSize(result, p);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QPoint source = from(p, x, y);
                QVERIFY2(sampleAt(result, p, x, y) == pattern(p, source.x(), source.y()),
                         qPrintable(QStringLiteral("plane %1 at %2,%3").arg(p).arg(x).arg(y)));
            }
        }
    }
}

// A buffer of neither kind, for the "other type" paths.
class OtherBuffer : public VideoFrameBuffer
{
public:
    explicit OtherBuffer(int width) : m_width(width) {}
    Type type() const override { return static_cast<Type>(2); }
    int width() const override { return m_width; }
    int height() const override { return 4; }
    std::shared_ptr<I420BufferInterface> ToI420() override { return nullptr; }

private:
    int m_width;
};

} // namespace

class TestVideoFrame : public QObject
{
    Q_OBJECT

private slots:
    void alignedBlocks_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("valid");
        QTest::newRow("zeroSize") << 0 << 64 << false;
        QTest::newRow("alignmentNotPowerOfTwo") << 16 << 48 << false;
        QTest::newRow("alignmentBelowStoredAddress") << 1 << 4 << true;
        QTest::newRow("frameAlignment") << 12 << 64 << true;
        QTest::newRow("pageAlignment") << 5000 << 4096 << true;
    }

    void alignedBlocks()
    {
        QFETCH(int, size);
        QFETCH(int, alignment);
        QFETCH(bool, valid);
        for (int round = 0; round < 8; ++round) { // several blocks, so malloc hands out different offsets
            void *block = alignedAlloc(std::size_t(size), std::size_t(alignment));
            QCOMPARE(block != nullptr, valid);
            if (block) {
                QVERIFY(isAligned(block, std::uintptr_t(alignment)));
                std::memset(block, 0xA5, std::size_t(size)); // the whole block is usable
            }
            alignedFree(block);
        }
    }

    void layout_data()
    {
        QTest::addColumn<bool>("planar");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QVector<int>>("strides"); // Y, U, V or the packed row
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("i420_onePixel") << true << QSize(1, 1) << QVector<int>{4, 4, 4} << qint64(12);
        QTest::newRow("i420_oddSides") << true << QSize(5, 3) << QVector<int>{8, 4, 4} << qint64(40);
        QTest::newRow("i420_oddChromaWidth")
            << true << QSize(641, 481) << QVector<int>{644, 324, 324} << qint64(644 * 481 + 2 * 324 * 241);
        QTest::newRow("i420_fullHd") << true << QSize(1920, 1080) << QVector<int>{1920, 960, 960} << qint64(3110400);
        QTest::newRow("rgb24_width1") << false << QSize(1, 3) << QVector<int>{4} << qint64(12);
        QTest::newRow("rgb24_width2") << false << QSize(2, 3) << QVector<int>{8} << qint64(24);
        QTest::newRow("rgb24_width5") << false << QSize(5, 3) << QVector<int>{16} << qint64(48);
        QTest::newRow("rgb24_width1920") << false << QSize(1920, 3) << QVector<int>{5760} << qint64(17280);
    }

    void layout()
    {
        QFETCH(bool, planar);
        QFETCH(QSize, size);
        QFETCH(QVector<int>, strides);
        QFETCH(qint64, bytes);
        if (!planar) {
            auto buffer = RGB24Buffer::Create(size.width(), size.height());
            QCOMPARE(buffer->type(), VideoFrameBuffer::Type::kRGB24);
            QCOMPARE(QVector<int>{buffer->Stride()}, strides);
            QCOMPARE(buffer->Size(), bytes);
            QVERIFY(isAligned(buffer->Data(), 64));
            QVERIFY(!buffer->GetI420());
            QCOMPARE(RGB24Buffer::Create(size.width(), size.height(), strides[0] + 10)->Size(),
                     qint64(strides[0] + 10) * size.height());
            return;
        }
        auto buffer = I420Buffer::Create(size.width(), size.height());
        QCOMPARE(buffer->type(), VideoFrameBuffer::Type::kI420);
        QCOMPARE(QVector<int>({buffer->StrideY(), buffer->StrideU(), buffer->StrideV()}), strides);
        QCOMPARE(qint64(buffer->Size()), bytes);
        const int chromaHeight = (size.height() + 1) / 2;
        QCOMPARE(QSize(buffer->ChromaWidth(), buffer->ChromaHeight()), QSize((size.width() + 1) / 2, chromaHeight));
        QVERIFY(isAligned(buffer->DataY(), 64));
        QCOMPARE(buffer->DataU() - buffer->DataY(), std::ptrdiff_t(strides[0]) * size.height());
        QCOMPARE(buffer->DataV() - buffer->DataU(), std::ptrdiff_t(strides[1]) * chromaHeight);
        QCOMPARE(buffer->ToI420().get(), buffer.get());
    }

    void refusesSizesOutsideLimits()
    {
        const QList<QSize> sizes = {{0, 1}, {1, 0}, {-2, 4}, {32769, 1}, {1, 32769}, {32768, 32768}};
        for (const QSize &size : sizes) {
            QVERIFY(!I420Buffer::Create(size.width(), size.height()));
            QVERIFY(!RGB24Buffer::Create(size.width(), size.height()));
        }
        QVERIFY(RGB24Buffer::Create(32768, 1));
        QVERIFY(!RGB24Buffer::Create(4, 4, 11)); // rows shorter than 3 x width
    }

    void frameValue()
    {
        const VideoFrame empty;
        QVERIFY(empty.isNull());
        QCOMPARE(empty.width(), 0);
        QCOMPARE(empty.size(), std::int64_t(0));
        QCOMPARE(empty.timestampUs(), std::int64_t(0));
        QVERIFY(VideoFrame(std::make_shared<OtherBuffer>(0), 5).isNull());

        std::shared_ptr<VideoFrameBuffer> buffer = RGB24Buffer::Create(6, 4);
        VideoFrame frame(buffer, 1700000000123456);
        QCOMPARE(frame.size(), std::int64_t(24));
        VideoFrame copy = frame;
        QCOMPARE(copy.videoFrameBuffer().get(), buffer.get()); // copies share, never copy pixels
        copy.setTimestampUs(7);
        QCOMPARE(frame.timestampUs(), std::int64_t(1700000000123456));
        // Queued signals carry frames by their registered name.
        QVERIFY(QMetaType::type("VideoFrame") != QMetaType::UnknownType);
        QCOMPARE(QVariant::fromValue(frame).value<VideoFrame>().videoFrameBuffer().get(), buffer.get());
    }

    void crop_data()
    {
        QTest::addColumn<bool>("planar");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<bool>("valid");
        for (const bool planar : {true, false}) {
            const auto row = [&](const char *name) -> QTestData & {
                return QTest::addRow("%s_%s", planar ? "i420" : "rgb24", name) << planar;
            };
            row("whole") << QRect(0, 0, 7, 5) << true;
            row("reachesRightAndBottomEdges") << QRect(3, 2, 4, 3) << true;
            row("oddOrigin") << QRect(1, 1, 3, 3) << true;
            row("onePixelPastRight") << QRect(3, 2, 5, 3) << false;
            row("onePixelPastBottom") << QRect(3, 2, 4, 4) << false;
            row("zeroWidth") << QRect(0, 0, 0, 3) << false;
            row("negativeOrigin") << QRect(-1, 0, 2, 2) << false;
        }
    }

    void crop()
    {
        QFETCH(bool, planar);
        QFETCH(QRect, rect);
        QFETCH(bool, valid);
        const VideoFrame frame = makeFrame(planar, 7, 5, pattern);
        const VideoFrame cropped = cropVideoFrame(frame, rect.x(), rect.y(), rect.width(), rect.height());
        QCOMPARE(cropped.timestampUs(), frame.timestampUs());
        if (!valid) {
            QCOMPARE(cropped.videoFrameBuffer().get(), frame.videoFrameBuffer().get());
            return;
        }
        QVERIFY(cropped.videoFrameBuffer() != frame.videoFrameBuffer());
        QCOMPARE(QSize(cropped.width(), cropped.height()), rect.size());
        compareWithPattern(cropped, [&](int p, int x, int y) {
            const bool chroma = planar && p > 0; // chroma starts at the integer halves of x and y
            return chroma ? QPoint(rect.x() / 2 + x, rect.y() / 2 + y) : QPoint(rect.x() + x, rect.y() + y);
        });
        QVERIFY(cropVideoFrame(VideoFrame(), 0, 0, 1, 1).isNull());
    }

    void rotateAndMirror_data()
    {
        QTest::addColumn<bool>("planar");
        QTest::addColumn<bool>("mirror");
        QTest::addColumn<int>("degrees");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<bool>("vertical");
        for (const bool planar : {true, false}) {
            const char *kind = planar ? "i420" : "rgb24";
            for (int degrees : {0, 45, 90, 180, 270, -90, 360})
                QTest::addRow("%s_%d", kind, degrees) << planar << false << degrees << false << false;
            for (const bool horizontal : {false, true}) {
                for (const bool vertical : {false, true})
                    QTest::addRow("%s_h%d_v%d", kind, horizontal, vertical)
                        << planar << true << 0 << horizontal << vertical;
            }
        }
    }

    void rotateAndMirror()
    {
        QFETCH(bool, planar);
        QFETCH(bool, mirror);
        QFETCH(int, degrees);
        QFETCH(bool, horizontal);
        QFETCH(bool, vertical);
        const auto apply = [&](const VideoFrame &f) {
            return mirror ? mirrorVideoFrame(f, horizontal, vertical) : rotateVideoFrame(f, degrees);
        };
        // Odd sides (the chroma planes round up) and more rows than one rotation strip, with a remainder.
        const VideoFrame frame = makeFrame(planar, 21, 37, pattern);
        const VideoFrame result = apply(frame);
        QCOMPARE(result.timestampUs(), frame.timestampUs());
        QVERIFY(apply(VideoFrame()).isNull());
        const bool turned = degrees == 90 || degrees == 270;
        if (mirror ? !horizontal && !vertical : !turned && degrees != 180) {
            QCOMPARE(result.videoFrameBuffer().get(), frame.videoFrameBuffer().get());
            return;
        }
        QCOMPARE(QSize(result.width(), result.height()), turned ? QSize(37, 21) : QSize(21, 37));
        // Where sample (x, y) of the result comes from, turning clockwise.
        compareWithPattern(result, [&](int p, int x, int y) {
            const QSize source = planeSize(frame, p);
            const int right = source.width() - 1, bottom = source.height() - 1;
            if (mirror)
                return QPoint(horizontal ? right - x : x, vertical ? bottom - y : y);
            switch (degrees) {
            case 90:
                return QPoint(y, bottom - x);
            case 180:
                return QPoint(right - x, bottom - y);
            default:
                return QPoint(right - y, x);
            }
        });
        const VideoFrame large = apply(makeFrame(planar, 640, 480, pattern));
        QCOMPARE(QSize(large.width(), large.height()), turned ? QSize(480, 640) : QSize(640, 480));
    }

    void otherBufferTypesGiveEmptyResults()
    {
        const VideoFrame other(std::make_shared<OtherBuffer>(4), 1);
        QVERIFY(cropVideoFrame(other, 0, 0, 2, 2).isNull());
        QVERIFY(rotateVideoFrame(other, 90).isNull());
        QVERIFY(mirrorVideoFrame(other, true, false).isNull());
        QVERIFY(videoFrameToQImage(other).isNull());
        QVERIFY(videoFrameToMat(other).empty());
    }
};

QTEST_GUILESS_MAIN(TestVideoFrame)
#include "tst_videoframe.moc"
