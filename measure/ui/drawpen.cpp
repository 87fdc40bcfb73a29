#include "drawpen.h"

#include <QColor>

QPen drawPen(QPen pen, const QMap<DrawProperty, QVariant> &properties, std::optional<DrawProperty> colour,
             std::optional<DrawProperty> width, std::optional<DrawProperty> style)
{
    const auto value = [&](const std::optional<DrawProperty> &key) {
        return key ? properties.value(*key) : QVariant();
    };
    if (const QVariant v = value(colour); v.isValid()) {
        const QColor c = v.value<QColor>();
        if (c.isValid())
            pen.setColor(c);
    }
    if (const QVariant v = value(width); v.isValid() && v.toDouble() > 0)
        pen.setWidthF(v.toDouble());
    // Stored as Qt's pen style number: 1 solid to 5 dash-dot-dot; 0 would hide the line.
    if (const QVariant v = value(style); v.isValid()) {
        const int s = v.toInt();
        if (s >= Qt::SolidLine && s <= Qt::DashDotDotLine)
            pen.setStyle(Qt::PenStyle(s));
    }
    return pen;
}
