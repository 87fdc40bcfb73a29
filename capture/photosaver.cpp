#include "photosaver.h"

#include "atomicfile.h"
#include "frameconversion.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QStandardPaths>

#include <opencv2/imgcodecs.hpp>
#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

// Qt's name of the format a suffix names.
QByteArray writerFormat(const QString &suffix)
{
    const QByteArray format = suffix.toLower().toLatin1();
    if (format == "tif")
        return "tiff";
    if (format == "jpeg")
        return "jpg";
    return format;
}

bool hasQtWriter(const QByteArray &format)
{
    return QImageWriter::supportedImageFormats().contains(format);
}

// Formats Qt has no writer for (other than TIFF) go through OpenCV.
bool encodeWithOpenCv(const QImage &image, const QByteArray &format, QByteArray &bytes, QString &error)
{
    std::vector<uchar> encoded;
    try {
        if (!cv::imencode("." + format.toStdString(), qImageToMat(image), encoded)) {
            error = QStringLiteral("no encoder for %1").arg(QString::fromLatin1(format));
            return false;
        }
    } catch (const cv::Exception &e) {
        error = QString::fromLocal8Bit(e.what());
        return false;
    }
    bytes = QByteArray(reinterpret_cast<const char *>(encoded.data()), int(encoded.size()));
    return true;
}

// libtiff writes into a QBuffer through these; it seeks back to patch offsets in.
tmsize_t tiffRead(thandle_t device, void *data, tmsize_t size)
{
    return static_cast<QIODevice *>(device)->read(static_cast<char *>(data), size);
}

tmsize_t tiffWrite(thandle_t device, void *data, tmsize_t size)
{
    return static_cast<QIODevice *>(device)->write(static_cast<const char *>(data), size);
}

toff_t tiffSeek(thandle_t handle, toff_t offset, int whence)
{
    auto *device = static_cast<QIODevice *>(handle);
    const qint64 base = whence == SEEK_CUR ? device->pos() : whence == SEEK_END ? device->size() : 0;
    const qint64 position = base + qint64(offset);
    return device->seek(position) ? toff_t(position) : toff_t(-1);
}

int tiffClose(thandle_t)
{
    return 0;
}

toff_t tiffSize(thandle_t device)
{
    return toff_t(static_cast<QIODevice *>(device)->size());
}

int tiffMap(thandle_t, tdata_t *, toff_t *)
{
    return 0;
}

void tiffUnmap(thandle_t, tdata_t, toff_t) {}

// TIFF through libtiff, so that the file can carry the pixel size: the resolution tags in
// pixels per micrometre with no unit, and the description that names the unit the way image
// analysis programs (ImageJ and its kin) read it. Grey pictures stay one channel; LZW as before.
bool encodeTiff(const QImage &image, double micrometresPerPixel, QByteArray &bytes, QString &error)
{
    const bool grey = image.format() == QImage::Format_Grayscale8 ||
                      (image.format() == QImage::Format_Indexed8 && image.isGrayscale());
    const QImage pixels = image.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (pixels.isNull()) {
        error = QStringLiteral("empty picture");
        return false;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    TIFF *tiff =
        TIFFClientOpen("picture", "w", &buffer, tiffRead, tiffWrite, tiffSeek, tiffClose, tiffSize, tiffMap, tiffUnmap);
    if (!tiff) {
        error = QStringLiteral("libtiff could not start the file");
        return false;
    }
    const int samples = grey ? 1 : 3;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(pixels.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(pixels.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    if (micrometresPerPixel > 0) {
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 1.0 / micrometresPerPixel);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 1.0 / micrometresPerPixel);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
        TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, "ImageJ=1.53t\nunit=micron\n");
    }
    bool written = true;
    for (int y = 0; written && y < pixels.height(); ++y)
        written = TIFFWriteScanline(tiff, const_cast<uchar *>(pixels.constScanLine(y)), uint32_t(y), 0) == 1;
    written = written && TIFFWriteDirectory(tiff) == 1;
    TIFFClose(tiff);
    if (!written)
        error = QStringLiteral("libtiff could not encode the picture");
    return written;
}

// "name; X um/pixel".
QString calibrationText(const PhotoSaver::PixelSize &size)
{
    return QStringLiteral("%1; %2 um/pixel").arg(size.calibration, QString::number(size.micrometres, 'g', 8));
}

} // namespace

