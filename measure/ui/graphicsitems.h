#pragma once

#include "drawtype.h"
#include "entryformat.h"
#include "measureentry.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsObject>
#include <QGraphicsSimpleTextItem>
#include <QPainterPath>
#include <QPen>
#include <QTimer>
#include <QVariant>

class GraphicsConnect;

// Item type numbers: shapes, handles, labels and the cross-hair are told apart by them.
enum GraphicsItemType : int {
    ConnectItemType = QGraphicsItem::UserType + 1,
    PointItemType = QGraphicsItem::UserType + 2,
    TextItemType = QGraphicsItem::UserType + 3,
    CrossItemType = QGraphicsItem::UserType + 4,
};

// Auxiliary is the item data key of overlays the mouse must never pick; the names are the
// properties every finished shape carries (its identity and its layer).
namespace ItemData {
constexpr int Auxiliary = 0;
inline const char *const graphicsId = "GraphicsID";
inline const char *const layerName = "LayerName";
} // namespace ItemData

// A point of a shape: a handle the operator drags. The point is the handle's position in its
// shape, which sits at the scene's origin, so it is in picture pixels.
class GraphicsPoint : public QGraphicsEllipseItem
{
public:
    // constraint: 0 free, 1 keeps the x it was created at, 2 keeps the y.
    GraphicsPoint(const QPointF &pos, int constraint, GraphicsConnect *shape);
    int type() const override { return PointItemType; }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    int m_constraint;
    QPointF m_origin;
};

// A result label: the shape's entries formatted in the current unit.
class GraphicsText : public QGraphicsSimpleTextItem
{
public:
    explicit GraphicsText(QGraphicsItem *parent = nullptr);
    int type() const override { return TextItemType; }

    // Formats the entries; true when the shown text changed.
    bool setEntries(const QVector<MeasureEntry> &entries);
    const QVector<MeasureEntry> &entries() const { return m_entries; }
    EntryFormat &format() { return m_format; }
    // Reformats after a change of unit, calibration or precision.
    bool refresh();
    void setBackground(const QColor &colour) { m_background = colour; }
    // Placed by the operator: the label no longer follows its shape.
    bool isPlaced() const { return m_placed; }
    // Undoing a move gives the label back to its shape.
    void setPlaced(bool placed) { m_placed = placed; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QVector<MeasureEntry> m_entries;
    EntryFormat m_format;
    QColor m_background = Qt::transparent;
    bool m_placed = false;
};

// A label without measurements: marks, free text and serial numbers.
class GraphicsTextNoData : public GraphicsText
{
public:
    using GraphicsText::GraphicsText;
};

// The drawn outline of a shape, built from its handles' positions.
class GraphicsConnect : public QGraphicsObject
{
    Q_OBJECT
public:
    GraphicsConnect(DrawType kind, GraphicsText *label);
    int type() const override { return ConnectItemType; }
    DrawType kind() const { return m_kind; }

    QVector<QPointF> points() const;
    const QList<GraphicsPoint *> &handles() const { return m_handles; }
    GraphicsPoint *addHandle(const QPointF &pos, int constraint);
    void removeLastHandle();
    GraphicsText *label() const { return m_label; }

    // Rebuilds the outline and the label: false below the shape's minimum of points (nothing
    // drawn), true without a label, else whether the label's text changed.
    QVariant updateShape();
    void setPen(const QPen &pen);
    QPen pen() const { return m_pen; }

    // The outline of a kind through its points.
    static QPainterPath outline(DrawType kind, const QVector<QPointF> &points);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

signals:
    // A handle moved and the shape was recomputed.
    void signalItemMove();

private:
    friend class GraphicsPoint;
    void handleMoved();

    DrawType m_kind;
    GraphicsText *m_label;
    QList<GraphicsPoint *> m_handles;
    QPainterPath m_path;
    QPen m_pen;
    bool m_building = false;
};

// A cross-hair over the whole picture.
class GraphicsCross : public QGraphicsItem
{
public:
    GraphicsCross();
    int type() const override { return CrossItemType; }
    void setPen(const QPen &pen);
    QPen pen() const { return m_pen; }
    // The picture the cross spans (the scene's rect, which the owner follows).
    void setArea(const QRectF &area);
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QPen m_pen;
    QRectF m_area;
};

// A small marker that blinks red where the operator is pointed to.
class FlashItem : public QObject, public QGraphicsEllipseItem
{
    Q_OBJECT
public:
    FlashItem();
    void blinkAt(const QPointF &pos);
    void stop();

private:
    QTimer m_timer;
    bool m_lit = false;
};
