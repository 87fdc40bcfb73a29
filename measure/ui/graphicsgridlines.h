#pragma once

#include "drawproperty.h"

#include <QGraphicsItem>
#include <QLineF>
#include <QMap>
#include <QPen>
#include <QVector>

// Grid lines over the picture: horizontal and vertical lines dividing the area into equal bands,
// or, where a spacing is set, lines every so many picture pixels from the top and left edges.
// A guide only: the mouse passes through it.
class GraphicsGridLines : public QGraphicsItem
{
public:
    static constexpr int Type = QGraphicsItem::UserType + 6;

    GraphicsGridLines();
    int type() const override { return Type; }

    // The picture the lines span (the scene's rect, which the owner follows).
    void setArea(const QRectF &area);
    // Colour, width, style, counts and spacings from the grid entries of the map; others are ignored.
    void applyProperties(const QMap<DrawProperty, QVariant> &properties);
    QPen pen() const { return m_pen; }
    // The lines drawn, horizontal ones first, in scene coordinates.
    QVector<QLineF> lines() const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QPen m_pen;
    QRectF m_area;
    int m_hCount = 2;
    int m_vCount = 2;
    double m_hSpacing = 0; // picture pixels between horizontal lines; 0: by count
    double m_vSpacing = 0;
};
