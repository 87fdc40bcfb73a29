// The barcode scanner on synthetic label photographs, and the stamp of its text.
#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include "barcodescanner.h"
#include "isolatedcall.h"
#include "slidelabel.h"

#include <ZXing/ReadBarcode.h>

#include <thread>

Q_DECLARE_METATYPE(SlideLabel::Spec)

namespace {

using ZXing::BarcodeFormat;

SlideLabel::Spec label(BarcodeFormat format, const char *text)
{
    SlideLabel::Spec spec;
    spec.format = format;
    spec.text = text;
    spec.codeWidth = format == BarcodeFormat::Code128 ? 540 : 300;
    return spec;
}

template<typename Change> SlideLabel::Spec with(SlideLabel::Spec spec, Change change)
{
    change(spec);
    return spec;
}

// A clean Code 128 picture on which the packaged library's multi-symbol reader trips an
// assertion (it compares two multi-line results found at two scales) and aborts.
QImage abortingPicture()
{
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(BarcodeFormat::Code128).setMargin(0).encode(std::string("SLIDE-0001"), 450, 80);
    QImage image(1280, 960, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x)
            if (bits.get(x, y))
                image.scanLine(40 + y)[40 + x] = 0;
    return image;
}

// The painted part of a stamped black picture.
QRect paintedRect(const QImage &image)
{
    QRect painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(0, 0, 0))
                painted |= QRect(x, y, 1, 1);
    return painted;
}

} // namespace

