#pragma once

#include <QPointF>
#include <QVector>
#include <QWidget>

class QPainterPath;

// Editor of the camera's gamma curve: control points (input 0..255 → output 0..255, whole
// numbers, inputs strictly rising) joined by straight segments, as the device applies them.
// Drag a handle to move it, click the curve to add a point, double-click or right-click a
// handle to remove it; the two end points stay and keep their input value.
class SColorCurveChartView : public QWidget
{
    Q_OBJECT

public:
    // Both axes run from 0 to this value.
    static constexpr int kMaxValue = 255;

    explicit SColorCurveChartView(QWidget *parent = nullptr);

    QVector<QPointF> points() const { return m_points; }
    // Shows the points rounded into the range, ordered by input, one per input value; the
    // straight curve when fewer than two remain. Emits nothing.
    void setPoints(const QVector<QPointF> &points);
    // Shows the straight curve (output = input). Emits nothing.
    void resetToStraight();
    static QVector<QPointF> straightCurve();
    // Where a curve value lies in the widget.
    QPointF pixelFor(const QPointF &value) const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

signals:
    // The operator finished moving, adding or removing a point.
    void curvePointsChanged(QVector<QPointF> points);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QRectF plotRect() const;
    // The curve value under a widget position, rounded and limited to the range.
    QPointF valueAt(const QPointF &pos) const;
    int handleAt(const QPointF &pos) const;
    QPainterPath curvePath() const;
    // Adds a point under pos when it lies on the curve between the end points; its index or -1.
    int insertAt(const QPointF &pos);
    void removeHandle(int index);

    QVector<QPointF> m_points;
    QVector<QPointF> m_pressPoints; // the points when the drag began, to tell whether it changed them
    int m_dragIndex = -1;
};
