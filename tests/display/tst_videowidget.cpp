// The display pane in a real window (Xvfb, Mesa's OpenGL): zoom figures, the placement of the
// view, scene and picture widget, frame filtering, rotation, and the relays to the renderer.
#include "graphicsview.h"
#include "i420buffer.h"
#include "openglvideowidget.h"
#include "renderer.h"
#include "rgb24buffer.h"
#include "surfaceformat.h"
#include "videowidget.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QOpenGLContext>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const QSize kPaneSize(800, 600);

// A uniform picture; Y 102 with neutral chroma is RGB 100 after the BT.601 limited-range conversion.
VideoFrame makeFrame(QSize size, std::uint8_t y = 102, std::uint8_t u = 128, std::uint8_t v = 128)
{
    auto buffer = I420Buffer::Create(size.width(), size.height());
    std::fill_n(buffer->MutableDataY(), buffer->StrideY() * size.height(), y);
    std::fill_n(buffer->MutableDataU(), buffer->StrideU() * buffer->ChromaHeight(), u);
    std::fill_n(buffer->MutableDataV(), buffer->StrideV() * buffer->ChromaHeight(), v);
    return VideoFrame(buffer, 1);
}

struct Yuv
{
    std::uint8_t y, u, v;
};

// The left half of the picture in one colour, the right half in another.
VideoFrame makeTwoColourFrame(QSize size, Yuv left, Yuv right)
{
    auto buffer = I420Buffer::Create(size.width(), size.height());
    for (int row = 0; row < size.height(); ++row) {
        for (int x = 0; x < size.width(); ++x) {
            buffer->MutableDataY()[row * buffer->StrideY() + x] = x < size.width() / 2 ? left.y : right.y;
        }
    }
    for (int row = 0; row < buffer->ChromaHeight(); ++row) {
        for (int x = 0; x < buffer->ChromaWidth(); ++x) {
            const Yuv &colour = x < buffer->ChromaWidth() / 2 ? left : right;
            buffer->MutableDataU()[row * buffer->StrideU() + x] = colour.u;
            buffer->MutableDataV()[row * buffer->StrideV() + x] = colour.v;
        }
    }
    return VideoFrame(buffer, 1);
}

// A uniform picture with an 8 x 8 marker of another colour in its top-left and bottom-right corners.
VideoFrame makeCornerFrame(QSize size, Yuv field, Yuv topLeft, Yuv bottomRight)
{
    auto buffer = I420Buffer::Create(size.width(), size.height());
    const auto colourAt = [&](int x, int y) -> const Yuv & {
        if (x < 8 && y < 8)
            return topLeft;
        return x >= size.width() - 8 && y >= size.height() - 8 ? bottomRight : field;
    };
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            buffer->MutableDataY()[y * buffer->StrideY() + x] = colourAt(x, y).y;
        }
    }
    for (int y = 0; y < buffer->ChromaHeight(); ++y) {
        for (int x = 0; x < buffer->ChromaWidth(); ++x) {
            buffer->MutableDataU()[y * buffer->StrideU() + x] = colourAt(2 * x, 2 * y).u;
            buffer->MutableDataV()[y * buffer->StrideV() + x] = colourAt(2 * x, 2 * y).v;
        }
    }
    return VideoFrame(buffer, 1);
}

// A planar buffer that claims a size without pixels, as a broken source could hand over.
class SizeOnlyBuffer final : public I420BufferInterface
{
public:
    SizeOnlyBuffer(int width, int height) : m_width(width), m_height(height) {}
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    int StrideY() const override { return 0; }
    int StrideU() const override { return 0; }
    int StrideV() const override { return 0; }
    const std::uint8_t *DataY() const override { return nullptr; }
    const std::uint8_t *DataU() const override { return nullptr; }
    const std::uint8_t *DataV() const override { return nullptr; }

private:
    int m_width;
    int m_height;
};

