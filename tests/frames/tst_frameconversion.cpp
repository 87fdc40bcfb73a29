// SDK frame records to frames, and frames, QImage and cv::Mat into one another, with colours
// checked against the BT.601 limited-range formulas.
#include "frameconversion.h"
#include "framesamples.h"

#include <QtTest>
#include <cmath>
#include <l_sdk.h>
#include <lmcam.h>
#include <vector>

namespace {

using Triple = std::array<double, 3>;

Triple bt601FromRgb(const Triple &c)
{
    return {16 + (65.481 * c[0] + 128.553 * c[1] + 24.966 * c[2]) / 255,
            128 + (-37.797 * c[0] - 74.203 * c[1] + 112.0 * c[2]) / 255,
            128 + (112.0 * c[0] - 93.786 * c[1] - 18.214 * c[2]) / 255};
}

Triple bt601ToRgb(const Triple &c)
{
    const auto clamp = [](double v) { return std::min(255.0, std::max(0.0, v)); };
    const double y = 1.164383 * (c[0] - 16);
    return {clamp(y + 1.596027 * (c[2] - 128)), clamp(y - 0.391762 * (c[1] - 128) - 0.812968 * (c[2] - 128)),
            clamp(y + 2.017232 * (c[1] - 128))};
}

// Colours of the 2 x 2 blocks of the test pictures (uniform blocks keep 4:2:0 exact).
Triple colourAt(int x, int y)
{
    static const Triple colours[] = {{255, 0, 0}, {0, 255, 0},     {0, 0, 255},    {255, 255, 255},
                                     {0, 0, 0},   {128, 128, 128}, {200, 100, 50}, {30, 180, 220}};
    return colours[(x / 2 + 3 * (y / 2)) % 8];
}

// Source pixels of an SDK record: separate planes with padded rows, as a camera hands them out.
struct SourcePicture
{
    std::vector<std::uint8_t> planes[3];
    int strides[3];

    SourcePicture(int width, int height, bool planar)
    {
        for (int p = 0; p < 3; ++p) {
            strides[p] = (p == 0 ? (planar ? width : 3 * width) : (width + 1) / 2) + 5;
            planes[p].resize(std::size_t(strides[p]) * (p == 0 ? height : (height + 1) / 2));
            for (std::size_t i = 0; i < planes[p].size(); ++i) {
                planes[p][i] = std::uint8_t(i * 7 + p * 50);
            }
        }
    }
    int at(int plane, int x, int y) const { return planes[plane][std::size_t(y) * strides[plane] + x]; }
};

lmcam_frame usbRecord(SourcePicture &source, int format, int width, int height)
{
    lmcam_frame frame{};
    for (int p = 0; p < 3; ++p) {
        frame.planes[p] = source.planes[p].data();
        frame.strides[p] = source.strides[p];
    }
    frame.library_ref = 1;
    frame.pixel_format = format;
    frame.width = width;
    frame.height = height;
    frame.timestamp_us = 987654321;
    return frame;
}

l_sdk_md_data networkRecord(SourcePicture &source, int format, int width, int height)
{
    l_sdk_md_data data{};
    data.format = format;
    data.timestamp = 987654321;
    data.width = width;
    data.height = height;
    for (int p = 0; p < 3; ++p) {
        data.planes[p].data = reinterpret_cast<std::uintptr_t>(source.planes[p].data());
        data.planes[p].stride = source.strides[p];
    }
    data.ref = 42;
    return data;
}

} // namespace

