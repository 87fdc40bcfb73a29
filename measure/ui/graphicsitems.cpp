#include "graphicsitems.h"

#include "measuregeometry.h"
#include "measureshapes.h"

#include <algorithm>
#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QLineF>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <cmath>

using namespace MeasureGeometry;

namespace {

constexpr double kHandleRadius = 4.0;
constexpr double kAngleArcRadius = 30.0;
constexpr double kArrowHead = 12.0;

void addLine(QPainterPath &path, const QPointF &a, const QPointF &b)
{
    path.moveTo(a);
    path.lineTo(b);
}

void addCircle(QPainterPath &path, const QPointF &centre, double radius)
{
    if (radius > 0)
        path.addEllipse(centre, radius, radius);
}

void addEllipse(QPainterPath &path, const EllipseShape &e, double rotation)
{
    QPainterPath shape;
    shape.addEllipse(QPointF(), e.axis1 / 2, e.axis2 / 2);
    path.addPath(QTransform().translate(e.centre.x(), e.centre.y()).rotate(rotation).map(shape));
}

// The base line p0-p1 moved so that it passes through q.
void addShiftedBase(QPainterPath &path, const QVector<QPointF> &p, const QPointF &q)
{
    const QPointF shift = q - perpendicularFoot(q, p[0], p[1]);
    addLine(path, p[0] + shift, p[1] + shift);
}

// The arc marking the angle at `vertex` from direction `from` to direction `to`, the smaller way.
void addAngleArc(QPainterPath &path, const QPointF &vertex, const QLineF &from, const QLineF &to, double radius)
{
    if (radius <= 0)
        return;
    double sweep = from.angleTo(to);
    if (sweep > 180)
        sweep -= 360;
    const QRectF box(vertex - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
    path.arcMoveTo(box, from.angle());
    path.arcTo(box, from.angle(), sweep);
}

} // namespace

// ---- GraphicsPoint

GraphicsPoint::GraphicsPoint(const QPointF &pos, int constraint, GraphicsConnect *shape)
    : QGraphicsEllipseItem(-kHandleRadius, -kHandleRadius, 2 * kHandleRadius, 2 * kHandleRadius)
    , m_constraint(constraint)
    , m_origin(pos)
{
    setPen(QPen(Qt::white, 0));
    setBrush(QColor(0, 120, 215));
    setZValue(100);
    setCursor(Qt::SizeAllCursor);
    // Handles keep their size on screen at any zoom.
    setFlags(ItemIsMovable | ItemIsSelectable | ItemIgnoresTransformations | ItemSendsGeometryChanges);
    setPos(pos);
    setParentItem(shape);
}

QVariant GraphicsPoint::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionChange) {
        QPointF p = value.toPointF();
        if (m_constraint == 1)
            p.setX(m_origin.x());
        else if (m_constraint == 2)
            p.setY(m_origin.y());
        if (scene()) {
            const QRectF area = scene()->sceneRect();
            p.setX(qBound(area.left(), p.x(), area.right()));
            p.setY(qBound(area.top(), p.y(), area.bottom()));
        }
        return p;
    }
    if (change == ItemPositionHasChanged && parentItem())
        static_cast<GraphicsConnect *>(parentItem()->toGraphicsObject())->handleMoved();
    return QGraphicsEllipseItem::itemChange(change, value);
}

// ---- GraphicsText

GraphicsText::GraphicsText(QGraphicsItem *parent) : QGraphicsSimpleTextItem(parent)
{
    setBrush(Qt::green);
    setFlags(ItemIsMovable | ItemIsSelectable | ItemIgnoresTransformations);
    setZValue(90);
    // Drawn again over every live frame: kept as a pixmap until the text changes.
    setCacheMode(DeviceCoordinateCache);
}

bool GraphicsText::setEntries(const QVector<MeasureEntry> &entries)
{
    m_entries = entries;
    return refresh();
}

bool GraphicsText::refresh()
{
    const QString shown = m_format.text(m_entries);
    if (shown == text())
        return false;
    setText(shown);
    return true;
}

QRectF GraphicsText::boundingRect() const
{
    return QGraphicsSimpleTextItem::boundingRect().adjusted(-2, -2, 2, 2);
}

void GraphicsText::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    if (m_background.alpha() > 0)
        painter->fillRect(boundingRect(), m_background);
    QGraphicsSimpleTextItem::paint(painter, option, widget);
}

void GraphicsText::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    m_placed = true;
    QGraphicsSimpleTextItem::mouseMoveEvent(event);
}

// ---- GraphicsConnect

GraphicsConnect::GraphicsConnect(DrawType kind, GraphicsText *label) : m_kind(kind), m_label(label)
{
    m_pen = QPen(Qt::red, 2);
    m_pen.setCosmetic(true); // as wide on screen at any zoom
    setFlag(ItemIsSelectable);
}

