#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QVector>

#include <optional>

// The constructions the measuring shapes share, in scene pixels with y downward.
namespace MeasureGeometry {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

struct Circle
{
    QPointF centre;
    double radius = -1.0;
};

// The circle through three points; collinear points give centre (0, 0) and radius -1.
Circle circleThroughPoints(const QPointF &u, const QPointF &v, const QPointF &w);
// The foot of the perpendicular from q onto the line through p and a.
QPointF perpendicularFoot(const QPointF &q, const QPointF &p, const QPointF &a);
double distance(const QPointF &a, const QPointF &b);

// Equal in both coordinates up to rounding: a press on the spot of an earlier point.
bool fuzzyEqual(double a, double b);
bool fuzzyEqual(const QPointF &a, const QPointF &b);

// Shoelace sum halved: positive when the points run clockwise on the screen (y downward).
double signedArea(const QPolygonF &polygon);
// The enclosed area whatever the direction; 0 below 3 points.
double polygonArea(const QPolygonF &polygon);
bool isClockwise(const QPolygonF &polygon);
double polylineLength(const QPolygonF &points, bool closed);

// The arc from the first to the third point through the second, on the circle through all three.
struct ArcShape
{
    Circle circle;
    double startAngle = 0.0; // degrees, counter-clockwise on the screen, 0 at three o'clock
    double sweep = 0.0;      // signed degrees from the start angle to the end point
};
ArcShape arcThroughPoints(const QPointF &p0, const QPointF &p1, const QPointF &p2);

// An ellipse by its two axis lengths (unordered), its centre and the rotation of its first axis.
struct EllipseShape
{
    QPointF centre;
    double axis1 = 0.0;
    double axis2 = 0.0;
    double rotation = 0.0; // degrees
};
// Inscribed in the axis-aligned rectangle with corners p0 and p1.
EllipseShape ellipseInRect(const QPointF &p0, const QPointF &p1);
// One axis p0-p1, the other as long as p1-p2.
EllipseShape ellipseFromAxis(const QPointF &p0, const QPointF &p1, const QPointF &p2);
// Least-squares ellipse through at least five points; none while the fit fails.
std::optional<EllipseShape> fitEllipse(const QVector<QPointF> &points);

} // namespace MeasureGeometry