class TestFrameConversion : public QObject
{
    Q_OBJECT

private slots:
    void sdkRecords_data()
    {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<int>("format");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("expected");
        const QRect whole(0, 0, 9, 7);
        const struct
        {
            bool usb;
            int format;
            const char *name;
        } formats[] = {
            {true, LMCAM_PIXEL_FORMAT_I420, "usbI420"},       {true, LMCAM_PIXEL_FORMAT_YUV420P, "usbYuv420p"},
            {true, LMCAM_PIXEL_FORMAT_RGB24, "usbRgb"},       {true, LMCAM_PIXEL_FORMAT_BGR24, "usbBgr"},
            {false, L_SDK_PIX_FMT_YUV420P, "networkYuv420p"}, {false, L_SDK_PIX_FMT_RGB24, "networkRgb"},
            {false, L_SDK_PIX_FMT_BGR24, "networkBgr"}};
        for (const auto &f : formats) {
            QTest::addRow("%s_whole", f.name) << f.usb << f.format << QRect() << whole;
            QTest::addRow("%s_oddOrigin", f.name) << f.usb << f.format << QRect(3, 1, 4, 5) << QRect(3, 1, 4, 5);
            QTest::addRow("%s_reachesEdges", f.name) << f.usb << f.format << QRect(5, 4, 4, 3) << QRect(5, 4, 4, 3);
            QTest::addRow("%s_onePastEdge", f.name) << f.usb << f.format << QRect(5, 4, 5, 3) << whole;
        }
    }

    void sdkRecords()
    {
        QFETCH(bool, usb);
        QFETCH(int, format);
        QFETCH(QRect, rect);
        QFETCH(QRect, expected);
        const bool planar = usb ? format <= LMCAM_PIXEL_FORMAT_YUV420P : format == L_SDK_PIX_FMT_YUV420P;
        const bool swapped = format == (usb ? LMCAM_PIXEL_FORMAT_BGR24 : L_SDK_PIX_FMT_BGR24);
        SourcePicture source(9, 7, planar);
        const lmcam_frame usbFrame = usbRecord(source, format, 9, 7);
        const l_sdk_md_data netFrame = networkRecord(source, format, 9, 7);
        VideoFrame frame;
        if (rect.isNull()) {
            frame = usb ? makeVideoFrame(&usbFrame) : makeVideoFrame(&netFrame);
        } else {
            frame = usb ? makeVideoFrame(&usbFrame, rect.x(), rect.y(), rect.width(), rect.height())
                        : makeVideoFrame(&netFrame, rect.x(), rect.y(), rect.width(), rect.height());
        }
        QCOMPARE(QSize(frame.width(), frame.height()), expected.size());
        QCOMPARE(frame.timestampUs(), std::int64_t(987654321));
        QCOMPARE(isPlanar(frame), planar);
        for (int p = 0; p < 3; ++p) {
            const QSize size = planeSize(frame, p);
            for (int y = 0; y < size.height(); ++y) {
                for (int x = 0; x < size.width(); ++x) {
                    const int expectedSample =
                        !planar  ? source.at(0, 3 * (expected.x() + x) + (swapped ? 2 - p : p), expected.y() + y)
                        : p == 0 ? source.at(0, expected.x() + x, expected.y() + y)
                                 : source.at(p, expected.x() / 2 + x, expected.y() / 2 + y);
                    QCOMPARE(sampleAt(frame, p, x, y), expectedSample);
                }
            }
        }
    }