namespace PhotoSaver {

QString folderOrDefault(const QString &folder)
{
    QString path = folder;
    if (path.isEmpty()) {
        path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QLatin1Char('/') +
               QGuiApplication::applicationDisplayName();
        qInfo().noquote() << "VideoWidget save path is empty, use " << path << " instead.";
    }
    QDir().mkpath(path);
    return path;
}

bool canHoldGraphics(const QString &format)
{
    const QByteArray name = writerFormat(format);
    if (!hasQtWriter(name))
        return false;
    QBuffer buffer;
    QImageWriter writer(&buffer, name);
    return writer.supportsOption(QImageIOHandler::Description);
}

QString graphicsWarning(const QString &format)
{
    return QStringLiteral("The %1 image format does not support saving graphics elements, please switch to other "
                          "image formats!")
        .arg(format);
}

QString saveAsFilter()
{
    return QStringLiteral("Images (*.bmp);;Images (*.jpg);;Images (*.png);;Images (*.tiff);;Images (*.tif)");
}

bool save(const QImage &image, const QString &path, const QString &graphicsText, QString *error,
          const PixelSize &pixelSize)
{
    const QByteArray format = writerFormat(QFileInfo(path).suffix());
    const bool calibrated = pixelSize.micrometres > 0 && std::isfinite(pixelSize.micrometres);
    if (format == "tiff" || !hasQtWriter(format)) {
        QByteArray bytes;
        QString reason;
        const bool encoded = format == "tiff" ? encodeTiff(image, calibrated ? pixelSize.micrometres : 0, bytes, reason)
                                              : encodeWithOpenCv(image, format, bytes, reason);
        if (!encoded) {
            qWarning().noquote() << QStringLiteral("Could not save %1: %2").arg(path, reason);
            if (error)
                *error = reason;
            return false;
        }
        return AtomicFile::write(path, bytes, error);
    }
    QImage picture = image;
    // JPEG keeps its density in dots per inch in 16 bits, too few for a microscope's pixels.
    if (calibrated && format != "jpg" && 1e6 / pixelSize.micrometres <= INT_MAX) {
        picture.setDotsPerMeterX(qRound(1e6 / pixelSize.micrometres));
        picture.setDotsPerMeterY(picture.dotsPerMeterX());
    }
    return AtomicFile::write(
        path,
        [&](QIODevice &device, QString &reason) {
            QImageWriter writer(&device, format);
            // Only lossy formats lose anything below 100; for PNG the value would merely turn
            // compression off.
            if (format == "jpg")
                writer.setQuality(100);
            if (!graphicsText.isEmpty() && writer.supportsOption(QImageIOHandler::Description))
                writer.setText(QStringLiteral("Exif.Graphics"), graphicsText);
            if (calibrated && writer.supportsOption(QImageIOHandler::Description))
                writer.setText(QStringLiteral("Calibration"), calibrationText(pixelSize));
            if (writer.write(picture))
                return true;
            reason = writer.errorString();
            return false;
        },
        error);
}

QImage merged(const QImage &picture, double textScale, const GraphicsPainter &paintGraphics,
              const QVector<RenderTextInfo> &watermark)
{
    QImage out =
        picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (paintGraphics) {
        painter.save();
        paintGraphics(painter, textScale);
        painter.restore();
    }
    // As the live view lays out its watermark: positions and sizes are given for a
    // 1920 x 1080 picture, y counts the baseline from the bottom edge, and a negative x or y
    // measures from the right or top edge.
    const double w = out.width();
    const double h = out.height();
    const double scale = std::max({w / 1920.0, h / 1080.0, 0.4});
    for (const RenderTextInfo &info : watermark) {
        QFont font;
        font.setPixelSize(std::max(1, qRound(info.fontSize * scale)));
        const QFontMetricsF metrics(font);
        double x = info.x * scale;
        if (info.x < 0)
            x += w - metrics.horizontalAdvance(info.text);
        const double baseline = info.y < 0 ? -info.y * scale + metrics.ascent() : h - info.y * scale;
        painter.setFont(font);
        painter.setPen(info.color);
        painter.drawText(QPointF(x, baseline), info.text);
    }
    painter.end();
    return out;
}

} // namespace PhotoSaver
