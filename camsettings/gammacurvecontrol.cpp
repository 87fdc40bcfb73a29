#include "gammacurvecontrol.h"

#include "scolorcurvechartview.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

GammaCurveControl::GammaCurveControl(QWidget *parent)
    : QWidget(parent)
    , m_enable(new QCheckBox(this))
    , m_chart(new SColorCurveChartView(this))
    , m_reset(new QPushButton(this))
{
    m_enable->setObjectName(QStringLiteral("gamma_curve_enable"));
    m_reset->setObjectName(QStringLiteral("gamma_curve_reset"));

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(m_enable);
    top->addStretch();
    top->addWidget(m_reset);
    layout->addLayout(top);
    layout->addWidget(m_chart, 1);

    connect(m_enable, &QCheckBox::toggled, this, &GammaCurveControl::onEnableToggled);
    connect(m_reset, &QPushButton::clicked, this, &GammaCurveControl::onReset);
    connect(m_chart, &SColorCurveChartView::curvePointsChanged, this, &GammaCurveControl::onGammaCurvePointsChanged);
    retranslate();
    updateEnabled();
}

void GammaCurveControl::retranslate()
{
    m_enable->setText(tr("Gamma Curve"));
    m_reset->setText(tr("Reset"));
}

void GammaCurveControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void GammaCurveControl::updateEnabled()
{
    // The curve acts only in curve mode.
    m_chart->setEnabled(m_enable->isChecked());
    m_reset->setEnabled(m_enable->isChecked());
}

void GammaCurveControl::onEnableToggled(bool enable)
{
    updateEnabled();
    // The camera answers with the curve (or gamma value) it now applies.
    emit setGammaMode(enable ? GammaCurveMode : GammaValueMode, true);
}

void GammaCurveControl::onReset()
{
    m_chart->resetToStraight();
    onGammaCurvePointsChanged(m_chart->points());
}

void GammaCurveControl::onGammaCurvePointsChanged(QVector<QPointF> points)
{
    emit setGammaBezierCurve(points, points.size());
}

void GammaCurveControl::onRecvCameraGammaMode(GammaMode mode)
{
    const QSignalBlocker blocker(m_enable);
    m_enable->setChecked(mode == GammaCurveMode);
    updateEnabled();
}

void GammaCurveControl::onRecvGammaBezierCurve(QVector<LmPoint> points, int realSize)
{
    QVector<QPointF> curve;
    for (int i = 0; i < std::clamp(realSize, 0, int(points.size())); ++i)
        curve.append(QPointF(points[i].x, points[i].y));
    m_chart->setPoints(curve);
}