    void malformedRecordsGiveEmptyFrames()
    {
        SourcePicture source(4, 4, true);
        QVERIFY(makeVideoFrame(static_cast<const lmcam_frame *>(nullptr)).isNull());
        QVERIFY(makeVideoFrame(static_cast<const l_sdk_md_data *>(nullptr), 0, 0, 2, 2).isNull());
        const std::function<void(lmcam_frame &)> usbFaults[] = {
            [](lmcam_frame &f) { f.width = 0; },
            [](lmcam_frame &f) { f.height = -4; },
            [](lmcam_frame &f) { f.planes[2] = nullptr; },
            [](lmcam_frame &f) { f.strides[0] = 3; }, // shorter than a row
            [](lmcam_frame &f) {                      // packed rows need three bytes a pixel
                f.pixel_format = LMCAM_PIXEL_FORMAT_RGB24;
                f.width = 3;
                f.strides[0] = 8;
            },
            [](lmcam_frame &f) { f.width = f.strides[0] = f.strides[1] = f.strides[2] = 40000; },
        };
        for (const auto &fault : usbFaults) {
            lmcam_frame frame = usbRecord(source, LMCAM_PIXEL_FORMAT_I420, 4, 4);
            fault(frame);
            QVERIFY(makeVideoFrame(&frame).isNull());
        }
        l_sdk_md_data data = networkRecord(source, L_SDK_PIX_FMT_YUV420P, 4, 4);
        QVERIFY(!makeVideoFrame(&data).isNull());
        data.ref = 0;
        QVERIFY(makeVideoFrame(&data).isNull());
        data = networkRecord(source, L_SDK_PIX_FMT_RGB24, 1, 4);
        data.planes[0].data = 0;
        QVERIFY(makeVideoFrame(&data).isNull());
        // Formats without a conversion are logged.
        const lmcam_frame unsupported = usbRecord(source, 2, 4, 4);
        QTest::ignoreMessage(QtWarningMsg, "Unsupport frame format 2, makeVideoFrame failed!");
        QVERIFY(makeVideoFrame(&unsupported).isNull());
        data = networkRecord(source, 4, 4, 4);
        QTest::ignoreMessage(QtWarningMsg, "Unsupport frame format 4, makeVideoFrame failed!");
        QVERIFY(makeVideoFrame(&data, 0, 0, 2, 2).isNull());
    }

