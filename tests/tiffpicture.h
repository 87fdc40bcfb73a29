#pragma once

// A TIFF file as libtiff reads it: the pixels and the tags that carry the pixel size.

#include <QFile>
#include <QImage>
#include <QString>

#include <tiffio.h>

struct TiffPicture
{
    QImage image; // null when the file is no readable TIFF
    float xResolution = 0;
    float yResolution = 0;
    int resolutionUnit = 0;
    QString description;
};

inline TiffPicture readTiff(const QString &path)
{
    TiffPicture picture;
    TIFF *tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return picture;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t unit = 0;
    char *description = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &picture.xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &picture.yResolution);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    picture.resolutionUnit = unit;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description))
        picture.description = QString::fromLatin1(description);
    // libtiff's packed pixels are R, G, B, A in memory order.
    QImage image(int(width), int(height), QImage::Format_RGBA8888);
    if (!image.isNull() && TIFFReadRGBAImageOriented(tiff, width, height, reinterpret_cast<uint32_t *>(image.bits()),
                                                     ORIENTATION_TOPLEFT, 0))
        picture.image = image;
    TIFFClose(tiff);
    return picture;
}
