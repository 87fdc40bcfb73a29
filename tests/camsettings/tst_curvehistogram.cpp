#include "cameratypes.h"
#include "gammacurvecontrol.h"
#include "histogramcontrol.h"
#include "lmcam.h"
#include "scolorcurvechartview.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using Points = QVector<QPointF>;
using Bounds = QVector<HistogramBoundaryInfo>;

namespace {

QPoint at(const SColorCurveChartView &chart, const QPointF &value)
{
    return chart.pixelFor(value).toPoint();
}

// A press on a handle, a move to where the value would lie, a release.
void drag(SColorCurveChartView &chart, const QPointF &from, const QPointF &to)
{
    QTest::mousePress(&chart, Qt::LeftButton, {}, at(chart, from));
    QMouseEvent move(QEvent::MouseMove, at(chart, to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &move);
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, at(chart, to));
}

QString text(const Bounds &infos)
{
    QStringList parts;
    for (const HistogramBoundaryInfo &info : infos)
        parts << QStringLiteral("%1:%2-%3").arg(info.channel).arg(info.lower).arg(info.upper);
    return parts.join(' ');
}

} // namespace

class TestCurveHistogram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerCameraTypes(); }

    // The device takes whole values in 0..255 with strictly rising inputs.
    void dragKeepsPointsOrderedAndInRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("past the right neighbour") << 1 << QPointF(200, 100) << QPointF(127, 100);
        QTest::newRow("past the left neighbour, below the range") << 2 << QPointF(-40, -40) << QPointF(65, 0);
        QTest::newRow("above the range") << 1 << QPointF(64, 300) << QPointF(64, 255);
        QTest::newRow("end point keeps its input") << 3 << QPointF(100, 50) << QPointF(255, 50);
    }
    void dragKeepsPointsOrderedAndInRange()
    {
        QFETCH(int, index);
        QFETCH(QPointF, to);
        QFETCH(QPointF, expected);
        SColorCurveChartView chart;
        chart.resize(271, 271);
        chart.setPoints({{0, 0}, {64, 64}, {128, 128}, {255, 255}});
        QSignalSpy spy(&chart, &SColorCurveChartView::curvePointsChanged);
        Points points = chart.points();
        drag(chart, points[index], to);
        points[index] = expected;
        QCOMPARE(chart.points(), points);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().value<Points>(), points);
    }

    void addAndRemoveKeepEndPoints()
    {
        SColorCurveChartView chart;
        chart.resize(271, 271);
        QSignalSpy spy(&chart, &SColorCurveChartView::curvePointsChanged);
        QTest::mouseClick(&chart, Qt::LeftButton, {}, at(chart, {100, 100}));
        QCOMPARE(chart.points(), Points({{0, 0}, {100, 100}, {255, 255}}));
        // A double click on an end point: press and release, then the double click.
        QTest::mouseClick(&chart, Qt::LeftButton, {}, at(chart, {0, 0}));
        QTest::mouseDClick(&chart, Qt::LeftButton, {}, at(chart, {0, 0}));
        QTest::mouseClick(&chart, Qt::RightButton, {}, at(chart, {255, 255}));
        QCOMPARE(chart.points().size(), 3);
        QTest::mouseDClick(&chart, Qt::LeftButton, {}, at(chart, {100, 100}));
        QCOMPARE(chart.points(), SColorCurveChartView::straightCurve());
        QCOMPARE(spy.count(), 2);
        // No more points than the device holds.
        for (int x = 10; x < 250; x += 10)
            QTest::mouseClick(&chart, Qt::LeftButton, {}, at(chart, {qreal(x), qreal(x)}));
        QCOMPARE(chart.points().size(), LMCAM_GAMMA_CURVE_MAX_POINTS);
    }

    void gammaControlSendsAndShowsTheCurve()
    {
        GammaCurveControl control;
        control.resize(320, 360);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QSignalSpy curveSpy(&control, &GammaCurveControl::setGammaBezierCurve);
        QSignalSpy modeSpy(&control, &GammaCurveControl::setGammaMode);
        auto *enable = control.findChild<QCheckBox *>("gamma_curve_enable");

        const Points camera{{0, 0}, {128, 160}, {255, 255}};
        control.onRecvCameraGammaMode(GammaCurveMode);
        control.onRecvGammaBezierCurve({{0, 0}, {128, 160}, {255, 255}, {9, 9}}, 3);
        QVERIFY(enable->isChecked());
        QCOMPARE(control.chart()->points(), camera);
        QCOMPARE(curveSpy.count() + modeSpy.count(), 0);

        drag(*control.chart(), {128, 160}, {128, 100});
        QCOMPARE(curveSpy.count(), 1);
        QCOMPARE(curveSpy.last().at(0).value<Points>(), Points({{0, 0}, {128, 100}, {255, 255}}));
        QCOMPARE(curveSpy.last().at(1).toInt(), 3);

        control.findChild<QPushButton *>("gamma_curve_reset")->click();
        QCOMPARE(control.chart()->points(), SColorCurveChartView::straightCurve());
        QCOMPARE(curveSpy.last().at(0).value<Points>(), SColorCurveChartView::straightCurve());
        QCOMPARE(curveSpy.last().at(1).toInt(), 2);

        enable->click();
        QCOMPARE(modeSpy.count(), 1);
        QCOMPARE(modeSpy.last().at(0).value<GammaMode>(), GammaValueMode);
    }

    void editedLevelsAreSent_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lower") << "histogram_lower_1" << 20 << "0:30-200 1:20-255 2:0-255";
        QTest::newRow("lower above upper") << "histogram_lower_0" << 220 << "0:220-221 1:0-255 2:0-255";
        QTest::newRow("upper below lower") << "histogram_upper_0" << 10 << "0:9-10 1:0-255 2:0-255";
        QTest::newRow("apply") << "" << 0 << "0:30-200 1:0-255 2:0-255";
    }
    void editedLevelsAreSent()
    {
        QFETCH(QString, box);
        QFETCH(int, value);
        QFETCH(QString, expected);
        HistogramControl control;
        QSignalSpy spy(&control, &HistogramControl::setHistogramBoundaries);
        control.onRecvHistogramBoundaries({{0, 30, 200}, {1, 0, 255}, {2, 0, 255}});
        QCOMPARE(control.findChild<QSpinBox *>("histogram_upper_0")->value(), 200);
        QCOMPARE(spy.count(), 0);
        if (box.isEmpty())
            control.findChild<QPushButton *>("histogram_apply")->click();
        else
            control.findChild<QSpinBox *>(box)->setValue(value);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(text(spy.first().at(0).value<Bounds>()), expected);
        QCOMPARE(spy.first().at(1).toInt(), 255);
    }

    void burstOfHistogramsIsDrawnOnce()
    {
        HistogramControl control;
        control.resize(320, 480);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        auto *timer = control.findChild<QTimer *>("histogram_replot_timer");
        QTRY_VERIFY(!timer->isActive());
        QSignalSpy replots(control.findChild<QWidget *>("histogram_plot"), SIGNAL(afterReplot()));
        for (int i = 0; i < 100; ++i)
            control.onRecvHistogramInfos({{0, {{qreal(i), 1000.0 + i}}}, {1, {{1, 5}}}, {2, {}}});
        QCOMPARE(replots.count(), 0);
        QTRY_COMPARE(replots.count(), 1);
        QVERIFY(!timer->isActive());
    }
};

QTEST_MAIN(TestCurveHistogram)
#include "tst_curvehistogram.moc"
