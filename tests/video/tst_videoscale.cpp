// Zoom percentages and the placement of the live picture in its pane, without widgets.
#include "videoscale.h"

#include <QtTest>

class TestVideoScale : public QObject
{
    Q_OBJECT
private slots:
    void scales_data()
    {
        QTest::addColumn<QSize>("container");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<double>("widthScale");
        QTest::addColumn<double>("heightScale");
        QTest::addColumn<double>("bestScale");

        QTest::newRow("hdInFullHd") << QSize(1920, 1080) << QSize(1280, 720) << 150.0 << 150.0 << 150.0;
        QTest::newRow("largeFrameShrinks") << QSize(800, 600) << QSize(4000, 3000) << 20.0 << 20.0 << 20.0;
        QTest::newRow("tinyFrameLimitedTo400") << QSize(1920, 1080) << QSize(100, 100) << 400.0 << 400.0 << 400.0;
        QTest::newRow("oneAxisLimitedTo400") << QSize(1920, 1080) << QSize(1000, 100) << 192.0 << 400.0 << 192.0;
        // 0.78125 and 0.6666...: cutting keeps 78.12 and 66.66 where rounding would give 78.13 and 66.67.
        QTest::newRow("cutNotRounded") << QSize(1000, 1000) << QSize(1280, 1500) << 78.12 << 66.66 << 66.66;
        QTest::newRow("heightDecides") << QSize(1000, 1000) << QSize(1000, 3000) << 100.0 << 33.33 << 33.33;
        QTest::newRow("widthDecides") << QSize(1000, 1000) << QSize(1920, 1080) << 52.08 << 92.59 << 52.08;
        QTest::newRow("emptyFrame") << QSize(1920, 1080) << QSize(0, 1080) << 0.0 << 0.0 << 0.0;
        QTest::newRow("emptyContainer") << QSize(0, 0) << QSize(640, 480) << 0.0 << 0.0 << 0.0;
    }

    void scales()
    {
        QFETCH(QSize, container);
        QFETCH(QSize, frame);
        QFETCH(double, widthScale);
        QFETCH(double, heightScale);
        QFETCH(double, bestScale);

        const VideoScale scale = VideoScale::compute(container, frame);
        // Two decimals exactly: compare in hundredths.
        QCOMPARE(qRound(scale.widthScale * 100), qRound(widthScale * 100));
        QCOMPARE(qRound(scale.heightScale * 100), qRound(heightScale * 100));
        QCOMPARE(qRound(scale.bestScale * 100), qRound(bestScale * 100));
    }

    void showScaleFollowsStrategy_data()
    {
        QTest::addColumn<int>("strategy");
        QTest::addColumn<double>("expected");

        // widthScale 52.08, heightScale 92.59, bestScale 52.08 (see widthDecides); the operator had 125.
        QTest::newRow("fitToWindow") << int(VideoScaleStrategy::FitToWindow) << 52.08;
        QTest::newRow("fitToWidth") << int(VideoScaleStrategy::FitToWidth) << 52.08;
        QTest::newRow("fitToHeight") << int(VideoScaleStrategy::FitToHeight) << 92.59;
        QTest::newRow("custom") << int(VideoScaleStrategy::Custom) << 125.0;
        QTest::newRow("otherValueKeepsChoice") << 150 << 125.0;
        QTest::newRow("belowFits") << -4 << 125.0;
    }

