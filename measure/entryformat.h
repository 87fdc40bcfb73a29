#pragma once

#include "measureentry.h"
#include "unitconverter.h"

#include <QVector>

// How a result label turns a shape's entries into its text.
struct EntryFormat
{
    UnitConverter converter;
    int unit = Unit::Pixel;
    int precision = 2; // decimals
    int sequence = 0;  // above 0: every line starts with "[N] "

    // The number shown for the entry: converted into the unit, in radians, or as it is.
    double number(const MeasureEntry &entry, bool ellipse) const;
    // What follows the number: the unit (with "²" for areas), " rad", or nothing.
    QString suffix(const MeasureEntry &entry, bool ellipse) const;
    // One entry's line, its label keywords translated ("GraphicsText" context).
    QString line(const MeasureEntry &entry, bool ellipse) const;
    // All lines but the header joined, without the last line end.
    QString text(const QVector<MeasureEntry> &entries) const;
    // Whether the entries are an ellipse's: its keys keep their digits.
    static bool isEllipse(const QVector<MeasureEntry> &entries);
    // The entry's name: its label before "=" without white space, without digits unless kept.
    static QString key(const MeasureEntry &entry, bool keepDigits);
};