QVector<QPointF> GraphicsConnect::points() const
{
    QVector<QPointF> points;
    points.reserve(m_handles.size());
    for (const GraphicsPoint *handle : m_handles)
        points << handle->pos();
    return points;
}

GraphicsPoint *GraphicsConnect::addHandle(const QPointF &pos, int constraint)
{
    m_building = true; // the new handle's first position is no move of the shape
    auto *handle = new GraphicsPoint(pos, constraint, this);
    m_building = false;
    m_handles << handle;
    updateShape();
    return handle;
}

void GraphicsConnect::removeLastHandle()
{
    if (m_handles.isEmpty())
        return;
    delete m_handles.takeLast();
    updateShape();
}

void GraphicsConnect::handleMoved()
{
    if (m_building)
        return;
    updateShape();
    emit signalItemMove();
}

QVariant GraphicsConnect::updateShape()
{
    const QVector<QPointF> p = points();
    prepareGeometryChange();
    const std::optional<MeasureShapes::Entries> entries = MeasureShapes::measure(m_kind, p);
    m_path = entries ? outline(m_kind, p) : QPainterPath();
    if (!entries)
        return false;
    if (!m_label)
        return true;
    if (!m_label->isPlaced()) {
        const QRectF area = m_path.isEmpty() ? QRectF(p.last(), QSizeF()) : m_path.boundingRect();
        m_label->setPos(area.topRight() + QPointF(8, 0));
    }
    // Kinds without measurements keep the text they were given.
    return entries->isEmpty() ? true : m_label->setEntries(*entries);
}

void GraphicsConnect::setPen(const QPen &pen)
{
    m_pen = pen;
    m_pen.setCosmetic(true);
    update();
}