class TestBarcodeScanner : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data()
    {
        QTest::addColumn<SlideLabel::Spec>("spec");
        const SlideLabel::Spec qr = label(BarcodeFormat::QRCode, "LUMORA SLIDE 0001");
        const SlideLabel::Spec bar = label(BarcodeFormat::Code128, "SLIDE-0001");
        const SlideLabel::Spec matrix = label(BarcodeFormat::DataMatrix, "LOT 42/B");
        QTest::newRow("qrClean") << qr;
        QTest::newRow("code128Clean") << bar;
        QTest::newRow("dataMatrixClean") << matrix;
        for (const auto &row : {std::make_pair("qr", qr), std::make_pair("code128", bar)}) {
            const std::string name = row.first;
            QTest::newRow((name + "Blurred").c_str()) << with(row.second, [](auto &s) { s.blur = 1.5; });
            QTest::newRow((name + "Rotated").c_str()) << with(row.second, [](auto &s) { s.angle = 100; });
            QTest::newRow((name + "Inverted").c_str()) << with(row.second, [](auto &s) { s.inverted = true; });
            QTest::newRow((name + "LowContrast").c_str()) << with(row.second, [](auto &s) { s.contrast = 40; });
            QTest::newRow((name + "Noisy").c_str()) << with(row.second, [](auto &s) { s.noise = 14; });
            QTest::newRow((name + "Mirrored").c_str()) << with(row.second, [](auto &s) { s.mirrored = true; });
        }
        QTest::newRow("dataMatrixInvertedMirrored") << with(matrix, [](auto &s) { s.inverted = s.mirrored = true; });
        // Tilted a little, blurred and grainy: read only once the bars are made upright and
        // averaged along their length.
        QTest::newRow("code128TiltedBlurredNoisy") << with(bar, [](auto &s) {
            s.codeWidth = 540;
            s.angle = 7;
            s.blur = 2.2;
            s.noise = 8;
        });
    }

    void decodes()
    {
        QFETCH(SlideLabel::Spec, spec);
        QString text = "stale";
        BarcodeScanner().deocdeImage(text, SlideLabel::render(spec));
        QCOMPARE(text, QString::fromStdString(spec.text));
    }

    void pictureWithoutCodeGivesNothing()
    {
        QImage slide(1920, 1080, QImage::Format_RGB32);
        slide.fill(qRgb(90, 90, 90));
        QPainter(&slide).fillRect(600, 300, 700, 400, Qt::white);
        QString text = "stale";
        BarcodeScanner().deocdeImage(text, slide);
        QVERIFY(text.isEmpty());
    }

    // A fault inside the library costs one scan, never the program.
    void libraryFaultsStayInTheChild_data()
    {
        QTest::addColumn<int>("work");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("finished") << 0 << int(IsolatedCall::Done) << "SLIDE-0001";
        QTest::newRow("libraryAborts") << 1 << int(IsolatedCall::Crashed) << "";
        QTest::newRow("stuck") << 2 << int(IsolatedCall::TimedOut) << "";
    }

    void libraryFaultsStayInTheChild()
    {
        QFETCH(int, work);
        QFETCH(int, status);
        QFETCH(QString, output);
        const QImage image = abortingPicture();
        const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                    image.bytesPerLine());
        const IsolatedCall call = IsolatedCall::run(
            [&]() -> std::string {
                if (work == 1)
                    return ZXing::ReadBarcodes(view).empty() ? "none" : "read";
                if (work == 2)
                    std::this_thread::sleep_for(std::chrono::hours(1));
                return ZXing::ReadBarcode(view).text();
            },
            work == 2 ? 200 : 10000);
        if (work == 1 && call.status == IsolatedCall::Done)
            QSKIP("the installed barcode library no longer aborts on this picture");
        QCOMPARE(int(call.status), status);
        QCOMPARE(QString::fromStdString(call.output), output);
        QString text;
        BarcodeScanner().deocdeImage(text, image);
        QCOMPARE(text, QString("SLIDE-0001"));
    }

    void stampGeometry_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("elided");

        QTest::newRow("hd720") << QSize(1280, 720) << "SLIDE-0001" << 1.0 << 40 << false;
        QTest::newRow("uhdLandscape") << QSize(3840, 2160) << "SLIDE-0001" << 2.0 << 80 << false;
        QTest::newRow("uhdPortrait") << QSize(2160, 3840) << "SLIDE-0001" << 2.0 << 80 << false;
        QTest::newRow("smallTopAtTenthOfHeight") << QSize(640, 300) << "SLIDE-0001" << 1.0 << 30 << false;
        QTest::newRow("longTextElided") << QSize(400, 300) << QString(200, 'W') << 1.0 << 30 << true;
    }

    void stampGeometry()
    {
        QFETCH(QSize, size);
        QFETCH(QString, text);
        QFETCH(double, scale);
        QFETCH(int, top);
        QFETCH(bool, elided);
        QPixmap pixmap(size);
        pixmap.fill(Qt::black);
        stampScanResult(pixmap, text);
        const QImage stamped = pixmap.toImage();

        QFont font = QGuiApplication::font();
        font.setPixelSize(int(16 * scale));
        const QFontMetrics metrics(font);
        const int maxWidth = int(size.width() - 40 * scale);
        const QRect textRect = metrics.boundingRect(metrics.elidedText(text, Qt::ElideRight, maxWidth));
        const int boxWidth = std::min(textRect.width() + int(20 * scale), maxWidth);
        QCOMPARE(boxWidth == maxWidth, elided);
        const QRect box((size.width() - boxWidth) / 2, top, boxWidth, textRect.height() + int(12 * scale));
        // The outline's pen (2·s wide) straddles the box's edge.
        const int pen = int(scale);
        const QRect painted = paintedRect(stamped);
        QVERIFY2(std::abs(painted.top() - (box.top() - pen)) <= 1 &&
                     std::abs(painted.left() - (box.left() - pen)) <= 1 &&
                     std::abs(painted.bottom() - (box.bottom() + pen)) <= 1 &&
                     std::abs(painted.right() - (box.right() + pen)) <= 1,
                 qPrintable(QString("painted %1,%2 %3x%4")
                                .arg(painted.x())
                                .arg(painted.y())
                                .arg(painted.width())
                                .arg(painted.height())));
        // Outline colour in the pen's middle row; white at alpha 230 over black inside, away from the text.
        QCOMPARE(stamped.pixel(box.center().x(), box.top() - 1), qRgb(200, 50, 50));
        QCOMPARE(stamped.pixel(box.left() + int(10 * scale) / 2, box.center().y()), qRgb(230, 230, 230));
    }

    void stampNeedsTextAndPicture()
    {
        QPixmap pixmap(320, 200);
        pixmap.fill(Qt::black);
        const QImage before = pixmap.toImage();
        stampScanResult(pixmap, QString());
        QCOMPARE(pixmap.toImage(), before);
        QPixmap null;
        stampScanResult(null, "SLIDE-0001");
        QVERIFY(null.isNull());
    }

    void scanAreaRoundsTheRegionDownToEvenNumbers_data()
    {
        QTest::addColumn<QRect>("region");
        QTest::addColumn<QRect>("read");
        QTest::newRow("odd") << QRect(11, 21, 101, 51) << QRect(10, 20, 100, 50);
        QTest::newRow("even") << QRect(10, 20, 100, 50) << QRect(10, 20, 100, 50);
        QTest::newRow("beyondThePicture") << QRect(300, 100, 200, 200) << QRect(300, 100, 20, 140);
        QTest::newRow("none") << QRect() << QRect(0, 0, 320, 240);
        QTest::newRow("outside") << QRect(400, 400, 10, 10) << QRect(0, 0, 320, 240);
    }

    void scanAreaRoundsTheRegionDownToEvenNumbers()
    {
        QFETCH(QRect, region);
        QFETCH(QRect, read);
        QImage picture(320, 240, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x & 255, y & 255, x >> 8));
        QCOMPARE(scanArea(picture, region), picture.copy(read));
    }
};

QTEST_MAIN(TestBarcodeScanner)
#include "tst_barcodescanner.moc"
