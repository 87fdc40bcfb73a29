#pragma once

#include <QImage>
#include <QString>

// The flat-field reference file (".ffc"): a 20-byte little-endian header (version 1, header
// length 20, width, height, stride, all int32) followed by stride x height bytes of 24-bit
// RGB rows, top row first.
namespace FlatFieldFile {

constexpr qint32 Version = 1;
constexpr qint32 HeaderLength = 20;

// Writes the frame as 24-bit RGB, atomically (a failed write leaves any old file in place).
bool save(const QImage &frame, const QString &path);

// Reads a reference frame as QImage::Format_RGB888; a null image when the file cannot be
// read, has another version or header length, or describes a frame it does not hold.
QImage read(const QString &path);

} // namespace FlatFieldFile
