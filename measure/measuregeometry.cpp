#include "measuregeometry.h"

#include <QLineF>
#include <QtMath>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace MeasureGeometry {

namespace {

// Points on one line bound no ellipse: the fit would return a sliver along the line.
bool collinear(const QVector<QPointF> &points)
{
    const QPointF origin = points.first();
    QPointF direction;
    for (const QPointF &p : points) {
        if (QPointF::dotProduct(p - origin, p - origin) > QPointF::dotProduct(direction, direction))
            direction = p - origin;
    }
    const double lengthSquared = QPointF::dotProduct(direction, direction);
    return std::all_of(points.cbegin(), points.cend(), [&](const QPointF &p) {
        const QPointF v = p - origin;
        return std::abs(direction.x() * v.y() - direction.y() * v.x()) <= 1e-9 * lengthSquared;
    });
}

} // namespace

Circle circleThroughPoints(const QPointF &u, const QPointF &v, const QPointF &w)
{
    const double s1 = ((u.y() * u.y() - v.y() * v.y()) + (u.x() * u.x() - v.x() * v.x())) / 2;
    const double s2 = ((u.y() * u.y() - w.y() * w.y()) + (u.x() * u.x() - w.x() * w.x())) / 2;
    const double d = (u.x() - w.x()) * (u.y() - v.y()) - (u.y() - w.y()) * (u.x() - v.x());
    if (std::abs(d) < 1e-5)
        return Circle{};
    const double cx = -(s1 * (u.y() - w.y()) - s2 * (u.y() - v.y())) / d;
    const double cy = -(s2 * (u.x() - v.x()) - s1 * (u.x() - w.x())) / d;
    return Circle{QPointF(cx, cy), std::hypot(u.x() - cx, u.y() - cy)};
}

QPointF perpendicularFoot(const QPointF &q, const QPointF &p, const QPointF &a)
{
    const QPointF direction = p - a;
    const double lengthSquared = QPointF::dotProduct(direction, direction);
    if (lengthSquared == 0.0)
        return p; // no line: the foot is the point itself
    const double t = QPointF::dotProduct(q - p, direction) / lengthSquared;
    return p + t * direction;
}

double distance(const QPointF &a, const QPointF &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

bool fuzzyEqual(double a, double b)
{
    if (a == 0.0 || b == 0.0)
        return std::abs(a - b) <= 1e-12;
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

bool fuzzyEqual(const QPointF &a, const QPointF &b)
{
    return fuzzyEqual(a.x(), b.x()) && fuzzyEqual(a.y(), b.y());
}

double signedArea(const QPolygonF &polygon)
{
    double sum = 0.0;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF &a = polygon.at(i);
        const QPointF &b = polygon.at((i + 1) % polygon.size());
        sum += a.x() * b.y() - b.x() * a.y();
    }
    return sum / 2;
}

double polygonArea(const QPolygonF &polygon)
{
    return polygon.size() < 3 ? 0.0 : std::abs(signedArea(polygon));
}

bool isClockwise(const QPolygonF &polygon)
{
    return signedArea(polygon) > 0.0;
}

double polylineLength(const QPolygonF &points, bool closed)
{
    double length = 0.0;
    for (int i = 1; i < points.size(); ++i)
        length += distance(points.at(i - 1), points.at(i));
    if (closed && points.size() > 1)
        length += distance(points.last(), points.first());
    return length;
}

ArcShape arcThroughPoints(const QPointF &p0, const QPointF &p1, const QPointF &p2)
{
    ArcShape arc;
    arc.circle = circleThroughPoints(p0, p1, p2);
    const double a0 = QLineF(arc.circle.centre, p0).angle();
    const double a1 = QLineF(arc.circle.centre, p1).angle();
    const double a2 = QLineF(arc.circle.centre, p2).angle();
    const double difference = a2 - a0;
    const bool middleBetween = a1 >= std::min(a0, a2) && a1 <= std::max(a0, a2);
    arc.startAngle = a0;
    // The arc must pass the middle point: the other way round the circle when it lies outside.
    arc.sweep = middleBetween ? difference : (difference > 0 ? difference - 360.0 : difference + 360.0);
    return arc;
}

EllipseShape ellipseInRect(const QPointF &p0, const QPointF &p1)
{
    return EllipseShape{(p0 + p1) / 2, std::abs(p1.x() - p0.x()), std::abs(p1.y() - p0.y()), 0.0};
}

EllipseShape ellipseFromAxis(const QPointF &p0, const QPointF &p1, const QPointF &p2)
{
    const double rotation = qRadiansToDegrees(std::atan((p1.y() - p0.y()) / (p1.x() - p0.x()))) + 90.0;
    return EllipseShape{(p0 + p1) / 2, distance(p0, p1), distance(p1, p2), rotation};
}

std::optional<EllipseShape> fitEllipse(const QVector<QPointF> &points)
{
    if (points.size() < 5 || collinear(points))
        return std::nullopt;
    std::vector<cv::Point2f> samples;
    samples.reserve(points.size());
    for (const QPointF &p : points)
        samples.emplace_back(static_cast<float>(p.x()), static_cast<float>(p.y()));
    cv::RotatedRect box;
    try {
        box = cv::fitEllipse(samples);
    } catch (const cv::Exception &) {
        return std::nullopt;
    }
    const double width = box.size.width;
    const double height = box.size.height;
    if (!std::isfinite(width) || !std::isfinite(height) || !std::isfinite(box.angle) || width <= 0.0 || height <= 0.0)
        return std::nullopt;
    EllipseShape ellipse{QPointF(box.center.x, box.center.y), std::max(width, height), std::min(width, height),
                         box.angle};
    if (height > width)
        ellipse.rotation += 90.0;
    return ellipse;
}

} // namespace MeasureGeometry
