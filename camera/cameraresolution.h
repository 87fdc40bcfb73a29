#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>
#include <QtGlobal>

// One stream mode of a USB camera: device path, size, "WxH" text and format code
// (0 "MJPEG", 1 "NV12", 2 "YUY2", 3 "H264").
struct CameraResolution
{
    QString devicePath;
    qint64 reserved64 = 0; // carried along unchanged
    int width = 0;
    int height = 0;
    QString resolution; // "%1x%2"
    int format = 0;
    int fps = 0;              // requested frame rate; set by the acquisition thread
    int frameBufferBytes = 0; // set by the acquisition thread
    int reserved3 = 0;        // carried along unchanged

    qint64 pixelCount() const { return qint64(width) * height; }
    static QString text(int width, int height) { return QStringLiteral("%1x%2").arg(width).arg(height); }
};

// Adds a resolution to a list kept in ascending pixel-count order; one with the pixel count
// of a resolution already present is not added. Returns whether it was added.
bool insertResolution(QVector<CameraResolution> &list, const CameraResolution &resolution);
// The entry of the list with the same pixel count, or -1.
int indexOfPixelCount(const QVector<CameraResolution> &list, qint64 pixelCount);

Q_DECLARE_METATYPE(CameraResolution)