// The colour at the centre of a read-back RGB24 picture.
QColor centreColour(const VideoFrame &frame)
{
    const auto *rgb = dynamic_cast<const RGB24BufferInterface *>(frame.videoFrameBuffer().get());
    const std::uint8_t *pixel = rgb->Data() + (frame.height() / 2) * rgb->Stride() + 3 * (frame.width() / 2);
    return QColor(pixel[0], pixel[1], pixel[2]);
}

// A change of the pane's settings, applied before a frame is drawn.
using PaneSetting = std::function<void(VideoWidget &)>;

} // namespace

Q_DECLARE_METATYPE(PaneSetting)

class TestVideoWidget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pane = std::make_unique<VideoWidget>();
        m_pane->resize(kPaneSize);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        // Frames reach the renderer only once the picture widget has its context.
        QTRY_VERIFY(picture()->isInitialized());
    }

    void cleanup() { m_pane.reset(); }

    void layoutFollowsFrame_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<int>("strategy");
        QTest::addColumn<double>("bestScale");
        QTest::addColumn<double>("showScale");
        QTest::addColumn<QSizeF>("sceneSize");
        QTest::addColumn<QRect>("viewRect");

        const int window = int(VideoScaleStrategy::FitToWindow);
        QTest::newRow("smallFrameFillsPane")
            << QSize(320, 240) << window << 250.0 << 250.0 << QSizeF(800, 600) << QRect(0, 0, 800, 600);
        QTest::newRow("largeFrameShrinks")
            << QSize(4000, 3000) << window << 20.0 << 20.0 << QSizeF(800, 600) << QRect(0, 0, 800, 600);
        QTest::newRow("wideFrameCentredVertically")
            << QSize(400, 100) << window << 200.0 << 200.0 << QSizeF(800, 200) << QRect(0, 200, 800, 201);
        QTest::newRow("tinyFrameLimitedTo400")
            << QSize(100, 100) << window << 400.0 << 400.0 << QSizeF(400, 400) << QRect(200, 100, 401, 401);
        QTest::newRow("fitToWidth") << QSize(1600, 400) << int(VideoScaleStrategy::FitToWidth) << 50.0 << 50.0
                                    << QSizeF(800, 200) << QRect(0, 200, 800, 201);
        QTest::newRow("fractionalFit") << QSize(1920, 1080) << window << 41.66 << 41.66
                                       << QSizeF(1920 * 0.4166, 1080 * 0.4166) << QRect(0, 75, 800, 451);
        // The operator's 100 % stays until a fit is chosen.
        QTest::newRow("customKeepsFactor") << QSize(640, 480) << int(VideoScaleStrategy::Custom) << 125.0 << 100.0
                                           << QSizeF(640, 480) << QRect(80, 60, 641, 481);
    }

    void layoutFollowsFrame()
    {
        QFETCH(QSize, frame);
        QFETCH(int, strategy);
        QFETCH(double, bestScale);
        QFETCH(double, showScale);
        QFETCH(QSizeF, sceneSize);
        QFETCH(QRect, viewRect);

        m_pane->onSetScaleStrategy(static_cast<VideoScaleStrategy>(strategy));
        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        QSignalSpy renderSpy(m_pane.get(), &VideoWidget::renderDone);
        m_pane->onFrame(makeFrame(frame));

        QCOMPARE(scaleSpy.count(), 1);
        QCOMPARE(scaleSpy.at(0).at(0).toDouble(), bestScale);
        QCOMPARE(scaleSpy.at(0).at(1).toDouble(), showScale);
        QCOMPARE(scaleSpy.at(0).at(2).value<VideoScaleStrategy>(), static_cast<VideoScaleStrategy>(strategy));
        QCOMPARE(pictureRect(), QRectF(QPointF(0, 0), sceneSize));
        QCOMPARE(m_pane->graphicsView()->scene()->sceneRect(), QRectF(QPointF(0, 0), QSizeF(frame)));
        QCOMPARE(m_pane->graphicsView()->geometry(), viewRect);
        QCOMPARE(picture()->size(), QSize(qCeil(sceneSize.width()), qCeil(sceneSize.height())));
        QCOMPARE(picture()->pos(), QPoint(0, 0));
        // The picture fits, so neither scroll bar may show up.
        QVERIFY(!m_pane->graphicsView()->horizontalScrollBar()->isVisible());
        QVERIFY(!m_pane->graphicsView()->verticalScrollBar()->isVisible());
        QCOMPARE(renderSpy.count(), 1);

        // The same size again changes nothing.
        m_pane->onFrame(makeFrame(frame));
        QCOMPARE(scaleSpy.count(), 1);
        QTRY_COMPARE(renderSpy.count(), 2); // the CPU corrections may hold the second one
    }

    void widePictureScrollsAcross()
    {
        m_pane->onSetScaleStrategy(VideoScaleStrategy::FitToHeight);
        m_pane->onFrame(makeFrame(QSize(400, 100)));
        GraphicsView *view = m_pane->graphicsView();
        QCOMPARE(pictureRect(), QRectF(0, 0, 1600, 400));
        QCOMPARE(view->width(), kPaneSize.width());

        // The view made room for the scroll bar below: all 400 rows are visible, nothing scrolls down.
        QVERIFY(view->horizontalScrollBar()->isVisible());
        QVERIFY(!view->verticalScrollBar()->isVisible());
        QVERIFY(view->viewport()->height() >= 400);
        QCOMPARE(view->horizontalScrollBar()->maximum(), 1600 - view->viewport()->width());
        QVERIFY(view->geometry().bottom() < kPaneSize.height());

        QSignalSpy offsetSpy(view, &GraphicsView::signalSendOffset);
        view->horizontalScrollBar()->setValue(300);
        // The picture widget stays over the viewport, as high as the picture.
        QCOMPARE(picture()->geometry(), QRect(0, 0, 800, 400));
        QVERIFY(!offsetSpy.isEmpty());
        QCOMPARE(offsetSpy.last().at(0).toPointF(), QPointF(75, 0)); // in picture pixels
    }

    void regionFramesAreEditedOnThePicture()
    {
        m_pane->onSetScaleStrategy(VideoScaleStrategy::FitToWindow);
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        GraphicsView *view = m_pane->graphicsView();
        QSignalSpy edited(m_pane.get(), &VideoWidget::expRegionUpdate);
        CameraControlRegion region;
        region.enable = true;
        region.x = 40;
        region.y = 30;
        region.width = 100;
        region.height = 80;
        m_pane->onExpRegionChangedFromCamSettings(region);
        const auto drag = [&](QPointF from, QPointF to) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(from));
            QMouseEvent move(QEvent::MouseMove, view->mapFromScene(to), Qt::LeftButton, Qt::LeftButton, {});
            QApplication::sendEvent(view->viewport(), &move);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(to));
        };
        // Moved by its inside, kept within the picture; resized by its corner.
        drag({90, 70}, {390, 70});
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.last(), (QList<QVariant>{true, 220, 30, 100, 80}));
        drag({319, 109}, {270, 90});
        const QList<QVariant> resized = edited.last();
        QCOMPARE(resized.mid(0, 3), (QList<QVariant>{true, 220, 30}));
        // Within the pixel the mouse can reach at this zoom.
        QVERIFY(qAbs(resized[3].toInt() - 50) <= 1 && qAbs(resized[4].toInt() - 60) <= 1);

        // A new scene over the picture takes the frame along; switched off, it is gone.
        QGraphicsScene replacement;
        view->replaceScene(&replacement);
        QCOMPARE(replacement.items().size(), 1);
        region.enable = false;
        m_pane->onExpRegionChangedFromCamSettings(region);
        QVERIFY(replacement.items().isEmpty());
        view->replaceScene(nullptr);
    }

    void zoomKeepsViewCentre()
    {
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        m_pane->onSetScalePercent(400);
        GraphicsView *view = m_pane->graphicsView();
        QCOMPARE(pictureRect(), QRectF(0, 0, 1280, 960));
        QCOMPARE(view->geometry(), QRect(QPoint(0, 0), kPaneSize));
        // Zooming in from the fitted picture keeps its centre in the middle of the view.
        const QSize port = view->viewport()->size();
        QCOMPARE(scrollPosition(), QPoint(640 - port.width() / 2, 480 - port.height() / 2));

        view->horizontalScrollBar()->setValue(200);
        view->verticalScrollBar()->setValue(100);
        const QPointF centre = view->mapToScene(port.width() / 2, port.height() / 2);

        m_pane->onSetScalePercent(300);
        QCOMPARE(pictureRect(), QRectF(0, 0, 960, 720));
        const QPointF after = view->mapToScene(port.width() / 2, port.height() / 2);
        QVERIFY2(std::abs(after.x() - centre.x()) <= 0.5 && std::abs(after.y() - centre.y()) <= 0.5,
                 qPrintable(QStringLiteral("centre %1,%2 became %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(after.x())
                                .arg(after.y())));
    }

    void zoomPercent_data()
    {
        QTest::addColumn<double>("maxZoom");
        QTest::addColumn<double>("percent");
        QTest::addColumn<QSizeF>("sceneSize");

        // The fitted 320 x 240 frame is 800 x 600 (250 %).
        QTest::newRow("halfSize") << 400.0 << 50.0 << QSizeF(160, 120);
        QTest::newRow("fractional") << 400.0 << 62.5 << QSizeF(200, 150);
        QTest::newRow("atMaximum") << 400.0 << 400.0 << QSizeF(1280, 960);
        QTest::newRow("aboveMaximum") << 400.0 << 400.5 << QSizeF(800, 600);
        QTest::newRow("raisedMaximum") << 800.0 << 800.0 << QSizeF(2560, 1920);
        QTest::newRow("zero") << 400.0 << 0.0 << QSizeF(800, 600);
        QTest::newRow("negative") << 400.0 << -50.0 << QSizeF(800, 600);
    }

    void zoomPercent()
    {
        QFETCH(double, maxZoom);
        QFETCH(double, percent);
        QFETCH(QSizeF, sceneSize);

        m_pane->setMaxZoomPercent(maxZoom);
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        m_pane->onSetScalePercent(percent);
        QCOMPARE(pictureRect(), QRectF(QPointF(0, 0), sceneSize));
        QCOMPARE(picture()->size(), sceneSize.toSize().boundedTo(m_pane->graphicsView()->viewport()->size()));
        const bool accepted = sceneSize != QSizeF(800, 600);
        QCOMPARE(m_pane->scaleStrategy(), accepted ? VideoScaleStrategy::Custom : VideoScaleStrategy::FitToWindow);

        // A new frame size keeps the operator's zoom; choosing a fit again brings the fitted size back.
        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        m_pane->onFrame(makeFrame(QSize(160, 120)));
        QCOMPARE(scaleSpy.count(), 1);
        QCOMPARE(scaleSpy.at(0).at(0).toDouble(), 400.0);
        if (accepted) {
            QCOMPARE(scaleSpy.at(0).at(1).toDouble(), percent);
            QCOMPARE(pictureRect(), QRectF(QPointF(0, 0), sceneSize / 2));
        }
        m_pane->onSetScaleStrategy(VideoScaleStrategy::FitToWindow);
        QCOMPARE(scaleSpy.count(), 2);
        QCOMPARE(scaleSpy.at(1).at(1).toDouble(), 400.0);
        QCOMPARE(pictureRect(), QRectF(0, 0, 640, 480));
    }

    void paneResizeRelayouts()
    {
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        m_pane->resize(400, 360);
        QVERIFY(!scaleSpy.isEmpty());
        QCOMPARE(scaleSpy.last().at(0).toDouble(), 125.0);
        QCOMPARE(pictureRect(), QRectF(0, 0, 400, 300));
        QCOMPARE(m_pane->graphicsView()->geometry(), QRect(0, 30, 400, 301));

        // The resize also asks the next frame, even of the same size, to lay out again.
        scaleSpy.clear();
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        QCOMPARE(scaleSpy.count(), 1);
        m_pane->onFrame(makeFrame(QSize(320, 240)));
        QCOMPARE(scaleSpy.count(), 1);
    }

    void rotatedFrameIsNoSizeChange()
    {
        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        QSignalSpy regionSpy(m_pane.get(), &VideoWidget::signalRegionPosChange);
        QSignalSpy renderSpy(m_pane.get(), &VideoWidget::renderDone);
        m_pane->onFrame(makeFrame(QSize(640, 480)));
        QCOMPARE(scaleSpy.count(), 1);
        QCOMPARE(pictureRect(), QRectF(0, 0, 800, 600));

        // The rotation lays the picture out upright at once: 480 x 640 at 93.75 %.
        m_pane->onlCurVideoRotate(90);
        QCOMPARE(scaleSpy.count(), 2);
        QCOMPARE(scaleSpy.last().at(0).toDouble(), 93.75);
        QCOMPARE(pictureRect(), QRectF(0, 0, 450, 600));
        QCOMPARE(m_pane->graphicsView()->geometry(), QRect(175, 0, 451, 600));
        QCOMPARE(regionSpy.count(), 1);
        QCOMPARE(regionSpy.last(), QVariantList({90, 640, 480}));

        // Rotated frames, and older ones still on their way, are drawn without a new layout.
        m_pane->onFrame(makeFrame(QSize(480, 640)));
        m_pane->onFrame(makeFrame(QSize(640, 480)));
        m_pane->onFrame(makeFrame(QSize(480, 640)));
        QCOMPARE(scaleSpy.count(), 2);
        QTRY_COMPARE(renderSpy.count(), 4);
        QCOMPARE(pictureRect(), QRectF(0, 0, 450, 600));

        // A real size change while rotated: 600 x 800 shown, 75 %.
        m_pane->onFrame(makeFrame(QSize(600, 800)));
        QCOMPARE(scaleSpy.count(), 3);
        QCOMPARE(scaleSpy.last().at(0).toDouble(), 75.0);
        QCOMPARE(pictureRect(), QRectF(0, 0, 450, 600));

        // Back to no rotation: the same stream is laid out as 800 x 600 again.
        m_pane->onResetRotateState();
        QCOMPARE(m_pane->rotation(), 0);
        QCOMPARE(scaleSpy.count(), 4);
        QCOMPARE(scaleSpy.last().at(0).toDouble(), 100.0);
        QCOMPARE(pictureRect(), QRectF(0, 0, 800, 600));
        QCOMPARE(regionSpy.last(), QVariantList({0, 800, 600}));

        // Angles other than the quarter turns count as none.
        m_pane->onlCurVideoRotate(45);
        QCOMPARE(m_pane->rotation(), 0);
        QCOMPARE(scaleSpy.count(), 4);
    }

    void resolutionSetsSizeBeforeRotation()
    {
        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        QSignalSpy regionSpy(m_pane.get(), &VideoWidget::signalRegionPosChange);
        m_pane->onlCurVideoRotate(270);
        CameraResolution resolution;
        resolution.width = 1600;
        resolution.height = 1200;
        m_pane->onCurResolution(resolution);
        QCOMPARE(regionSpy.last(), QVariantList({270, 1600, 1200}));

        // The first frame comes rotated: it matches the stream and is laid out upright (37.5 %).
        m_pane->onFrame(makeFrame(QSize(1200, 1600)));
        QCOMPARE(scaleSpy.count(), 1);
        QCOMPARE(scaleSpy.last().at(0).toDouble(), 37.5);
        QCOMPARE(pictureRect(), QRectF(0, 0, 450, 600));
    }

    void emptyFramesAreIgnored_data()
    {
        QTest::addColumn<VideoFrame>("frame");
        QTest::newRow("noBuffer") << VideoFrame();
        QTest::newRow("zeroWidth") << VideoFrame(std::make_shared<SizeOnlyBuffer>(0, 480), 1);
        QTest::newRow("zeroHeight") << VideoFrame(std::make_shared<SizeOnlyBuffer>(640, 0), 1);
        QTest::newRow("negativeWidth") << VideoFrame(std::make_shared<SizeOnlyBuffer>(-640, 480), 1);
    }

    void emptyFramesAreIgnored()
    {
        QFETCH(VideoFrame, frame);

        QSignalSpy scaleSpy(m_pane.get(), &VideoWidget::videoWidgetScaleChanged);
        QSignalSpy renderSpy(m_pane.get(), &VideoWidget::renderDone);
        // Before any frame: nothing is laid out or drawn.
        m_pane->onFrame(frame);
        QCOMPARE(scaleSpy.count(), 0);
        QCOMPARE(renderSpy.count(), 0);

        m_pane->onFrame(makeFrame(QSize(320, 240)));
        const QRect viewRect = m_pane->graphicsView()->geometry();
        m_pane->onFrame(frame);
        QCOMPARE(scaleSpy.count(), 1);
        QCOMPARE(renderSpy.count(), 1);
        QCOMPARE(pictureRect(), QRectF(0, 0, 800, 600));
        QCOMPARE(m_pane->graphicsView()->geometry(), viewRect);
    }

    void correctionsReachPicture_data()
    {
        QTest::addColumn<PaneSetting>("apply");
        QTest::addColumn<QColor>("expected");

        // The frame is RGB 100, 100, 100.
        QTest::newRow("none") << PaneSetting([](VideoWidget &) {}) << QColor(100, 100, 100);
        QTest::newRow("negative") << PaneSetting([](VideoWidget &pane) { pane.onSetVideoNegative(true); })
                                  << QColor(155, 155, 155);
        QTest::newRow("blackRed") << PaneSetting([](VideoWidget &pane) { pane.onSetVideoBlackBalanceR(20, 100); })
                                  << QColor(49, 100, 100);
        QTest::newRow("blackGreen") << PaneSetting([](VideoWidget &pane) { pane.onSetVideoBlackBalanceG(1, 4); })
                                    << QColor(100, 36, 100);
        QTest::newRow("blackBlue") << PaneSetting([](VideoWidget &pane) { pane.onSetVideoBlackBalanceB(51, 255); })
                                   << QColor(100, 100, 49);
        QTest::newRow("blackWithoutRangeIgnored")
            << PaneSetting([](VideoWidget &pane) { pane.onSetVideoBlackBalanceR(20, 0); }) << QColor(100, 100, 100);
        QTest::newRow("histogram") << PaneSetting([](VideoWidget &pane) {
            pane.onSetHistogramBoundaries({{0, 0, 200}, {1, 50, 250}, {2, 0, 100}}, 255);
            pane.onSetHistogramStatus(true);
        }) << QColor(128, 64, 255);
    }

    void correctionsReachPicture()
    {
        QFETCH(PaneSetting, apply);
        QFETCH(QColor, expected);

        apply(*m_pane);
        m_pane->onFrame(makeFrame(QSize(64, 48)));
        QSignalSpy pictureSpy(m_pane.get(), &VideoWidget::sendWatermarkFrame);
        emit m_pane->getWatermarkFrame();
        QTRY_COMPARE(pictureSpy.count(), 1);
        const VideoFrame frame = pictureSpy.at(0).at(0).value<VideoFrame>();
        QCOMPARE(QSize(frame.width(), frame.height()), QSize(64, 48));
        const QColor colour = centreColour(frame);
        QVERIFY2(std::abs(colour.red() - expected.red()) <= 2 && std::abs(colour.green() - expected.green()) <= 2 &&
                     std::abs(colour.blue() - expected.blue()) <= 2,
                 qPrintable(colour.name()));
    }

    void ffcSwitchedOffByNewSizeIsReported()
    {
        auto average = RGB24Buffer::Create(64, 48);
        std::fill_n(average->MutableData(), average->Stride() * 48, std::uint8_t(200));
        m_pane->onSetFFCAverageFrame(VideoFrame(average, 0));
        m_pane->onSetFFCStatus(true);
        QSignalSpy ffcSpy(m_pane.get(), &VideoWidget::changeFFCStatus);
        m_pane->onFrame(makeFrame(QSize(64, 48)));
        QCOMPARE(ffcSpy.count(), 0);
        m_pane->onFrame(makeFrame(QSize(96, 48)));
        QCOMPARE(ffcSpy.count(), 1);
        QCOMPARE(ffcSpy.at(0).at(0).toBool(), false);
    }

    void watermarkTextReachesRenderer()
    {
        RenderTextInfo info;
        info.text = QStringLiteral("first");
        emit m_pane->updateWatermarkText(info);
        info.text = QStringLiteral("second");
        emit m_pane->updateWatermarkText(info);
        const QVector<RenderTextInfo> texts = picture()->renderer()->watermarkTexts();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.first().text, QStringLiteral("second"));
    }

    void doubleClickLeavesFullScreen_data()
    {
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<int>("exits");
        QTest::newRow("fullScreen") << true << 1;
        QTest::newRow("windowed") << false << 0;
    }

    void doubleClickLeavesFullScreen()
    {
        QFETCH(bool, fullScreen);
        QFETCH(int, exits);

        m_pane->onFrame(makeFrame(QSize(320, 240)));
        m_pane->setFullScreen(fullScreen);
        QSignalSpy exitSpy(m_pane.get(), &VideoWidget::signalExitFullScreen);
        // Over the picture (the view's viewport) and beside it.
        QTest::mouseDClick(m_pane->graphicsView()->viewport(), Qt::LeftButton, {}, QPoint(400, 300));
        m_pane->onSetScalePercent(50);
        QTest::mouseDClick(m_pane.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(exitSpy.count(), 2 * exits);
    }

    void pictureShowsThroughView()
    {
        // Left half red, right half green (BT.601 limited range).
        const VideoFrame frame = makeTwoColourFrame(QSize(320, 240), {81, 90, 240}, {145, 54, 34});
        m_pane->onFrame(frame);
        m_pane->onSetScalePercent(100);
        GraphicsView *view = m_pane->graphicsView();
        view->scene()->addRect(QRectF(10, 10, 40, 40), QPen(Qt::NoPen), QBrush(Qt::blue));
        m_pane->onFrame(frame);
        const auto screenColour = [this](QPoint pos) {
            return QColor(m_pane->screen()->grabWindow(m_pane->winId(), pos.x(), pos.y(), 1, 1).toImage().pixel(0, 0));
        };
        const auto near = [](const QColor &a, const QColor &b) {
            return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8 &&
                   std::abs(a.blue() - b.blue()) <= 8;
        };

        // The picture under the transparent view, the scene's items over it, the pane beside it.
        const QPoint corner = view->geometry().topLeft();
        // The picture and the view over it paint separately: each is waited for.
        QTRY_VERIFY(near(screenColour(corner + QPoint(80, 120)), Qt::red));
        QTRY_VERIFY(near(screenColour(corner + QPoint(240, 120)), Qt::green));
        QTRY_VERIFY(near(screenColour(corner + QPoint(30, 30)), Qt::blue));
        const QColor beside = screenColour(QPoint(5, 5));
        QVERIFY2(!near(beside, Qt::red) && !near(beside, Qt::green), qPrintable(beside.name()));

        // At 400 % the colour edge is 640 screen pixels across: on screen it must move with the scrolling.
        m_pane->onSetScalePercent(400);
        QScrollBar *across = view->horizontalScrollBar();
        for (const int scroll : {0, 300, across->maximum()}) {
            across->setValue(scroll);
            m_pane->onFrame(frame);
            const QPoint edge = view->geometry().topLeft() + QPoint(640 - scroll, 100);
            QTRY_VERIFY2(near(screenColour(edge - QPoint(20, 0)), Qt::red) &&
                             near(screenColour(edge + QPoint(20, 0)), Qt::green),
                         qPrintable(QString::number(scroll)));
        }
    }

    // The picture widget is as large as the view, not as the zoomed picture: a wide frame at 400 %
    // would need a frame buffer beyond the graphics card's limits and show nothing.
    void largeZoomDrawsTheVisiblePart()
    {
        const Yuv red{81, 90, 240}, green{145, 54, 34}, blue{41, 240, 110};
        const VideoFrame frame = makeCornerFrame(QSize(5440, 3648), red, green, blue);
        m_pane->onFrame(frame);
        m_pane->onSetScalePercent(400);
        GraphicsView *view = m_pane->graphicsView();
        QCOMPARE(pictureRect(), QRectF(0, 0, 21760, 14592));
        QCOMPARE(picture()->geometry(), view->viewport()->geometry());
        const QPoint port = view->geometry().topLeft() + view->viewport()->pos();
        const QPoint portEnd = port + QPoint(view->viewport()->width(), view->viewport()->height());
        const auto near = [this](QPoint pos, const QColor &expected) {
            const QColor c(m_pane->screen()->grabWindow(m_pane->winId(), pos.x(), pos.y(), 1, 1).toImage().pixel(0, 0));
            return std::abs(c.red() - expected.red()) <= 8 && std::abs(c.green() - expected.green()) <= 8 &&
                   std::abs(c.blue() - expected.blue()) <= 8;
        };

        // Each corner marker is 32 screen pixels wide at 400 %, right in the corner it is scrolled to.
        m_pane->onFrame(frame);
        QTRY_VERIFY(near(port + QPoint(400, 300), Qt::red));
        view->horizontalScrollBar()->setValue(0);
        view->verticalScrollBar()->setValue(0);
        m_pane->onFrame(frame);
        QTRY_VERIFY(near(port + QPoint(16, 16), Qt::green) && near(port + QPoint(48, 48), Qt::red));
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        m_pane->onFrame(frame);
        QTRY_VERIFY(near(portEnd - QPoint(16, 16), Qt::blue) && near(portEnd - QPoint(48, 48), Qt::red));
        QCOMPARE(picture()->geometry(), view->viewport()->geometry());
    }

private:
    OpenGLVideoWidget *picture() const { return m_pane->graphicsView()->videoWidget(); }
    // The picture as laid out on screen: the scene, in picture pixels, through the view's zoom.
    QRectF pictureRect() const
    {
        const GraphicsView *view = m_pane->graphicsView();
        return view->transform().mapRect(view->scene()->sceneRect());
    }
    QPoint scrollPosition() const
    {
        return {m_pane->graphicsView()->horizontalScrollBar()->value(),
                m_pane->graphicsView()->verticalScrollBar()->value()};
    }

    std::unique_ptr<VideoWidget> m_pane;
};

int main(int argc, char **argv)
{
    setDefaultSurfaceFormat();                // the program's own context
    QStandardPaths::setTestModeEnabled(true); // the pane reads the program's options
    QApplication app(argc, argv);
    TestVideoWidget test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videowidget.moc"
