#include "regionframe.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// The smallest region the camera is given, in picture pixels.
constexpr int kMinimumSide = 16;

} // namespace

RegionFrame::RegionFrame(const QColor &color, const QString &name, Edited edited)
    : m_name(name), m_edited(std::move(edited))
{
    QPen pen(color, 2);
    pen.setCosmetic(true);
    setPen(pen);
    setAcceptHoverEvents(true);
    setZValue(500);
    // Measuring tools pick no region by accident.
    setData(0, true);
}

QRectF RegionFrame::bounds() const
{
    return scene() ? scene()->sceneRect() : QRectF();
}

void RegionFrame::setRegion(const QRect &region)
{
    setPos(region.topLeft());
    setRect(0, 0, region.width(), region.height());
}

QRect RegionFrame::region() const
{
    return QRect(qRound(pos().x()), qRound(pos().y()), qRound(rect().width()), qRound(rect().height()));
}

bool RegionFrame::inCorner(const QPointF &pos) const
{
    // The grip is a few screen pixels whatever the zoom.
    const double scale = scene() && !scene()->views().isEmpty() ? scene()->views().first()->transform().m11() : 1.0;
    const double grip = 10.0 / std::max(scale, 0.01);
    return pos.x() > rect().right() - grip && pos.y() > rect().bottom() - grip;
}

void RegionFrame::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    QGraphicsRectItem::paint(painter, option, widget);
    painter->save();
    painter->setPen(pen().color());
    // The name stays legible at any zoom: drawn in screen pixels at the frame's corner.
    const QTransform screen = painter->worldTransform();
    painter->resetTransform();
    painter->drawText(screen.map(rect().topLeft()) + QPointF(4, 14), m_name);
    painter->restore();
}

void RegionFrame::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    setCursor(inCorner(event->pos()) ? Qt::SizeFDiagCursor : Qt::SizeAllCursor);
    QGraphicsRectItem::hoverMoveEvent(event);
}

void RegionFrame::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_resizing = inCorner(event->pos());
    m_grab = event->pos();
    event->accept();
}

void RegionFrame::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    const QRectF area = bounds();
    if (m_resizing) {
        const QPointF corner = event->scenePos();
        const double width = std::clamp(corner.x() - pos().x(), double(kMinimumSide), area.right() - pos().x());
        const double height = std::clamp(corner.y() - pos().y(), double(kMinimumSide), area.bottom() - pos().y());
        setRect(0, 0, std::round(width), std::round(height));
        return;
    }
    const QPointF topLeft = event->scenePos() - m_grab;
    setPos(std::round(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - rect().width()))),
           std::round(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - rect().height()))));
}

void RegionFrame::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_edited)
        m_edited(region());
    m_resizing = false;
}
