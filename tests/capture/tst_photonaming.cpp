// Naming and saving of captured pictures, on real files in a temporary folder.
#include "configstore.h"
#include "photonaming.h"
#include "photosaver.h"
#include "photosettings.h"
#include "watermarksettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "../tiffpicture.h"

namespace {

const QDateTime kNow(QDate(2024, 1, 2), QTime(3, 4, 5, 67));

PhotoNaming naming(PhotoNaming::Kind kind, int digits = 4, int timeFormatIndex = 1)
{
    PhotoNaming n;
    n.prefix = QStringLiteral("img");
    n.kind = kind;
    n.digits = digits;
    n.timeFormatIndex = timeFormatIndex;
    return n;
}

} // namespace

class TestPhotoNaming : public QObject
{
    Q_OBJECT

private slots:
    void prefix_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Sample_1-a." << true;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("space") << "a b" << false;
        QTest::newRow("bar") << "a|b" << false;
        QTest::newRow("control") << "a\tb" << false;
    }
    void prefix()
    {
        QFETCH(QString, prefix);
        QFETCH(bool, valid);
        QCOMPARE(PhotoNaming::isValidPrefix(prefix), valid);
    }

    void sample_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("timeFormat");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("index5") << int(PhotoNaming::AutoIndex) << 5 << 0 << "jpg"
                                << "img00001.jpg";
        QTest::newRow("index6") << int(PhotoNaming::AutoIndex) << 6 << 0 << "png"
                                << "img000001.png";
        QTest::newRow("time") << int(PhotoNaming::Time) << 4 << 1 << "tiff"
                              << "img20240102030405.tiff";
        QTest::newRow("timeMillis") << int(PhotoNaming::Time) << 4 << 2 << "bmp"
                                    << "img2024-01-02-03-04-05-067.bmp";
        QTest::newRow("smartScan") << int(PhotoNaming::SmartScan) << 4 << 0 << "jpg"
                                   << "img6901234567892.jpg";
    }
    void sample()
    {
        QFETCH(int, kind);
        QFETCH(int, digits);
        QFETCH(int, timeFormat);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        PhotoNaming n = naming(PhotoNaming::Kind(kind), digits, timeFormat);
        n.format = format;
        QCOMPARE(n.sampleName(kNow), expected);
    }

    void nextPath_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("scanText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("firstIndex") << int(PhotoNaming::AutoIndex) << QStringList{"other0009.jpg"} << ""
                                    << "img0001.jpg";
        // A gap left by a deleted file is not reused; other prefixes and extensions do not count.
        QTest::newRow("afterHighest") << int(PhotoNaming::AutoIndex)
                                      << QStringList{"img0001.jpg", "img0007.JPG", "img0012.png", "imgx0020.jpg"} << ""
                                      << "img0008.jpg";
        QTest::newRow("indexOutgrowsDigits") << int(PhotoNaming::AutoIndex) << QStringList{"img9999.jpg"} << ""
                                             << "img10000.jpg";
        QTest::newRow("timeTaken") << int(PhotoNaming::Time)
                                   << QStringList{"img20240102030405.jpg", "img20240102030405_2.jpg"} << ""
                                   << "img20240102030405_3.jpg";
        QTest::newRow("scanUnsafe") << int(PhotoNaming::ScanCode) << QStringList{} << "..a/b:c?*d e\\f<g>h|\"i"
                                    << "img_.a_b_c__d_e_f_g_h__i.jpg";
        QTest::newRow("scanTaken") << int(PhotoNaming::SmartScan) << QStringList{"imgABC.jpg"} << "ABC"
                                   << "imgABC_2.jpg";
        QTest::newRow("scanNothingRead") << int(PhotoNaming::ScanCode) << QStringList{} << " "
                                         << "img20240102030405.jpg";
    }
    void nextPath()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, existing);
        QFETCH(QString, scanText);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &name : existing) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(naming(PhotoNaming::Kind(kind)).nextPath(dir.path(), "jpg", scanText, kNow), dir.filePath(expected));
    }

    void graphicsText_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("holdsGraphics");
        QTest::newRow("png") << "png" << true;
        QTest::newRow("jpg") << "jpg" << true;
        QTest::newRow("bmp") << "bmp" << false;
        QTest::newRow("tiff") << "tiff" << false;
    }
    void graphicsText()
    {
        QFETCH(QString, suffix);
        QFETCH(bool, holdsGraphics);
        QTemporaryDir dir;
        const QString path = dir.filePath("p." + suffix);
        const QString graphics = QStringLiteral("{\"items\":[{\"type\":\"Line\",\"p\":[1,2,30,40]}]}");
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QCOMPARE(PhotoSaver::canHoldGraphics(suffix), holdsGraphics);
        QVERIFY(PhotoSaver::save(image, path, graphics));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(4);
        if (suffix == "tiff") {
            QVERIFY(head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4));
            return;
        }
        QImageReader reader(path);
        QCOMPARE(reader.text("Exif.Graphics"), holdsGraphics ? graphics : QString());
        QCOMPARE(reader.read().size(), image.size());
    }

    // A calibrated picture carries its pixel size: a TIFF in the resolution tags and in the
    // description that names the unit, its pixels as they were (grey stays grey); PNG and JPEG
    // in the "Calibration" text, PNG also in its pixels per metre.
    void pixelSize_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("format");
        QTest::newRow("tiffColour") << "tif" << int(QImage::Format_RGB32);
        QTest::newRow("tiffGrey") << "tif" << int(QImage::Format_Grayscale8);
        QTest::newRow("png") << "png" << int(QImage::Format_RGB32);
        QTest::newRow("jpg") << "jpg" << int(QImage::Format_RGB32);
    }
    void pixelSize()
    {
        QFETCH(QString, suffix);
        QFETCH(int, format);
        QImage image(37, 30, QImage::Format(format)); // odd width: padded lines
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(x, y, QColor(x * 6, y * 8, 200));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("c." + suffix);
        QVERIFY(PhotoSaver::save(image, path, QString(), nullptr, {0.5, "ten"}));
        if (suffix == "tif") {
            const TiffPicture tiff = readTiff(path);
            QCOMPARE(tiff.image.convertToFormat(image.format()), image);
            QCOMPARE(tiff.xResolution, 2.0f);
            QCOMPARE(tiff.yResolution, 2.0f);
            QCOMPARE(tiff.resolutionUnit, int(RESUNIT_NONE));
            QCOMPARE(tiff.description, QString("ImageJ=1.53t\nunit=micron\n"));
            return;
        }
        QImageReader reader(path);
        QCOMPARE(reader.text("Calibration"), QString("ten; 0.5 um/pixel"));
        if (suffix == "png")
            QCOMPARE(reader.read().dotsPerMeterX(), 2000000);
    }

    // At full quality a JPEG of grey noise stays within a few levels of the original (the
    // default quality is off by about ten).
    void jpegQuality()
    {
        QImage image(64, 64, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(0, 0, 0) + 0x010101u * random.bounded(256));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("q.jpg");
        QVERIFY(PhotoSaver::save(image, path));
        const QImage back = QImage(path).convertToFormat(QImage::Format_RGB32);
        qint64 error = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                error += qAbs(qGreen(image.pixel(x, y)) - qGreen(back.pixel(x, y)));
        }
        QVERIFY2(error < 64 * 64 * 6, qPrintable(QString::number(double(error) / (64 * 64))));
    }

    // The watermark lands below the top edge at a negative y, and the graphics are painted at
    // the chosen text scaling.
    void merged()
    {
        QImage picture(1920, 1080, QImage::Format_RGB888);
        picture.fill(Qt::white);
        RenderTextInfo text;
        text.text = QStringLiteral("2024/01/02 03:04:05");
        text.x = 25;
        text.y = -25;
        text.color = Qt::black;
        double scaleSeen = 0;
        const QImage out = PhotoSaver::merged(picture, 2.0,
                                              [&scaleSeen](QPainter &painter, double scale) {
                                                  scaleSeen = scale;
                                                  painter.fillRect(QRect(1000, 1000, 10, 10), Qt::red);
                                              },
                                              {text});
        QCOMPARE(scaleSeen, 2.0);
        QCOMPARE(out.size(), picture.size());
        QCOMPARE(out.pixelColor(1005, 1005), QColor(Qt::red));
        int dark = 0;
        int darkElsewhere = 0;
        for (int y = 0; y < out.height(); y += 2) {
            for (int x = 0; x < 800; x += 2) {
                if (qGray(out.pixel(x, y)) < 128)
                    ++(QRect(25, 25, 700, 40).contains(x, y) ? dark : darkElsewhere);
            }
        }
        QVERIFY(dark > 50);
        QCOMPARE(darkElsewhere, 0);
    }

    // The dialog stores each change at once and names the sample from the stored options; a
    // refused prefix character leaves the field, the store and the sample as they were.
    void photoSettingsPrefix()
    {
        PhotoSettings dialog;
        auto *prefix = dialog.findChild<QLineEdit *>("prefix_lineEdit");
        auto *sample = dialog.findChild<QLabel *>("sample_label");
        dialog.findChild<QCheckBox *>("autoIndex_checkBox")->setChecked(true);
        dialog.findChild<QComboBox *>("autoIndexDigit_comboBox")->setCurrentIndex(1);
        dialog.findChild<QComboBox *>("format_comboBox")->setCurrentText("jpg");
        prefix->clear(); // the store outlives the run
        QTest::keyClicks(prefix, "ab");
        QCOMPARE(sample->text(), QString("ab00001.jpg"));
        QTest::keyClick(prefix, '/');
        QCOMPARE(prefix->text(), QString("ab"));
        QCOMPARE(sample->text(), QString("ab00001.jpg"));
        QCOMPARE(ConfigStore::instance().value(DrawProperty::PrefixData).toString(), QString("ab"));
        auto *box = dialog.findChild<QMessageBox *>();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), QString("Input error, the following characters are not supported:\n\\ /:*?\"<>|"));
    }

    // Without stored options the watermark is the date and time, black, 32 pixels, 25 from the
    // left and 25 below the top edge, sent again every second.
    void watermarkDefaults()
    {
        WatermarkSettings dialog;
        QSignalSpy sent(&dialog, &WatermarkSettings::updateWatermarkText);
        QVERIFY(sent.wait(5000));
        const RenderTextInfo info = sent.last().first().value<RenderTextInfo>();
        QVERIFY2(QRegularExpression("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d $").match(info.text).hasMatch(),
                 qPrintable(info.text));
        QCOMPARE(info.fontSize, 32);
        QCOMPARE(info.color, QColor(0, 0, 0, 255));
        QCOMPARE(info.x, 25.0);
        QCOMPARE(info.y, -25.0);
    }
};

QTEST_MAIN(TestPhotoNaming)
#include "tst_photonaming.moc"
