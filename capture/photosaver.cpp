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

#include <algorithm>
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

// Formats Qt has no writer for (TIFF where its plugin is not installed) go through OpenCV.
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

bool save(const QImage &image, const QString &path, const QString &graphicsText, QString *error)
{
    const QByteArray format = writerFormat(QFileInfo(path).suffix());
    if (!hasQtWriter(format)) {
        QByteArray bytes;
        QString reason;
        if (!encodeWithOpenCv(image, format, bytes, reason)) {
            qWarning().noquote() << QStringLiteral("Could not save %1: %2").arg(path, reason);
            if (error)
                *error = reason;
            return false;
        }
        return AtomicFile::write(path, bytes, error);
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
            if (writer.write(image))
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