    void showScaleFollowsStrategy()
    {
        QFETCH(int, strategy);
        QFETCH(double, expected);

        const VideoScale scale = VideoScale::compute(QSize(1000, 1000), QSize(1920, 1080));
        QCOMPARE(scale.showScale(static_cast<VideoScaleStrategy>(strategy), 125.0), expected);
        QCOMPARE(isFitStrategy(static_cast<VideoScaleStrategy>(strategy)), strategy >= -3 && strategy <= -1);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("container");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QSizeF>("pictureSize");
        QTest::addColumn<QRect>("viewRect");
        QTest::addColumn<bool>("scrollsX");
        QTest::addColumn<bool>("scrollsY");

        const int bar = 16;
        // Centred: offset = half the free room, the view one pixel larger than the picture.
        QTest::newRow("centredBothAxes") << QSize(1000, 800) << QSize(640, 480) << 0 << 1.0 << QSizeF(640, 480)
                                         << QRect(180, 160, 641, 481) << false << false;
        QTest::newRow("fillsExactly") << QSize(800, 600) << QSize(400, 300) << 0 << 2.0 << QSizeF(800, 600)
                                      << QRect(0, 0, 800, 600) << false << false;
        QTest::newRow("oddRoomRoundsDown") << QSize(1001, 801) << QSize(640, 480) << 0 << 1.0 << QSizeF(640, 480)
                                           << QRect(180, 160, 641, 481) << false << false;
        // A fractional picture covers whole pixels rounded up.
        QTest::newRow("fractionalFactor") << QSize(1000, 800) << QSize(333, 333) << 0 << 1.5 << QSizeF(499.5, 499.5)
                                          << QRect(250, 150, 501, 501) << false << false;
        // Wider than the pane: the view spans the width; the height makes room for the scroll bar below.
        QTest::newRow("widerScrollsX") << QSize(800, 600) << QSize(1600, 200) << 0 << 1.0 << QSizeF(1600, 200)
                                       << QRect(0, (600 - 200 - bar) / 2, 800, 200 + bar + 1) << true << false;
        QTest::newRow("tallerScrollsY") << QSize(800, 600) << QSize(300, 1200) << 0 << 1.0 << QSizeF(300, 1200)
                                        << QRect((800 - 300 - bar) / 2, 0, 300 + bar + 1, 600) << false << true;
        QTest::newRow("largerBothWays") << QSize(800, 600) << QSize(1280, 960) << 0 << 4.0 << QSizeF(5120, 3840)
                                        << QRect(0, 0, 800, 600) << true << true;
        // The scroll bar room does not fit: that axis scrolls as well.
        QTest::newRow("scrollBarRoomFillsPane") << QSize(800, 600) << QSize(1600, 590) << 0 << 1.0 << QSizeF(1600, 590)
                                                << QRect(0, 0, 800, 600) << true << true;
        // Rotation by a quarter turn exchanges the frame's sides; a half turn does not.
        QTest::newRow("rotated90") << QSize(1000, 800) << QSize(640, 480) << 90 << 1.0 << QSizeF(480, 640)
                                   << QRect(260, 80, 481, 641) << false << false;
        QTest::newRow("rotated270") << QSize(1000, 800) << QSize(640, 480) << 270 << 1.0 << QSizeF(480, 640)
                                    << QRect(260, 80, 481, 641) << false << false;
        QTest::newRow("rotated180") << QSize(1000, 800) << QSize(640, 480) << 180 << 1.0 << QSizeF(640, 480)
                                    << QRect(180, 160, 641, 481) << false << false;
    }

    void layout()
    {
        QFETCH(QSize, container);
        QFETCH(QSize, frame);
        QFETCH(int, rotation);
        QFETCH(double, factor);
        QFETCH(QSizeF, pictureSize);
        QFETCH(QRect, viewRect);
        QFETCH(bool, scrollsX);
        QFETCH(bool, scrollsY);

        const VideoLayout layout = computeVideoLayout(container, frame, rotation, factor, 16);
        QCOMPARE(layout.pictureSize, pictureSize);
        QCOMPARE(layout.pixelSize, QSize(qCeil(pictureSize.width()), qCeil(pictureSize.height())));
        QCOMPARE(layout.viewRect, viewRect);
        QCOMPARE(layout.scrollsHorizontally, scrollsX);
        QCOMPARE(layout.scrollsVertically, scrollsY);
        QVERIFY(QRect(QPoint(0, 0), container).contains(layout.viewRect));
    }
};

QTEST_GUILESS_MAIN(TestVideoScale)
#include "tst_videoscale.moc"