    void colourConversionsFollowBt601_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("even") << QSize(16, 4);
        QTest::newRow("odd") << QSize(15, 5);
    }

    void colourConversionsFollowBt601()
    {
        QFETCH(QSize, size);
        const auto near = [](double actual, double expected) { return std::abs(actual - expected) <= 2; };
        // RGB -> YUV (RGB24 buffer to I420).
        const VideoFrame rgb =
            makeFrame(false, size.width(), size.height(), [](int p, int x, int y) { return int(colourAt(x, y)[p]); });
        const VideoFrame yuv(rgb.videoFrameBuffer()->ToI420(), 1);
        QVERIFY(!yuv.isNull());
        for (int p = 0; p < 3; ++p) {
            const QSize plane = planeSize(yuv, p);
            for (int y = 0; y < plane.height(); ++y) {
                for (int x = 0; x < plane.width(); ++x) {
                    const int scale = p == 0 ? 1 : 2; // chroma samples stand for uniform 2 x 2 blocks
                    QVERIFY(near(sampleAt(yuv, p, x, y), bt601FromRgb(colourAt(scale * x, scale * y))[p]));
                }
            }
        }

        // YUV -> RGB: an I420 frame of those colours -> QImage (R, G, B) and -> matrix (B, G, R).
        const VideoFrame planar = makeFrame(true, size.width(), size.height(), [](int p, int x, int y) {
            const int scale = p == 0 ? 1 : 2;
            return int(std::lround(bt601FromRgb(colourAt(scale * x, scale * y))[p]));
        });
        const QImage fromFrame = videoFrameToQImage(planar);
        const cv::Mat bgr = videoFrameToMat(planar);
        QCOMPARE(fromFrame.format(), QImage::Format_RGB888);
        QCOMPARE(fromFrame.size(), size);
        QCOMPARE(bgr.type(), CV_8UC3);
        QCOMPARE(QSize(bgr.cols, bgr.rows), size);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const Triple expected =
                    bt601ToRgb({double(sampleAt(planar, 0, x, y)), double(sampleAt(planar, 1, x / 2, y / 2)),
                                double(sampleAt(planar, 2, x / 2, y / 2))});
                const QRgb pixel = fromFrame.pixel(x, y);
                const int fromImage[] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
                const cv::Vec3b fromMat = bgr.at<cv::Vec3b>(y, x);
                for (int c = 0; c < 3; ++c) {
                    QVERIFY2(near(fromImage[c], expected[c]) && near(fromMat[2 - c], expected[c]),
                             qPrintable(QStringLiteral("channel %1 at %2,%3").arg(c).arg(x).arg(y)));
                }
            }
        }
    }

    void imageMatRoundTrips_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("matType");
        QTest::newRow("indexed8") << int(QImage::Format_Indexed8) << CV_8UC1;
        QTest::newRow("rgb32") << int(QImage::Format_RGB32) << CV_8UC3;
        QTest::newRow("argb32") << int(QImage::Format_ARGB32) << CV_8UC3;
        QTest::newRow("rgb888") << int(QImage::Format_RGB888) << CV_8UC3;
    }

    void imageMatRoundTrips()
    {
        QFETCH(int, format);
        QFETCH(int, matType);
        const int width = 5; // odd, so that image rows carry padding
        const int height = 3;
        QImage image(width, height, QImage::Format(format));
        const bool indexed = matType == CV_8UC1;
        if (indexed) {
            image.setColorTable(QVector<QRgb>(256, qRgb(255, 0, 0))); // not grey: the matrix takes the indices
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                image.setPixel(x, y, indexed ? uint(40 * y + 7 * x) : qRgb(10 * x + 1, 20 * y + 2, 3 + x * y));
            }
        }
        const cv::Mat mat = qImageToMat(image);
        QCOMPARE(mat.type(), matType);
        const QImage back = matToQImage(mat);
        QCOMPARE(back.format(), indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (indexed) {
                    QCOMPARE(int(mat.at<uchar>(y, x)), 40 * y + 7 * x);
                    QCOMPARE(back.pixelIndex(x, y), 40 * y + 7 * x);
                } else {
                    const cv::Vec3b bgr = mat.at<cv::Vec3b>(y, x);
                    QCOMPARE(qRgb(bgr[2], bgr[1], bgr[0]), qRgb(10 * x + 1, 20 * y + 2, 3 + x * y));
                    QCOMPARE(back.pixel(x, y), image.pixel(x, y));
                }
            }
        }
        if (indexed) {
            QCOMPARE(back.colorTable().size(), 256);
            QCOMPARE(back.color(200), qRgb(200, 200, 200));
            // One grey table shared by every image.
            QCOMPARE(matToQImage(mat).colorTable().constData(), back.colorTable().constData());
        }

        // The same pixels through an RGB24 frame: to an image (a deep copy) and to a matrix.
        const QImage rgbImage = image.convertToFormat(QImage::Format_RGB888);
        const VideoFrame frame = videoFrameFromQImage(image);
        const QImage fromFrame = videoFrameToQImage(frame);
        QCOMPARE(fromFrame, rgbImage);
        QVERIFY(fromFrame.constBits() != std::static_pointer_cast<RGB24Buffer>(frame.videoFrameBuffer())->Data());
        QCOMPARE(matToQImage(videoFrameToMat(frame)), rgbImage);
    }

    void unsupportedImagesAndMatrices()
    {
        QVERIFY(qImageToMat(QImage()).empty());
        QVERIFY(qImageToMat(QImage(4, 4, QImage::Format_Grayscale8)).empty());
        QVERIFY(matToQImage(cv::Mat()).isNull());
        QVERIFY(matToQImage(cv::Mat(4, 4, CV_16UC1, cv::Scalar(1))).isNull());
        QVERIFY(matToQImage(cv::Mat(4, 4, CV_8UC2, cv::Scalar(1))).isNull());

        const cv::Mat bgra(3, 5, CV_8UC4, cv::Scalar(10, 20, 30, 128));
        const QImage argb = matToQImage(bgra);
        QCOMPARE(argb.format(), QImage::Format_ARGB32);
        QCOMPARE(argb.pixel(4, 2), qRgba(30, 20, 10, 128));
        QVERIFY(argb.constBits() != bgra.data);
        QVERIFY(videoFrameToQImage(VideoFrame()).isNull());
        QVERIFY(videoFrameFromQImage(QImage()).isNull());
        QVERIFY(videoFrameToMat(VideoFrame()).empty());
    }
};

QTEST_GUILESS_MAIN(TestFrameConversion)
#include "tst_frameconversion.moc"
