#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;
class QImage;

// Writes whole files through a temporary file and a rename (QSaveFile). QSaveFile::commit()
// alone reports success when its buffered data never reached the disk (a full volume) and
// then replaces the old file with a short or empty one; here every byte is flushed, checked
// and synced first, and on any failure the old file stays as it was. Failures are logged
// with the file and the reason.
namespace AtomicFile {

// Fills the open device; returns false with `error` set to refuse the write.
using Writer = std::function<bool(QIODevice &device, QString &error)>;

// True when the file now holds exactly what `fill` wrote; otherwise `error` (when given)
// says why and the previous file, if any, is untouched.
bool write(const QString &path, const Writer &fill, QString *error = nullptr);
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// A picture in the format its file name's suffix names (png, jpg, bmp, tif, ...).
bool writeImage(const QString &path, const QImage &image, QString *error = nullptr);

} // namespace AtomicFile
