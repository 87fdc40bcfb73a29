#include "flatfieldfile.h"

#include "atomicfile.h"

#include <QDataStream>
#include <QDebug>
#include <QFile>

#include <cstring>

namespace FlatFieldFile {

bool save(const QImage &frame, const QString &path)
{
    if (frame.isNull()) {
        qWarning().noquote() << "saveFFCAverageFrameToFile. The frame is empty:" << path;
        return false;
    }
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    return AtomicFile::write(path, [&rgb](QIODevice &device, QString &error) {
        const qint32 stride = qint32(rgb.bytesPerLine());
        QDataStream out(&device);
        out.setByteOrder(QDataStream::LittleEndian);
        out << Version << HeaderLength << qint32(rgb.width()) << qint32(rgb.height()) << stride;
        for (int y = 0; y < rgb.height(); ++y)
            out.writeRawData(reinterpret_cast<const char *>(rgb.constScanLine(y)), stride);
        if (out.status() == QDataStream::Ok)
            return true;
        error = device.errorString();
        return false;
    });
}

QImage read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Could not open the file for reading:" << path;
        return {};
    }
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    qint32 version = 0;
    qint32 headerLength = 0;
    in >> version >> headerLength;
    if (in.status() != QDataStream::Ok) {
        qWarning().noquote() << "Error occurred while reading the file:" << path;
        return {};
    }
    qDebug().noquote()
        << QStringLiteral("readFFCAverageFrameFromFile version=%1, len=%2").arg(version).arg(headerLength);
    if (version != Version) {
        qWarning() << "Version check failed!";
        return {};
    }
    if (headerLength != HeaderLength) {
        qWarning() << "headerLen check failed!";
        return {};
    }

    qint32 width = 0;
    qint32 height = 0;
    qint32 stride = 0;
    in >> width >> height >> stride;
    if (in.status() != QDataStream::Ok) {
        qWarning().noquote() << "Error occurred while reading the file:" << path;
        return {};
    }
    qDebug().noquote() << QStringLiteral("readFFCAverageFrameFromFile width=%1, height=%2, stride=%3")
                              .arg(width)
                              .arg(height)
                              .arg(stride);

    // The header is untrusted: check it against itself and against the file before allocating.
    if (width <= 0 || height <= 0 || qint64(stride) < 3 * qint64(width)) {
        qWarning().noquote() << QStringLiteral("readFFCAverageFrameFromFile. Impossible frame geometry width=%1, "
                                               "height=%2, stride=%3 in %4")
                                    .arg(width)
                                    .arg(height)
                                    .arg(stride)
                                    .arg(path);
        return {};
    }
    const qint64 pixelBytes = qint64(stride) * qint64(height);
    if (pixelBytes > file.size() - file.pos()) {
        qWarning().noquote() << "Error occurred while reading the file:" << path;
        return {};
    }

    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        qWarning().noquote() << QStringLiteral("readFFCAverageFrameFromFile. Cannot allocate a %1 x %2 frame for %3")
                                    .arg(width)
                                    .arg(height)
                                    .arg(path);
        return {};
    }
    // Rows are copied one by one: the stored stride need not match QImage's own alignment.
    QByteArray row(stride, Qt::Uninitialized);
    const std::size_t rowBytes = std::size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        if (in.readRawData(row.data(), stride) != stride) {
            qWarning().noquote() << "Error occurred while reading the file:" << path;
            return {};
        }
        std::memcpy(image.scanLine(y), row.constData(), rowBytes);
    }
    return image;
}

} // namespace FlatFieldFile