QPainterPath GraphicsConnect::outline(DrawType kind, const QVector<QPointF> &p)
{
    QPainterPath path;
    const int n = p.size();
    switch (kind) {
    case DrawType::Line:
    case DrawType::HLine:
    case DrawType::VLine:
    case DrawType::LCali:
        addLine(path, p[0], p[1]);
        break;
    case DrawType::ThreePointLine:
        addLine(path, p[0], p[1]);
        if (n > 2)
            addShiftedBase(path, p, p[2]);
        break;
    case DrawType::AnyLine:
    case DrawType::MarkAnyLine:
        path.addPolygon(QPolygonF(p));
        break;
    case DrawType::Par:
    case DrawType::AnyPar:
        addLine(path, p[0], p[1]);
        for (int i = 2; i < n; ++i)
            addShiftedBase(path, p, p[i]);
        break;
    case DrawType::FourPointParLine:
    case DrawType::FourPointVerLine:
    case DrawType::FourAng:
        addLine(path, p[0], p[1]);
        addLine(path, p[2], p[3]);
        if (kind == DrawType::FourAng) {
            QPointF vertex;
            const QLineF first(p[0], p[1]), second(p[2], p[3]);
            if (first.intersects(second, &vertex) != QLineF::NoIntersection) {
                const QLineF from(vertex, vertex + (p[1] - p[0])), to(vertex, vertex + (p[3] - p[2]));
                addAngleArc(path, vertex, from, to, kAngleArcRadius);
            }
        }
        break;
    case DrawType::Ver:
    case DrawType::AnyVerLine:
        addLine(path, p[0], p[1]);
        for (int i = 2; i < n; ++i)
            addLine(path, p[i], perpendicularFoot(p[i], p[0], p[1]));
        break;
    case DrawType::ThreeAng: {
        addLine(path, p[0], p[1]);
        addLine(path, p[1], p[2]);
        const QLineF from(p[1], p[0]), to(p[1], p[2]);
        addAngleArc(path, p[1], from, to, std::min({kAngleArcRadius, from.length() / 2, to.length() / 2}));
        break;
    }
    case DrawType::Rect:
    case DrawType::MarkRect:
    case DrawType::CropRect:
        path.addRect(QRectF(p[0], p[1]).normalized());
        break;
    case DrawType::ThreePointRect: {
        const QPointF shift = p[2] - perpendicularFoot(p[2], p[0], p[1]);
        path.addPolygon(QPolygonF({p[0], p[1], p[1] + shift, p[0] + shift}));
        path.closeSubpath();
        break;
    }
    case DrawType::Arc: {
        const ArcShape arc = arcThroughPoints(p[0], p[1], p[2]);
        const double r = arc.circle.radius;
        if (r > 0) {
            const QRectF box(arc.circle.centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
            path.arcMoveTo(box, arc.startAngle);
            path.arcTo(box, arc.startAngle, arc.sweep);
        }
        break;
    }
    case DrawType::Cir:
    case DrawType::MarkCir:
    case DrawType::CCali: {
        const Circle c = circleThroughPoints(p[0], p[1], p[2]);
        addCircle(path, c.centre, c.radius);
        break;
    }
    case DrawType::RadiusCir:
        addCircle(path, p[0], distance(p[0], p[1]));
        break;
    case DrawType::DiameterCir:
        addCircle(path, (p[0] + p[1]) / 2, distance(p[0], p[1]) / 2);
        break;
    case DrawType::TwoPointEllipse:
        addEllipse(path, ellipseInRect(p[0], p[1]), 0);
        break;
    case DrawType::ThreePointEllipse: {
        // Its first axis runs along p0-p1.
        const EllipseShape e = ellipseFromAxis(p[0], p[1], p[2]);
        addEllipse(path, e, e.rotation - 90);
        break;
    }
    case DrawType::FivePointEllipse:
        if (const std::optional<EllipseShape> e = fitEllipse(p))
            addEllipse(path, *e, e->rotation);
        break;
    case DrawType::Poly:
        path.addPolygon(QPolygonF(p));
        if (n > 2)
            path.closeSubpath();
        break;
    case DrawType::LCir:
    case DrawType::CCir:
    case DrawType::TCir:
    case DrawType::FourPointConcentricCir: {
        const Circle c = circleThroughPoints(p[0], p[1], p[2]);
        addCircle(path, c.centre, c.radius);
        if (kind == DrawType::LCir && n > 3)
            addLine(path, c.centre, p[3]);
        if (kind == DrawType::CCir && n > 4)
            addLine(path, p[3], p[4]);
        if (kind == DrawType::TCir && n > 5) {
            const Circle second = circleThroughPoints(p[3], p[4], p[5]);
            addCircle(path, second.centre, second.radius);
            addLine(path, c.centre, second.centre);
        }
        if (kind == DrawType::FourPointConcentricCir && n > 3)
            addCircle(path, c.centre, distance(c.centre, p[3]));
        break;
    }
    case DrawType::FourPointTCir:
        addCircle(path, p[0], distance(p[0], p[1]));
        if (n > 3) {
            addCircle(path, p[2], distance(p[2], p[3]));
            addLine(path, p[0], p[2]);
        }
        break;
    case DrawType::CenterRadiusConcentricCir:
    case DrawType::AnyPointConcentricCir:
        for (int i = 1; i < n; ++i)
            addCircle(path, p[0], distance(p[0], p[i]));
        break;
    case DrawType::MarkArrow: {
        addLine(path, p[0], p[1]);
        const QLineF back(p[1], p[0]);
        if (back.length() > 0) {
            // In proportion to the arrow, so the head shows beside its handle at any length.
            const double head = std::clamp(back.length() / 5, kArrowHead, 4 * kArrowHead);
            for (const double turn : {-25.0, 25.0}) {
                QLineF wing = QLineF::fromPolar(head, back.angle() + turn);
                addLine(path, p[1], p[1] + wing.p2());
            }
        }
        break;
    }
    case DrawType::PointPosition:
    case DrawType::PointSerialNumber:
        addLine(path, p[0] - QPointF(6, 0), p[0] + QPointF(6, 0));
        addLine(path, p[0] - QPointF(0, 6), p[0] + QPointF(0, 6));
        break;
    case DrawType::LText:
        break;
    }
    return path;
}

QRectF GraphicsConnect::boundingRect() const
{
    // The pen is cosmetic: a margin of a few pixels covers it at the zooms in use.
    return m_path.boundingRect().adjusted(-4, -4, 4, 4);
}

QPainterPath GraphicsConnect::shape() const
{
    QPainterPathStroker stroker;
    stroker.setWidth(6);
    return stroker.createStroke(m_path);
}

void GraphicsConnect::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    QPen pen = m_pen;
    if (isSelected())
        pen.setStyle(Qt::DashLine);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(m_path);
}

// ---- GraphicsCross

GraphicsCross::GraphicsCross() : m_pen(QColor(Qt::red), 1)
{
    m_pen.setCosmetic(true);
    setFlag(ItemIsSelectable);
}

void GraphicsCross::setPen(const QPen &pen)
{
    m_pen = pen;
    m_pen.setCosmetic(true);
    update();
}

void GraphicsCross::setArea(const QRectF &area)
{
    prepareGeometryChange();
    m_area = area;
}

QRectF GraphicsCross::boundingRect() const
{
    return m_area;
}

void GraphicsCross::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF area = boundingRect();
    painter->setPen(m_pen);
    painter->drawLine(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()));
    painter->drawLine(QPointF(area.center().x(), area.top()), QPointF(area.center().x(), area.bottom()));
}

// ---- FlashItem

FlashItem::FlashItem() : QGraphicsEllipseItem(-20, -20, 20, 20)
{
    setPen(Qt::NoPen);
    setData(ItemData::Auxiliary, true);
    setZValue(1000);
    hide();
    m_timer.setInterval(300);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_lit = !m_lit;
        setBrush(m_lit ? QBrush(Qt::red) : QBrush(Qt::transparent));
    });
}

void FlashItem::blinkAt(const QPointF &pos)
{
    setPos(pos);
    show();
    m_timer.start();
}

void FlashItem::stop()
{
    m_timer.stop();
    hide();
}
