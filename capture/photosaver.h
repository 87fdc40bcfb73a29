#pragma once

#include "rendertextinfo.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

class QPainter;

// Writing captured pictures: the folder, the file (with the measurement graphics where the
// format can hold them) and the picture with the graphics and the watermark painted in.
namespace PhotoSaver {

// Paints overlays into a picture; `textScale` is the chosen text scaling (1.0 = 100 %).
using GraphicsPainter = std::function<void(QPainter &painter, double textScale)>;

// `folder`, or when it is empty the user's pictures folder + "/" + the application display
// name; created when missing.
QString folderOrDefault(const QString &folder);

// Whether a file of this format (an extension: "png", "jpg", "tif", ...) can carry the
// graphics text.
bool canHoldGraphics(const QString &format);
QString graphicsWarning(const QString &format);
// The file filter of the "Save As" dialog.
QString saveAsFilter();

// What one pixel of a picture measures, for its file to carry.
struct PixelSize
{
    double micrometres = 0; // per pixel of the picture as saved; 0: not calibrated
    QString calibration;    // the name of the calibration it comes from
};

// Writes `image` at full quality in the format the path's suffix names, through a temporary
// file so that a failure leaves any previous file as it was. A non-empty `graphicsText` is
// stored as the "Exif.Graphics" text where the format can hold it. A calibrated `pixelSize`
// goes into a TIFF as the resolution tags (pixels per micrometre, no unit) and the description
// image analysis programs read the unit from; PNG and JPEG get the "Calibration" text, PNG
// and BMP the pixels per metre.
bool save(const QImage &image, const QString &path, const QString &graphicsText = QString(), QString *error = nullptr,
          const PixelSize &pixelSize = PixelSize());

// The picture with `paintGraphics` (may be empty) painted at `textScale` and the watermark
// texts drawn as the live view draws them.
QImage merged(const QImage &picture, double textScale, const GraphicsPainter &paintGraphics,
              const QVector<RenderTextInfo> &watermark);

} // namespace PhotoSaver
