#include "graphicsgridlines.h"

#include "drawpen.h"
#include "graphicsitems.h"

#include <QPainter>

namespace {

constexpr int kMaxCount = 100;

// Positions across [from, from + length]: every spacing when one is set, else count lines
// dividing it into equal bands. The edges themselves are never drawn.
QVector<double> positions(double from, double length, int count, double spacing)
{
    QVector<double> at;
    if (length <= 0)
        return at;
    if (spacing > 0) {
        for (double d = spacing; d < length; d += spacing)
            at << from + d;
    } else {
        for (int i = 1; i <= count; ++i)
            at << from + length * i / (count + 1);
    }
    return at;
}

} // namespace

GraphicsGridLines::GraphicsGridLines() : m_pen(QColor(Qt::red), 1)
{
    m_pen.setCosmetic(true);
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
    setData(ItemData::Auxiliary, true);
    setZValue(-1); // over the picture, under the shapes
}

void GraphicsGridLines::setArea(const QRectF &area)
{
    prepareGeometryChange();
    m_area = area;
}

void GraphicsGridLines::applyProperties(const QMap<DrawProperty, QVariant> &properties)
{
    m_pen = drawPen(m_pen, properties, DrawProperty::DrawGridlinesColor, DrawProperty::DrawGridlinesWidth,
                    DrawProperty::DrawGridlinesStyle);
    m_pen.setCosmetic(true);
    // Stored values are untrusted: counts and spacings that would flood the picture are bounded.
    const auto count = [&](DrawProperty key, int &into) {
        if (const QVariant value = properties.value(key); value.isValid())
            into = qBound(0, value.toInt(), kMaxCount);
    };
    const auto spacing = [&](DrawProperty key, double &into) {
        if (const QVariant value = properties.value(key); value.isValid())
            into = value.toDouble() >= 1 ? value.toDouble() : 0;
    };
    count(DrawProperty::DrawGridlinesHLines, m_hCount);
    count(DrawProperty::DrawGridlinesVLines, m_vCount);
    spacing(DrawProperty::DrawGridHlinesSpac, m_hSpacing);
    spacing(DrawProperty::DrawGridVlinesSpac, m_vSpacing);
    update();
}

QVector<QLineF> GraphicsGridLines::lines() const
{
    QVector<QLineF> lines;
    for (double y : positions(m_area.top(), m_area.height(), m_hCount, m_hSpacing))
        lines << QLineF(m_area.left(), y, m_area.right(), y);
    for (double x : positions(m_area.left(), m_area.width(), m_vCount, m_vSpacing))
        lines << QLineF(x, m_area.top(), x, m_area.bottom());
    return lines;
}

QRectF GraphicsGridLines::boundingRect() const
{
    return m_area;
}

void GraphicsGridLines::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(m_pen);
    painter->drawLines(lines());
}
