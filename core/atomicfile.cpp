#include "atomicfile.h"

#include <QDebug>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace AtomicFile {

namespace {

// What QSaveFile::commit() does not check: the error of the last write, data still in its
// buffer (written by close(), whose failure commit() ignores), and errors the kernel only
// reports on sync.
QString pendingError(QSaveFile &file)
{
    if (file.error() != QFileDevice::NoError || !file.flush())
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

} // namespace

bool write(const QString &path, const Writer &fill, QString *error)
{
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (!fill(file, reason)) {
        if (reason.isEmpty())
            reason = file.errorString();
    } else {
        reason = pendingError(file);
        if (reason.isEmpty() && !file.commit())
            reason = file.errorString();
    }
    if (reason.isEmpty())
        return true;
    // commit() would still rename whatever reached the temporary file.
    file.cancelWriting();
    qWarning().noquote() << QStringLiteral("Could not save %1: %2. The previous file is kept.").arg(path, reason);
    if (error)
        *error = reason;
    return false;
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    return write(
        path,
        [&bytes](QIODevice &device, QString &reason) {
            if (device.write(bytes) == bytes.size())
                return true;
            reason = device.errorString();
            return false;
        },
        error);
}

bool writeImage(const QString &path, const QImage &image, QString *error)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "tif")
        format = "tiff";
    return write(
        path,
        [&](QIODevice &device, QString &reason) {
            QImageWriter writer(&device, format);
            if (writer.write(image))
                return true;
            reason = writer.errorString();
            return false;
        },
        error);
}

} // namespace AtomicFile
