#include "scolorcurvechartview.h"

#include "lmcam.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kMargin = 8;
constexpr qreal kHandleRadius = 4;
// How far from a handle or the curve a press still takes it.
constexpr qreal kGrabDistance = 7;

QPointF roundedIntoRange(const QPointF &point)
{
    const auto limit = [](qreal v) {
        return qreal(std::clamp(int(std::lround(v)), 0, int(SColorCurveChartView::kMaxValue)));
    };
    return {limit(point.x()), limit(point.y())};
}

} // namespace

SColorCurveChartView::SColorCurveChartView(QWidget *parent) : QWidget(parent), m_points(straightCurve())
{
    setObjectName(QStringLiteral("gamma_curve_chart"));
}

QVector<QPointF> SColorCurveChartView::straightCurve()
{
    return {QPointF(0, 0), QPointF(kMaxValue, kMaxValue)};
}

void SColorCurveChartView::setPoints(const QVector<QPointF> &points)
{
    QVector<QPointF> shown;
    for (const QPointF &point : points)
        shown.append(roundedIntoRange(point));
    std::stable_sort(shown.begin(), shown.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    // The device takes each input value once.
    shown.erase(
        std::unique(shown.begin(), shown.end(), [](const QPointF &a, const QPointF &b) { return a.x() == b.x(); }),
        shown.end());
    if (shown.size() > LMCAM_GAMMA_CURVE_MAX_POINTS)
        shown.resize(LMCAM_GAMMA_CURVE_MAX_POINTS);
    m_points = shown.size() < 2 ? straightCurve() : shown;
    m_dragIndex = -1;
    update();
}

void SColorCurveChartView::resetToStraight()
{
    setPoints(straightCurve());
}

QSize SColorCurveChartView::minimumSizeHint() const
{
    return {160, 160};
}

QSize SColorCurveChartView::sizeHint() const
{
    return {280, 280};
}

QRectF SColorCurveChartView::plotRect() const
{
    return QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPointF SColorCurveChartView::pixelFor(const QPointF &value) const
{
    const QRectF r = plotRect();
    return {r.left() + value.x() / kMaxValue * r.width(), r.bottom() - value.y() / kMaxValue * r.height()};
}

QPointF SColorCurveChartView::valueAt(const QPointF &pos) const
{
    const QRectF r = plotRect();
    return roundedIntoRange(
        {(pos.x() - r.left()) / r.width() * kMaxValue, (r.bottom() - pos.y()) / r.height() * kMaxValue});
}

int SColorCurveChartView::handleAt(const QPointF &pos) const
{
    int best = -1;
    qreal bestDistance = kGrabDistance;
    for (int i = 0; i < m_points.size(); ++i) {
        const QPointF d = pixelFor(m_points[i]) - pos;
        const qreal distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

QPainterPath SColorCurveChartView::curvePath() const
{
    // Outside the end points the device holds the end values.
    QPainterPath path(pixelFor({0, m_points.first().y()}));
    for (const QPointF &point : m_points)
        path.lineTo(pixelFor(point));
    path.lineTo(pixelFor({qreal(kMaxValue), m_points.last().y()}));
    return path;
}

int SColorCurveChartView::insertAt(const QPointF &pos)
{
    if (m_points.size() >= LMCAM_GAMMA_CURVE_MAX_POINTS)
        return -1;
    QPainterPathStroker stroker;
    stroker.setWidth(2 * kGrabDistance);
    if (!stroker.createStroke(curvePath()).contains(pos))
        return -1;
    const QPointF value = valueAt(pos);
    for (int i = 1; i < m_points.size(); ++i) {
        if (value.x() <= m_points[i - 1].x())
            return -1;
        if (value.x() < m_points[i].x()) {
            m_points.insert(i, value);
            return i;
        }
    }
    return -1;
}

void SColorCurveChartView::removeHandle(int index)
{
    if (index <= 0 || index >= m_points.size() - 1)
        return;
    m_points.remove(index);
    m_dragIndex = -1;
    update();
    emit curvePointsChanged(m_points);
}

void SColorCurveChartView::mousePressEvent(QMouseEvent *event)
{
    const int handle = handleAt(event->localPos());
    if (event->button() == Qt::RightButton) {
        removeHandle(handle);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressPoints = m_points;
    m_dragIndex = handle >= 0 ? handle : insertAt(event->localPos());
    update();
}

void SColorCurveChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragIndex < 0)
        return;
    QPointF value = valueAt(event->localPos());
    const int last = m_points.size() - 1;
    // End points keep their input; inner points stay strictly between their neighbours.
    if (m_dragIndex == 0 || m_dragIndex == last)
        value.setX(m_points[m_dragIndex].x());
    else
        value.setX(std::clamp(value.x(), m_points[m_dragIndex - 1].x() + 1, m_points[m_dragIndex + 1].x() - 1));
    m_points[m_dragIndex] = value;
    update();
}

void SColorCurveChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragIndex < 0 || event->button() != Qt::LeftButton)
        return;
    m_dragIndex = -1;
    update();
    if (m_points != m_pressPoints)
        emit curvePointsChanged(m_points);
}

void SColorCurveChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        removeHandle(handleAt(event->localPos()));
}

void SColorCurveChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    const QRectF r = plotRect();
    painter.fillRect(r, pal.base());

    QPen gridPen(pal.color(QPalette::Mid), 1);
    painter.setPen(gridPen);
    for (int i = 1; i < 4; ++i) {
        const qreal x = r.left() + r.width() * i / 4, y = r.top() + r.height() * i / 4;
        painter.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        painter.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    gridPen.setStyle(Qt::DashLine);
    painter.setPen(gridPen);
    painter.drawLine(r.bottomLeft(), r.topRight());
    painter.setPen(QPen(pal.color(QPalette::Text), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);

    painter.setPen(QPen(pal.color(QPalette::Text), 2));
    painter.drawPath(curvePath());

    painter.setPen(QPen(pal.color(QPalette::HighlightedText), 1));
    painter.setBrush(pal.highlight());
    for (int i = 0; i < m_points.size(); ++i) {
        const qreal radius = i == m_dragIndex ? kHandleRadius + 1.5 : kHandleRadius;
        painter.drawEllipse(pixelFor(m_points[i]), radius, radius);
    }
}
