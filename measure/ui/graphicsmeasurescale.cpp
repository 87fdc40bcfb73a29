#include "graphicsmeasurescale.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {

// The end marks stand this far above and below the bar, beyond half its width.
constexpr double TickHeight = 4;

} // namespace

GraphicsMeasureScale::GraphicsMeasureScale()
{
    setFlag(ItemIsMovable);
    m_pen.setCapStyle(Qt::FlatCap);
}

void GraphicsMeasureScale::setCalibration(const CalibrateData &data, const UnitConverter &converter, int unit,
                                          double sceneWidth)
{
    prepareGeometryChange();
    m_pen.setColor(data.scaleColor);
    m_pen.setWidth(data.scaleLineWidth);
    m_font.setPixelSize(qMax(1, data.scaleTextSize));
    const double length = ScaleLength::forCalibration(data, converter, unit, sceneWidth);
    m_pixels = converter.toPixels(length, unit);
    m_length = ScaleLength::text(length) + converter.unitText(unit);
    m_magnification = data.magnification;
    update();
}

void GraphicsMeasureScale::setShowMagnification(bool show)
{
    prepareGeometryChange();
    m_showMagnification = show;
    update();
}

QString GraphicsMeasureScale::text() const
{
    return m_showMagnification && !m_magnification.isEmpty() ? m_length + QLatin1Char(' ') + m_magnification : m_length;
}

QRectF GraphicsMeasureScale::textRect() const
{
    const QFontMetricsF metrics(m_font);
    const double width = metrics.horizontalAdvance(text());
    const double top = -(TickHeight + m_pen.widthF() / 2) - metrics.height();
    return QRectF((m_pixels - width) / 2, top, width, metrics.height());
}

QRectF GraphicsMeasureScale::boundingRect() const
{
    const double half = TickHeight + m_pen.widthF() / 2;
    return QRectF(-half, -half, m_pixels + 2 * half, 2 * half).united(textRect());
}

void GraphicsMeasureScale::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double tick = TickHeight + m_pen.widthF() / 2;
    painter->setPen(m_pen);
    painter->drawLine(QPointF(0, 0), QPointF(m_pixels, 0));
    painter->drawLine(QPointF(0, -tick), QPointF(0, tick));
    painter->drawLine(QPointF(m_pixels, -tick), QPointF(m_pixels, tick));
    painter->setFont(m_font);
    painter->drawText(textRect(), Qt::AlignCenter, text());
}

void GraphicsMeasureScale::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    emit doubleClicked();
}
