#include "configstore.h"
#include "flatfieldfile.h"
#include "fullvolume.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray header(qint32 version, qint32 headerLength, qint32 width, qint32 height, qint32 stride)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << version << headerLength << width << height << stride;
    return bytes;
}

// A picture in which every byte tells its row, column and channel apart.
QImage pattern(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor((x * 37 + y) % 256, (y * 53 + x) % 256, (x * y + 11) % 256));
    }
    return image;
}

// Pixel rows of `stride` bytes; the bytes past 3 x width are filler the reader must skip.
QByteArray rows(const QImage &rgb, int stride)
{
    QByteArray bytes(stride * rgb.height(), char(0xEE));
    for (int y = 0; y < rgb.height(); ++y)
        memcpy(bytes.data() + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return bytes;
}

void comparePixels(const QImage &actual, const QImage &expected)
{
    QCOMPARE(actual.format(), QImage::Format_RGB888);
    QCOMPARE(actual.size(), expected.size());
    const QImage rgb = expected.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(actual.constScanLine(y)), rgb.width() * 3),
                 QByteArray(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3));
    }
}

} // namespace

class TestFlatFieldFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCoreApplication::setApplicationName("lumora");
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("format");
        QTest::newRow("odd width pads each row") << 5 << 3 << int(QImage::Format_RGB888);
        QTest::newRow("single pixel") << 1 << 1 << int(QImage::Format_RGB888);
        QTest::newRow("32-bit frame is converted") << 7 << 4 << int(QImage::Format_ARGB32);
        QTest::newRow("width without padding") << 64 << 9 << int(QImage::Format_RGB32);
    }

    void roundTrip()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, format);
        const QImage frame = pattern(width, height, QImage::Format(format));
        const QString file = path("roundtrip.ffc");
        QVERIFY(ConfigStore::saveFFCAverageFrameToFile(frame, file));

        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const int stride = frame.convertToFormat(QImage::Format_RGB888).bytesPerLine();
        QVERIFY(stride >= 3 * width);
        QCOMPARE(raw.size(), 20 + qint64(stride) * height);
        QCOMPARE(raw.read(20), header(1, 20, width, height, stride));
        raw.close();

        QTest::ignoreMessage(QtDebugMsg, "readFFCAverageFrameFromFile version=1, len=20");
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QString("readFFCAverageFrameFromFile width=%1, height=%2, stride=%3")
                                            .arg(width)
                                            .arg(height)
                                            .arg(stride)));
        comparePixels(ConfigStore::readFFCAverageFrameFromFile(file), frame);
    }

    void readsAnyStride_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("stride");
        QTest::addColumn<int>("trailing"); // bytes after the last row
        QTest::newRow("tight rows, odd width") << 5 << 15 << 0;
        QTest::newRow("wide rows") << 5 << 15 + 9 << 0;
        QTest::newRow("trailing bytes are ignored") << 4 << 12 << 7;
    }

    void readsAnyStride()
    {
        QFETCH(int, width);
        QFETCH(int, stride);
        QFETCH(int, trailing);
        const QImage frame = pattern(width, 6, QImage::Format_RGB888);
        const QString file = path("stride.ffc");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(header(1, 20, width, 6, stride) + rows(frame, stride) + QByteArray(trailing, 'x'));
        out.close();
        comparePixels(ConfigStore::readFFCAverageFrameFromFile(file), frame);
    }

    void rejectsBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QString>("warning");  // pattern

        const QString readError = "^Error occurred while reading the file: .*bad\\.ffc$";
        const QString geometry = "^readFFCAverageFrameFromFile\\. Impossible frame geometry width=";
        const QByteArray pixels(4 * 12, 'p');
        QTest::newRow("missing file") << QByteArray()
                                      << "^Could not open the file for reading: " +
                                             QRegularExpression::escape(path("bad.ffc")) + "$";
        QTest::newRow("version 2") << header(2, 20, 4, 4, 12) + pixels << "^Version check failed!$";
        QTest::newRow("header length 24") << header(1, 24, 4, 4, 12) + pixels << "^headerLen check failed!$";
        QTest::newRow("shorter than its header says") << header(1, 20, 4, 4, 12) + pixels.left(40) << readError;
        QTest::newRow("no pixels at all") << header(1, 20, 4, 4, 12) << readError;
        QTest::newRow("header cut after version") << header(1, 20, 4, 4, 12).left(6) << readError;
        QTest::newRow("header cut after length") << header(1, 20, 4, 4, 12).left(14) << readError;
        QTest::newRow("huge frame") << header(1, 20, 100000, 100000, 300000) + pixels << readError;
        QTest::newRow("stride x height past 32 bits") << header(1, 20, 1, 8, 0x40000000) + pixels << readError;
        QTest::newRow("largest int32 sizes") << header(1, 20, 0x7fffffff, 0x7fffffff, 0x7fffffff) + pixels
                                             << geometry; // 3 x width does not fit the stride
        QTest::newRow("negative width") << header(1, 20, -4, 4, 12) + pixels << geometry;
        QTest::newRow("negative height") << header(1, 20, 4, -4, 12) + pixels << geometry;
        QTest::newRow("zero width") << header(1, 20, 0, 4, 12) + pixels << geometry;
        QTest::newRow("negative stride") << header(1, 20, 4, 4, -12) + pixels << geometry;
        QTest::newRow("stride below 3 x width") << header(1, 20, 4, 4, 11) + pixels << geometry;
    }

    void rejectsBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, warning);
        const QString file = path("bad.ffc");
        QFile out(file);
        out.remove();
        if (!bytes.isNull()) {
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
            out.close();
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        QVERIFY(ConfigStore::readFFCAverageFrameFromFile(file).isNull());
    }

    void failedSavesKeepTheOldFile()
    {
        const QString missingFolder = path("no-such-folder/frame.ffc");
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^Could not save " + QRegularExpression::escape(missingFolder)));
        QVERIFY(!ConfigStore::saveFFCAverageFrameToFile(pattern(3, 3, QImage::Format_RGB888), missingFolder));

        const QString file = path("keep.ffc");
        QVERIFY(ConfigStore::saveFFCAverageFrameToFile(pattern(2, 2, QImage::Format_RGB888), file));
        QFile old(file);
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = old.readAll();
        old.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^saveFFCAverageFrameToFile\\. The frame is empty"));
        QVERIFY(!ConfigStore::saveFFCAverageFrameToFile(QImage(), file));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not save " + QRegularExpression::escape(file) +
                                                              ": .+\\. The previous file is kept\\.$"));
        bool saved = true;
        {
            FullVolume full;
            saved = ConfigStore::saveFFCAverageFrameToFile(pattern(3, 3, QImage::Format_RGB888), file);
        }
        QVERIFY(!saved);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
    }

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

QTEST_GUILESS_MAIN(TestFlatFieldFile)
#include "tst_flatfieldfile.moc"
