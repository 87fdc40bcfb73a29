#pragma once

#include <QString>

// One measurement of a shape: the label format ("%1" the number, "%2" the unit) and the value in
// image pixels, square pixels, degrees or a pure number.
struct MeasureEntry
{
    QString label;
    double value = 0.0;
    bool isArea = false;   // converted with the square of the length factor, unit shown with "²"
    bool isRadian = false; // an angle in degrees shown in radians
    // A position "(%1,%2)": value is x and this is y, both converted as lengths.
    bool isPosition = false;
    double y = 0.0;

    // The first entry of circle, rectangle and ellipse outputs names the kind ("GraphicsCir\n")
    // and is not printed.
    bool isHeader() const { return label.startsWith(QLatin1String("Graphics")); }
};
