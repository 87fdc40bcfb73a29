// Edge snapping against edges at known places: drawn blurred steps and the stage micrometer of
// the virtual microscope.
#include <QtTest>

#include "edgesearch.h"
#include "virtualscope/renderer.h"

#include <cmath>
#include <functional>
#include <random>

using namespace EdgeSearch;
using Points = QVector<QPointF>;

namespace {

// A step of the given contrast, blurred by sigma 1, at signed distance d from it.
double blurredStep(double d, double contrast)
{
    return contrast * 0.5 * std::erfc(-d / std::sqrt(2.0));
}

// A grey picture of the scene's brightness, each pixel the mean of 4x4 samples over its area,
// with Gaussian noise of the given deviation.
QImage picture(const std::function<double(double, double)> &scene, double noise = 0.0)
{
    QImage image(200, 120, QImage::Format_Grayscale8);
    std::mt19937 rng(7);
    std::normal_distribution<double> grain(0.0, noise > 0 ? noise : 1.0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            double sum = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i)
                    sum += scene(x + (i + 0.5) / 4, y + (j + 0.5) / 4);
            const double v = 60 + sum / 16 + (noise > 0 ? grain(rng) : 0.0);
            image.scanLine(y)[x] = static_cast<uchar>(std::clamp(std::lround(v), 0L, 255L));
        }
    return image;
}

QPointF polar(double length, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return {length * std::cos(a), length * std::sin(a)};
}

} // namespace

class TestEdgeSearch : public QObject
{
    Q_OBJECT

private slots:
    void snapsToStepEdge_data()
    {
        QTest::addColumn<double>("angle");  // of the edge's normal
        QTest::addColumn<double>("offset"); // of the click across the edge
        QTest::addColumn<int>("range");
        QTest::addColumn<double>("contrast");
        QTest::addColumn<double>("noise");
        QTest::addColumn<bool>("found");
        QTest::newRow("3 px before") << 0.0 << -3.0 << 10 << 100.0 << 0.0 << true;
        QTest::newRow("3 px after") << 0.0 << 3.0 << 10 << 100.0 << 0.0 << true;
        QTest::newRow("oblique") << 30.0 << -3.0 << 10 << 100.0 << 0.0 << true;
        QTest::newRow("oblique, falling") << 110.0 << 3.0 << 10 << 100.0 << 0.0 << true;
        QTest::newRow("noisy") << 0.0 << 3.0 << 10 << 60.0 << 4.0 << true;
        QTest::newRow("8 px away, range 5") << 0.0 << 8.0 << 5 << 100.0 << 0.0 << false;
        QTest::newRow("8 px away, range 10") << 0.0 << 8.0 << 10 << 100.0 << 0.0 << true;
        QTest::newRow("flat noise") << 0.0 << 3.0 << 20 << 0.0 << 4.0 << false;
    }
    // The click moves across the edge onto it, not along it, in both modes; a single point
    // searches alike in both.
    void snapsToStepEdge()
    {
        QFETCH(double, angle);
        QFETCH(double, offset);
        QFETCH(int, range);
        QFETCH(double, contrast);
        QFETCH(double, noise);
        QFETCH(bool, found);
        const QPointF onEdge(100.3, 60.2), normal = polar(1, angle), along = polar(5, angle + 90);
        const QImage image = picture(
            [&](double x, double y) {
                return blurredStep((x - onEdge.x()) * normal.x() + (y - onEdge.y()) * normal.y(), contrast);
            },
            noise);
        const QPointF click = onEdge + along + offset * normal;
        for (Mode mode : {Mode::Point, Mode::Shape}) {
            const QVector<Result> results = snapToEdges(image, {click}, mode, range);
            QCOMPARE(results.size(), 1);
            QCOMPARE(results[0].found, found);
            const QPointF expected = found ? onEdge + along : click;
            QVERIFY2(QLineF(results[0].point, expected).length() < 0.5,
                     qPrintable(QString("%1, %2").arg(results[0].point.x()).arg(results[0].point.y())));
        }
    }

