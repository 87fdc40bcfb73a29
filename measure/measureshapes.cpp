#include "measureshapes.h"

#include "measuregeometry.h"
#include "unitconverter.h"

#include <QLineF>
#include <QPolygonF>
#include <QtMath>

#include <algorithm>
#include <cmath>

using namespace MeasureGeometry;
using MeasureShapes::Entries;

namespace {

using Points = QVector<QPointF>;

// Every label is written with its line end; the last of a shape's entries has none.
Entries &finish(Entries &entries)
{
    if (!entries.isEmpty() && entries.last().label.endsWith('\n'))
        entries.last().label.chop(1);
    return entries;
}

MeasureEntry entry(const QString &label, double value, bool area = false)
{
    return MeasureEntry{label, value, area};
}

QString numbered(const char *keyword, int n)
{
    return QLatin1String(keyword) + QString::number(n) + QLatin1String(" = %1%2\n");
}

double distanceToLine(const QPointF &q, const QPointF &p, const QPointF &a)
{
    return distance(q, perpendicularFoot(q, p, a));
}

// R, CLen and Area of circle n (2πR for the perimeter).
void appendNumberedCircle(Entries &entries, int n, double radius)
{
    entries << entry(numbered("R", n), radius) << entry(numbered("CLen", n), kTwoPi * radius)
            << entry(numbered("Area", n), kPi * radius * radius, true);
}

std::optional<Entries> segmentLength(const Points &p)
{
    Entries e{entry("Len = %1%2", distance(p[0], p[1]))};
    return e;
}

std::optional<Entries> anyLine(const Points &p)
{
    const QPolygonF polygon(p);
    Entries e{entry("Len = %1%2\n", polylineLength(polygon, false)), entry("Area = %1%2", polygonArea(polygon), true)};
    return e;
}

// Par and Ver: the base line and the distance of the third point from it.
std::optional<Entries> lineAndDistance(const Points &p)
{
    Entries e{entry("Len = %1%2\n", distance(p[0], p[1])), entry("Dis = %1%2", distanceToLine(p[2], p[0], p[1]))};
    return e;
}

std::optional<Entries> fourPointParLine(const Points &p)
{
    Entries e{entry("Dis = %1%2", distanceToLine((p[2] + p[3]) / 2, p[0], p[1]))};
    return e;
}

// AnyPar and AnyVerLine: one numbered distance from the base line per further point.
std::optional<Entries> distancesFromBase(const Points &p)
{
    Entries e;
    for (int i = 2; i < p.size(); ++i)
        e << entry(QStringLiteral("[%1] Dis = ").arg(i - 1) + QLatin1String("%1%2\n"),
                   distanceToLine(p[i], p[0], p[1]));
    return finish(e);
}

std::optional<Entries> fourPointVerLine(const Points &p)
{
    Entries e{entry("Len1 = %1%2\n", distance(p[0], p[1])), entry("Len2 = %1%2", distance(p[2], p[3]))};
    return e;
}

std::optional<Entries> fourAng(const Points &p)
{
    double angle = std::trunc(QLineF(p[0], p[1]).angleTo(QLineF(p[2], p[3])));
    if (angle > 180)
        angle = 360 - angle;
    Entries e{entry("Angle = %1%2", angle)};
    return e;
}

std::optional<Entries> threeAng(const Points &p)
{
    const double theta = QLineF(p[0], p[1]).angleTo(QLineF(p[1], p[2]));
    Entries e{entry("Angle = %1%2", 180 - std::min(theta, 360 - theta))};
    return e;
}

Entries rectangle(double width, double height)
{
    Entries e{entry("GraphicsRect\n", 0), entry("Wid = %1%2\n", width), entry("Hei = %1%2\n", height),
              entry("CLen = %1%2\n", 2 * (width + height)), entry("Area = %1%2", std::abs(width * height), true)};
    return e;
}

std::optional<Entries> rect(const Points &p)
{
    return rectangle(std::abs(p[1].x() - p[0].x()), std::abs(p[1].y() - p[0].y()));
}

std::optional<Entries> threePointRect(const Points &p)
{
    return rectangle(distance(p[0], p[1]), distance(p[1], p[2]));
}

std::optional<Entries> arc(const Points &p)
{
    const ArcShape shape = arcThroughPoints(p[0], p[1], p[2]);
    MeasureEntry sweep = entry("Radian = %1%2\n", std::abs(shape.sweep));
    sweep.isRadian = true;
    Entries e{sweep, entry("CLen = %1%2\n", shape.circle.radius * qDegreesToRadians(std::abs(shape.sweep))),
              entry("R = %1%2", shape.circle.radius)};
    return e;
}

Entries circle(const Circle &c)
{
    Entries e{entry("GraphicsCir\n", 0), entry("R = %1%2\n", c.radius), entry("D = %1%2\n", 2 * c.radius),
              entry("CLen = %1%2\n", kTwoPi * c.radius), entry("Area = %1%2", kPi * c.radius * c.radius, true)};
    return e;
}

std::optional<Entries> cir(const Points &p)
{
    return circle(circleThroughPoints(p[0], p[1], p[2]));
}

std::optional<Entries> radiusCir(const Points &p)
{
    return circle(Circle{p[0], distance(p[0], p[1])});
}

std::optional<Entries> diameterCir(const Points &p)
{
    return circle(Circle{(p[0] + p[1]) / 2, distance(p[0], p[1]) / 2});
}

// Diameters are cut to whole pixels; the area keeps the exact axes.
Entries ellipse(const EllipseShape &shape)
{
    const double d1 = std::trunc(std::max(shape.axis1, shape.axis2));
    const double d2 = std::trunc(std::min(shape.axis1, shape.axis2));
    // A flat ellipse below one pixel has no defined eccentricity: shown as a circle's.
    const double eccentricity = d1 > 0 ? std::sqrt(1 - d2 * d2 / (d1 * d1)) : 0.0;
    Entries e{entry("GraphicsEllipse\n", 0),
              entry("D1 = %1%2\n", d1),
              entry("D2 = %1%2\n", d2),
              entry("CLen = %1%2\n", 4 * (d1 / 2 - d2 / 2) + kPi * d2),
              entry("Area = %1%2\n", kPi * shape.axis1 * shape.axis2 / 4, true),
              entry("Eccentricity = %1", eccentricity)};
    return e;
}

std::optional<Entries> twoPointEllipse(const Points &p)
{
    return ellipse(ellipseInRect(p[0], p[1]));
}

std::optional<Entries> threePointEllipse(const Points &p)
{
    return ellipse(ellipseFromAxis(p[0], p[1], p[2]));
}

std::optional<Entries> fivePointEllipse(const Points &p)
{
    const std::optional<EllipseShape> fitted = fitEllipse(p);
    if (!fitted)
        return std::nullopt;
    return ellipse(*fitted);
}

std::optional<Entries> poly(const Points &p)
{
    const QPolygonF polygon(p);
    Entries e{entry("CLen = %1%2\n", polylineLength(polygon, true)), entry("Area = %1%2", polygonArea(polygon), true)};
    return e;
}

// The header and the first circle's R, CLen and Area, unnumbered.
Entries circleFamily(const char *header, const Circle &c)
{
    Entries e{entry(QLatin1String(header), 0), entry("R = %1%2\n", c.radius), entry("CLen = %1%2\n", kTwoPi * c.radius),
              entry("Area = %1%2\n", kPi * c.radius * c.radius, true)};
    return e;
}

std::optional<Entries> lCir(const Points &p)
{
    const Circle c = circleThroughPoints(p[0], p[1], p[2]);
    Entries e = circleFamily("GraphicsLCir\n", c);
    if (p.size() > 3)
        e << entry("Len = %1%2", distance(c.centre, p[3]));
    return finish(e);
}

std::optional<Entries> cCir(const Points &p)
{
    const Circle c = circleThroughPoints(p[0], p[1], p[2]);
    Entries e = circleFamily("GraphicsCCir\n", c);
    if (p.size() > 4) {
        // The line a·x + b·y + k = 0 through p3 and p4; a single point stands for itself.
        const double a = p[4].y() - p[3].y();
        const double b = p[3].x() - p[4].x();
        const double k = p[4].x() * p[3].y() - p[3].x() * p[4].y();
        const double norm = std::sqrt(a * a + b * b);
        const double dis =
            norm > 0 ? std::abs(a * c.centre.x() + b * c.centre.y() + k) / norm : distance(c.centre, p[3]);
        e << entry("Dis = %1%2\n", dis) << entry("Len = %1%2", distance(p[3], p[4]));
    }
    return finish(e);
}

// Two circles and the distance `dis`; while the second is not defined, the first alone.
Entries twoCircles(const char *header, const Circle &first, const std::optional<Circle> &second,
                   std::optional<double> dis)
{
    Entries e;
    if (header)
        e << entry(QLatin1String(header), 0);
    appendNumberedCircle(e, 1, first.radius);
    if (second) {
        appendNumberedCircle(e, 2, second->radius);
        if (dis)
            e << entry("Dis = %1%2", *dis);
    }
    return finish(e);
}

std::optional<Entries> tCir(const Points &p)
{
    const Circle first = circleThroughPoints(p[0], p[1], p[2]);
    if (p.size() < 6)
        return twoCircles("GraphicsTCir\n", first, std::nullopt, std::nullopt);
    const Circle second = circleThroughPoints(p[3], p[4], p[5]);
    return twoCircles("GraphicsTCir\n", first, second, distance(first.centre, second.centre));
}

std::optional<Entries> fourPointTCir(const Points &p)
{
    const Circle first{p[0], distance(p[0], p[1])};
    if (p.size() < 4)
        return twoCircles("GraphicsTCir\n", first, std::nullopt, std::nullopt);
    return twoCircles("GraphicsTCir\n", first, Circle{p[2], distance(p[2], p[3])}, distance(p[0], p[2]));
}

std::optional<Entries> fourPointConcentricCir(const Points &p)
{
    const Circle first = circleThroughPoints(p[0], p[1], p[2]);
    if (p.size() < 4)
        return twoCircles(nullptr, first, std::nullopt, std::nullopt);
    const Circle second{first.centre, distance(first.centre, p[3])};
    return twoCircles(nullptr, first, second, std::abs(first.radius - second.radius));
}

std::optional<Entries> centerRadiusConcentricCir(const Points &p)
{
    const Circle first{p[0], distance(p[0], p[1])};
    if (p.size() < 3)
        return twoCircles(nullptr, first, std::nullopt, std::nullopt);
    return twoCircles(nullptr, first, Circle{p[0], distance(p[0], p[2])}, std::nullopt);
}

std::optional<Entries> anyPointConcentricCir(const Points &p)
{
    Entries e;
    for (int i = 1; i < p.size(); ++i)
        appendNumberedCircle(e, i, distance(p[0], p[i]));
    return finish(e);
}

std::optional<Entries> pointPosition(const Points &p)
{
    MeasureEntry position = entry("(%1,%2)", p[0].x());
    position.isPosition = true;
    position.y = p[0].y();
    Entries e{position};
    return e;
}

} // namespace

