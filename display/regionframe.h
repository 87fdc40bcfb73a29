#pragma once

#include <QColor>
#include <QGraphicsRectItem>
#include <QRect>

#include <functional>

// A camera region over the picture (metering or focus): the operator drags it, or resizes it by
// its bottom-right corner; the region in picture pixels is reported when the mouse is released.
class RegionFrame : public QGraphicsRectItem
{
public:
    using Edited = std::function<void(const QRect &region)>;

    RegionFrame(const QColor &color, const QString &name, Edited edited);

    // Picture pixels; kept inside the scene's rect.
    void setRegion(const QRect &region);
    QRect region() const;
    void setName(const QString &name) { m_name = name; }

protected:
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    bool inCorner(const QPointF &pos) const;
    QRectF bounds() const;

    QString m_name;
    Edited m_edited;
    bool m_resizing = false;
    QPointF m_grab; // the press point relative to the frame's corner
};