    void shapeModeKeepsTheShape_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<Points>("clicks");
        QTest::addColumn<Points>("expected");
        // A bright bar from x = 80.3 to 120.7, crossed by lines at 0 and 20 degrees through
        // (100.5, 60): each end moves along its line onto the bar's side.
        const QImage bar =
            picture([](double x, double) { return blurredStep(x - 80.3, 100) - blurredStep(x - 120.7, 100); });
        for (double angle : {0.0, 20.0}) {
            const QPointF centre(100.5, 60.0), dir = polar(1, angle);
            const double half = 20.2 / dir.x();
            QTest::addRow("line at %g degrees", angle)
                << bar << Points{centre - (half + 3) * dir, centre + (half + 2) * dir}
                << Points{centre - half * dir, centre + half * dir};
        }
        // A bright disc of radius 30: three points of a circle move outwards from their centroid.
        const QPointF centre(100.5, 60.3);
        const QImage disc =
            picture([&](double x, double y) { return blurredStep(30 - QLineF(centre, QPointF(x, y)).length(), 100); });
        QTest::newRow("circle") << disc
                                << Points{centre + polar(33, 10), centre + polar(27, 130), centre + polar(34, 250)}
                                << Points{centre + polar(30, 10), centre + polar(30, 130), centre + polar(30, 250)};
    }
    void shapeModeKeepsTheShape()
    {
        QFETCH(QImage, image);
        QFETCH(Points, clicks);
        QFETCH(Points, expected);
        const QVector<Result> results = snapToEdges(image, clicks, Mode::Shape, 10);
        QCOMPARE(results.size(), expected.size());
        for (int i = 0; i < results.size(); ++i) {
            QVERIFY(results[i].found);
            QVERIFY2(
                QLineF(results[i].point, expected[i]).length() < 0.5,
                qPrintable(QString("point %1 at %2, %3").arg(i).arg(results[i].point.x()).arg(results[i].point.y())));
        }
    }

    void micrometerTicks_data()
    {
        QTest::addColumn<double>("micronsPerPixel");
        QTest::addColumn<double>("within");
        // At 1 um/px the ticks are 1.5 px wide and 10 px apart: edges fill most of the search
        // window, and blur draws the peaks of a tick's two sides outwards by a third of a pixel.
        QTest::newRow("1 um/px") << 1.0 << 0.5;
        QTest::newRow("0.5 um/px") << 0.5 << 0.25;
        QTest::newRow("0.25 um/px") << 0.25 << 0.25;
    }
    // Both sides of two ticks 100 um apart on the rendered micrometer, clicked 3 px outside.
    void micrometerTicks()
    {
        QFETCH(double, micronsPerPixel);
        QFETCH(double, within);
        const int width = 1280, height = 720;
        virtualscope::SpecimenConfig config;
        config.kind = virtualscope::SpecimenKind::Micrometer;
        config.micronsPerPixel = micronsPerPixel;
        virtualscope::Renderer renderer(config, false);
        virtualscope::RenderSettings settings;
        renderer.specimenMeanLuma(width, height); // holds the specimen, which the focus depends on
        settings.focusOffset = renderer.inFocusOffsetAt(settings, 0.6, 0.45);
        QImage image(width, height, QImage::Format_RGB888);
        uint8_t *const planes[3] = {image.bits(), nullptr, nullptr};
        const int strides[3] = {image.bytesPerLine(), 0, 0};
        renderer.render(settings, virtualscope::PixelLayout::RGB24, width, height, 0.0, 1, planes, strides);

        // As the specimen draws them: a tick at the middle column and every 10 um, each
        // max(1.5 px, 1 um) wide and at least 35 um long upwards from the middle row.
        const double pxPerUm = 1.0 / micronsPerPixel, halfWidth = std::max(1.5, pxPerUm) / 2;
        const double y = height / 2 - 20 * pxPerUm, hundred = 100 * pxPerUm;
        Points edges;
        for (double tick : {width / 2.0, width / 2.0 + hundred})
            edges << QPointF(tick - halfWidth, y) << QPointF(tick + halfWidth, y);
        Points clicks;
        for (int i = 0; i < edges.size(); ++i)
            clicks << edges[i] + QPointF(i % 2 ? 3 : -3, 0);

        const QVector<Result> results = snapToEdges(image, clicks, Mode::Point, 10);
        for (int i = 0; i < edges.size(); ++i) {
            QVERIFY(results[i].found);
            QVERIFY2(
                QLineF(results[i].point, edges[i]).length() < within,
                qPrintable(QString("edge %1 at %2, %3").arg(i).arg(results[i].point.x()).arg(results[i].point.y())));
        }
        QVERIFY(std::abs(results[2].point.x() - results[0].point.x() - hundred) < 1);
        QVERIFY(std::abs(results[3].point.x() - results[1].point.x() - hundred) < 1);
    }
};

QTEST_GUILESS_MAIN(TestEdgeSearch)
#include "tst_edgesearch.moc"