namespace MeasureShapes {

const QVector<ToolKind> &toolKinds()
{
    static const QVector<ToolKind> kinds{
        {DrawType::Line, "Line", 2, 2, segmentLength},
        {DrawType::ThreePointLine, "ThreePointLine", 3, 2, segmentLength},
        {DrawType::HLine, "HLine", 2, 2, segmentLength},
        {DrawType::VLine, "VLine", 2, 2, segmentLength},
        {DrawType::AnyLine, "AnyLine", 0, 2, anyLine},
        {DrawType::Par, "Par", 3, 3, lineAndDistance},
        {DrawType::FourPointParLine, "FourPointParLine", 4, 4, fourPointParLine},
        {DrawType::AnyPar, "AnyPar", 0, 2, distancesFromBase},
        {DrawType::Ver, "Ver", 3, 3, lineAndDistance},
        {DrawType::FourPointVerLine, "FourPointVerLine", 4, 4, fourPointVerLine},
        {DrawType::AnyVerLine, "AnyVerLine", 0, 2, distancesFromBase},
        {DrawType::FourAng, "FourAng", 4, 4, fourAng},
        {DrawType::ThreeAng, "ThreeAng", 3, 3, threeAng},
        {DrawType::Rect, "Rect", 2, 2, rect},
        {DrawType::ThreePointRect, "ThreePointRect", 3, 3, threePointRect},
        {DrawType::Arc, "Arc", 3, 3, arc},
        {DrawType::Cir, "Cir", 3, 3, cir},
        {DrawType::RadiusCir, "RadiusCir", 2, 2, radiusCir},
        {DrawType::DiameterCir, "DiameterCir", 2, 2, diameterCir},
        {DrawType::TwoPointEllipse, "TwoPointEllipse", 2, 2, twoPointEllipse},
        {DrawType::ThreePointEllipse, "ThreePointEllipse", 3, 3, threePointEllipse},
        {DrawType::FivePointEllipse, "FivePointEllipse", 5, 5, fivePointEllipse},
        {DrawType::Poly, "Poly", 0, 2, poly},
        {DrawType::LCir, "LCir", 4, 3, lCir},
        {DrawType::TCir, "TCir", 6, 3, tCir},
        {DrawType::CCir, "CCir", 5, 3, cCir},
        {DrawType::FourPointTCir, "FourPointTCir", 4, 2, fourPointTCir},
        {DrawType::FourPointConcentricCir, "FourPointConcentricCir", 4, 3, fourPointConcentricCir},
        {DrawType::CenterRadiusConcentricCir, "CenterRadiusConcentricCir", 3, 2, centerRadiusConcentricCir},
        {DrawType::LText, "LText", 1, 1, nullptr},
        {DrawType::PointPosition, "PointPosition", 1, 1, pointPosition},
        {DrawType::PointSerialNumber, "PointSerialNumber", 1, 1, nullptr}, // numbered by the scene
        {DrawType::LCali, "LCali", 2, 2, nullptr},
        {DrawType::CCali, "CCali", 3, 3, nullptr},
        {DrawType::MarkRect, "MarkRect", 2, 2, nullptr},
        {DrawType::MarkCir, "MarkCir", 3, 3, nullptr},
        {DrawType::MarkArrow, "MarkArrow", 2, 2, nullptr},
        {DrawType::MarkAnyLine, "MarkAnyLine", 0, 2, nullptr},
        {DrawType::CropRect, "CropRect", 2, 2, nullptr},
        {DrawType::AnyPointConcentricCir, "AnyPointConcentricCir", 0, 2, anyPointConcentricCir},
    };
    return kinds;
}

const ToolKind *toolKind(DrawType type)
{
    for (const ToolKind &kind : toolKinds()) {
        if (kind.type == type)
            return &kind;
    }
    return nullptr;
}

const ToolKind *toolKind(const QString &className)
{
    for (const ToolKind &kind : toolKinds()) {
        if (className == QLatin1String(kind.className))
            return &kind;
    }
    return nullptr;
}

QString typeName(DrawType type)
{
    if (type == DrawType::PointPosition)
        return QStringLiteral("Position");
    if (type == DrawType::PointSerialNumber)
        return QStringLiteral("SerialNumber");
    const ToolKind *kind = toolKind(type);
    return kind ? QString::fromLatin1(kind->className) : QString();
}

bool isComplete(DrawType type, int count)
{
    const ToolKind *kind = toolKind(type);
    if (!kind || kind->points == 0)
        return false;
    // A serial number is placed by the press after the first point.
    return type == DrawType::PointSerialNumber ? count > 1 : count >= kind->points;
}

bool isFinished(DrawType type, const QVector<QPointF> &points)
{
    if (!isComplete(type, points.size()))
        return false;
    const QPointF &last = points.last();
    return std::none_of(points.cbegin(), points.cend() - 1, [&](const QPointF &p) { return fuzzyEqual(p, last); });
}

std::optional<Entries> measure(DrawType type, const QVector<QPointF> &points)
{
    const ToolKind *kind = toolKind(type);
    if (!kind || points.size() < kind->minimum)
        return std::nullopt;
    return kind->measure ? kind->measure(points) : Entries();
}

int toolUnit(DrawType type, int sceneUnit)
{
    if (type == DrawType::FourAng || type == DrawType::ThreeAng)
        return Unit::Degree;
    return type == DrawType::LText ? Unit::None : sceneUnit;
}

} // namespace MeasureShapes
