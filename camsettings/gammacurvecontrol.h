#pragma once

#include "cameraenums.h"
#include "camerainfo.h"

#include <QPointF>
#include <QVector>
#include <QWidget>

class QCheckBox;
class QPushButton;
class SColorCurveChartView;

// The gamma-curve group of the camera panel: switches the camera between its gamma value and
// its gamma curve, edits the curve and restores the straight one.
class GammaCurveControl : public QWidget
{
    Q_OBJECT

public:
    explicit GammaCurveControl(QWidget *parent = nullptr);

    SColorCurveChartView *chart() const { return m_chart; }

signals:
    void setGammaMode(GammaMode mode, bool sendValue);
    void setGammaBezierCurve(QVector<QPointF> points, int size);

public slots:
    void onGammaCurvePointsChanged(QVector<QPointF> points);
    // The camera's state, shown without sending anything back.
    void onRecvCameraGammaMode(GammaMode mode);
    void onRecvGammaBezierCurve(QVector<LmPoint> points, int realSize);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void onEnableToggled(bool enable);
    void onReset();
    void updateEnabled();

    QCheckBox *m_enable = nullptr;
    SColorCurveChartView *m_chart = nullptr;
    QPushButton *m_reset = nullptr;
};
