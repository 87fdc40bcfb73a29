#pragma once

#include "drawtype.h"
#include "measureentry.h"

#include <QPointF>
#include <QString>
#include <QVector>

#include <optional>

// What every tool kind takes and what its shape measures, from its points in image pixels
// (click order, the point following the mouse last).
namespace MeasureShapes {

using Entries = QVector<MeasureEntry>;

struct ToolKind
{
    DrawType type;
    const char *className; // "Line", "ThreePointLine", ...
    int points;            // clicks to complete; 0: open, finished by double-click
    int minimum;           // fewer points draw and measure nothing
    // None when the points make no shape (an ellipse fit fails); null: a shape without measurements.
    std::optional<Entries> (*measure)(const QVector<QPointF> &points);
};

// Every tool kind, in DrawType order.
const QVector<ToolKind> &toolKinds();
const ToolKind *toolKind(DrawType type);
const ToolKind *toolKind(const QString &className);
// The tool's type name: its class name, except "Position" and "SerialNumber".
QString typeName(DrawType type);

// Whether `count` points (the mouse's included) complete the shape; open tools never do.
bool isComplete(DrawType type, int count);
// Complete, and the last point is none of the earlier ones: a press on an earlier point of the
// shape does not finish it.
bool isFinished(DrawType type, const QVector<QPointF> &points);

// The shape's entries in order; none below its minimum of points or while an ellipse fit fails.
std::optional<Entries> measure(DrawType type, const QVector<QPointF> &points);

// The unit code the tool's results are shown in: angles in degrees and text in none, whatever
// the scene's unit.
int toolUnit(DrawType type, int sceneUnit);

} // namespace MeasureShapes
