// The devices file of the virtual cameras: a test writes its own, and rewriting it plugs and
// unplugs them.
#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// A capture size the device offers; format 12 is MJPEG.
inline QJsonObject virtualCapability(int width, int height, int format = 12)
{
    return QJsonObject{{"width", width}, {"height", height}, {"format", format}};
}

// Writes `devices` as the whole devices file at `path`.
inline bool writeVirtualDevices(const QString &path, const QJsonArray &devices)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(QJsonDocument(QJsonObject{{"devices", devices}}).toJson()) > 0;
}
