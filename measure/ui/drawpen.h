#pragma once

#include "drawproperty.h"

#include <QMap>
#include <QPen>
#include <QVariant>

#include <optional>

// The pen with the colour, width and style the map holds for those keys; keys not given or absent,
// and widths or styles that would draw nothing, leave the pen's own.
QPen drawPen(QPen pen, const QMap<DrawProperty, QVariant> &properties, std::optional<DrawProperty> colour,
             std::optional<DrawProperty> width, std::optional<DrawProperty> style);
