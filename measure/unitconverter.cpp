#include "unitconverter.h"

namespace {

struct UnitRow
{
    const char *name;
    double micrometres; // per unit
    double areaDivisor; // square micrometres per square unit
};

// Codes 1 to 10; the pixel unit has no physical size.
const UnitRow kUnits[] = {
    {"pix", 0, 0},     {"pm", 1e-6, 1e-12}, {"\u00c5", 1e-4, 1e-8}, {"nm", 0.001, 1e-6},   {"um", 1, 1},
    {"mm", 1000, 1e6}, {"cm", 10000, 1e8},  {"m", 1e6, 1e12},       {"mil", 25.4, 645.16}, {"inch", 25400, 6.4516e8},
};

const UnitRow *row(int unit)
{
    return unit >= Unit::Pixel && unit <= Unit::Inch ? &kUnits[unit - Unit::Pixel] : nullptr;
}

} // namespace

QString UnitConverter::unitName(int unit)
{
    const UnitRow *r = row(unit);
    return r ? QString::fromUtf8(r->name) : QString();
}

int UnitConverter::unitCode(const QString &name)
{
    for (int unit = Unit::Pixel; unit <= Unit::Inch; ++unit) {
        if (name == unitName(unit))
            return unit;
    }
    return -1;
}

double UnitConverter::micrometres(int unit)
{
    const UnitRow *r = row(unit);
    return r ? r->micrometres : 0.0;
}

bool UnitConverter::inPixels(int unit) const
{
    return unit == Unit::Pixel || (row(unit) && calibrationUnit == QLatin1String("pix"));
}

double UnitConverter::toUnit(double value, int unit, bool area) const
{
    if (unit == Unit::Degree)
        return value;
    if (inPixels(unit))
        return area ? value * scale * scale : value * scale;
    const UnitRow *r = row(unit);
    if (!r)
        return 0.0;
    if (area)
        return micrometresPerPixel * micrometresPerPixel * value * scale * scale / r->areaDivisor /
               (resolutionFactor * resolutionFactor);
    return micrometresPerPixel * value * scale / r->micrometres / resolutionFactor;
}

double UnitConverter::toPixels(double length, int unit) const
{
    if (inPixels(unit))
        return length / scale;
    const UnitRow *r = row(unit);
    if (!r)
        return length; // none and degree
    return length * r->micrometres / micrometresPerPixel / scale * resolutionFactor;
}

QString UnitConverter::unitText(int unit) const
{
    if (unit == Unit::Degree)
        return QStringLiteral("\u00b0");
    return inPixels(unit) ? unitName(Unit::Pixel) : unitName(unit);
}
