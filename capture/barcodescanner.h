#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class QImage;
class QPixmap;

// Reads one bar code, QR code, Data Matrix or other symbol from a still picture.
class BarcodeScanner : public QObject
{
    Q_OBJECT

public:
    explicit BarcodeScanner(QObject *parent = nullptr);

public slots:
    // Fills `result` with the decoded text, or leaves it empty when nothing was read. First the
    // barcode library (in a child process, over several prepared copies of the picture), then,
    // when its model files are present, the QR detector network on a reduced, smoothed copy.
    void deocdeImage(QString &result, const QImage &img);
};

// Draws the scanned text in a rounded label near the top of the photograph, sized to the
// picture; an empty text or a null pixmap leaves it unchanged.
void stampScanResult(QPixmap &pixmap, const QString &text);

// The part of the picture a scan reads: the region with its corners and size rounded down to
// even numbers, clipped to the picture; the whole picture when the region is null.
QImage scanArea(const QImage &picture, const QRect &region);
