#pragma once

#include <QString>

// Unit codes of the result labels and the unit boxes.
namespace Unit {
enum Code : int {
    None = 0,
    Pixel = 1,
    Picometre = 2,
    Angstrom = 3,
    Nanometre = 4,
    Micrometre = 5,
    Millimetre = 6,
    Centimetre = 7,
    Metre = 8,
    Mil = 9,
    Inch = 10,
    Degree = 11,
};
}

// Converts image pixels into a unit under the current calibration.
struct UnitConverter
{
    double micrometresPerPixel = 1.0;
    QString calibrationUnit = QStringLiteral("pix"); // the unit the calibration was entered in
    double scale = 1.0;                              // image pixels per scene pixel
    double resolutionFactor = 1.0;                   // current stream width over the calibration's

    // The unit names from code 1 to 10, in unit-box order; empty for none and degree.
    static QString unitName(int unit);
    // -1 for a name that is no unit.
    static int unitCode(const QString &name);

    // Micrometres in one `unit`; 0 for the pixel unit, none and degree.
    static double micrometres(int unit);

    // A length in pixels or an area in square pixels, in `unit`; degrees pass unchanged.
    double toUnit(double value, int unit, bool area) const;
    // A length in `unit` in pixels: the inverse of toUnit for lengths.
    double toPixels(double length, int unit) const;
    // The unit text shown after a converted value: "pix" when the value stayed in pixels.
    QString unitText(int unit) const;

private:
    bool inPixels(int unit) const;
};
