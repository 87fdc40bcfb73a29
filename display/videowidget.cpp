#include "videowidget.h"

#include "configstore.h"
#include "graphicsview.h"
#include "openglvideowidget.h"
#include "regionframe.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtMath>

VideoWidget::VideoWidget(QWidget *parent) : QWidget(parent), m_pictureArea(new QWidget(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pictureArea);
    m_pictureArea->installEventFilter(this);
    m_view = new GraphicsView(m_pictureArea);

    OpenGLVideoWidget *picture = m_view->videoWidget();
    picture->setCorrectionOption(ConfigStore::instance()
                                     .value(ConfigGroup::Base, BaseKey::PictureCorrections, QStringLiteral("auto"))
                                     .toString());
    m_shownClock.start();
    connect(picture, &OpenGLVideoWidget::renderDone, this, &VideoWidget::renderDone);
    connect(picture, &OpenGLVideoWidget::changeFFCStatus, this, &VideoWidget::changeFFCStatus);
    connect(picture, &OpenGLVideoWidget::sendWatermarkFrame, this, &VideoWidget::sendWatermarkFrame);
    connect(this, &VideoWidget::getWatermarkFrame, picture, &OpenGLVideoWidget::getWatermarkFrame);
    connect(this, &VideoWidget::updateWatermarkText, picture, &OpenGLVideoWidget::onUpdateWatermarkText);
    connect(picture, &OpenGLVideoWidget::sendFrameForRecording, this, &VideoWidget::sendFrameForRecording);

    connect(m_view, &GraphicsView::sceneReplaced, this, &VideoWidget::onSceneReplaced);
    m_recordMarker = new QGraphicsSimpleTextItem(QStringLiteral("\u25CF REC"));
    QFont font = m_recordMarker->font();
    font.setBold(true);
    font.setPointSize(14);
    m_recordMarker->setFont(font);
    m_recordMarker->setBrush(QColor(230, 30, 30));
    m_recordMarker->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    m_recordMarker->setZValue(1e6);
    m_blink.setInterval(500);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        placeRecordMarker();
        m_recordMarker->setVisible(!m_recordMarker->isVisible());
    });
}

VideoWidget::~VideoWidget()
{
    // Each leaves the scene it is in.
    delete m_recordMarker;
    for (RegionFrame *frame : m_regions)
        delete frame;
}

void VideoWidget::onSceneReplaced(QGraphicsScene *previous, QGraphicsScene *current)
{
    // The pane's own items go over to the new scene.
    QList<QGraphicsItem *> items{m_recordMarker};
    for (RegionFrame *frame : m_regions)
        items << frame;
    for (QGraphicsItem *item : items) {
        if (item && item->scene() == previous) {
            previous->removeItem(item);
            current->addItem(item);
        }
    }
    if (m_recordMarker->scene())
        placeRecordMarker();
}

QString VideoWidget::regionName(RegionKind kind)
{
    switch (kind) {
    case FocusRegion:
        return tr("Focus");
    case ExposureRegion:
        return tr("Exposure");
    case WhiteBalanceRegion:
        return tr("White Balance");
    default:
        return tr("Black Balance");
    }
}

void VideoWidget::showRegion(RegionKind kind, const CameraControlRegion &region)
{
    RegionFrame *&frame = m_regions[kind];
    if (!region.enable || region.width < 1 || region.height < 1) {
        if (frame && frame->scene())
            frame->scene()->removeItem(frame);
        return;
    }
    if (!frame) {
        static const QColor colours[RegionKinds] = {QColor(60, 220, 60), QColor(250, 210, 40), QColor(40, 200, 250),
                                                    QColor(230, 80, 230)};
        using Update = void (VideoWidget::*)(bool, int, int, int, int);
        static const Update updates[RegionKinds] = {&VideoWidget::focusRegionV2Update, &VideoWidget::expRegionUpdate,
                                                    &VideoWidget::wBRegionUpdate, &VideoWidget::bBRegionUpdate};
        const Update update = updates[kind];
        frame = new RegionFrame(colours[kind], regionName(kind), [this, update](const QRect &r) {
            (this->*update)(true, r.x(), r.y(), r.width(), r.height());
        });
    }
    if (frame->scene() != m_view->scene())
        m_view->scene()->addItem(frame);
    frame->setRegion(QRect(region.x, region.y, region.width, region.height));
}

void VideoWidget::onFocusRegionV2ChangedFromCamSettings(CameraControlRegion region)
{
    showRegion(FocusRegion, region);
}

void VideoWidget::onExpRegionChangedFromCamSettings(CameraControlRegion region)
{
    showRegion(ExposureRegion, region);
}

void VideoWidget::onWBRegionChangedFromCamSettings(CameraControlRegion region)
{
    showRegion(WhiteBalanceRegion, region);
}

void VideoWidget::onBBRegionChangedFromCamSettings(CameraControlRegion region)
{
    showRegion(BlackBalanceRegion, region);
}

void VideoWidget::onStartRecording()
{
    if (m_recording || m_lastFrame.isNull())
        return;
    m_recording = true;
    m_view->videoWidget()->onStartRecording();
    m_view->scene()->addItem(m_recordMarker);
    placeRecordMarker();
    m_recordMarker->show();
    m_blink.start();
}

void VideoWidget::placeRecordMarker()
{
    // In the top right corner of the part in view, clear of the watermark's usual place.
    const int width = qCeil(m_recordMarker->boundingRect().width());
    m_recordMarker->setPos(m_view->mapToScene(QPoint(m_view->viewport()->width() - width - 12, 8)));
}

void VideoWidget::onStopRecording()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_blink.stop();
    m_recordMarker->scene()->removeItem(m_recordMarker);
    m_view->videoWidget()->onStopRecording();
}

int VideoWidget::shownFrames() const
{
    return m_view->videoWidget()->shownFrames();
}

double VideoWidget::takeShownFps()
{
    const qint64 ms = m_shownClock.restart();
    const int shown = shownFrames();
    const double fps = ms > 0 ? (shown - m_shownAtClock) * 1000.0 / double(ms) : 0.0;
    m_shownAtClock = shown;
    return fps;
}

void VideoWidget::onFrame(VideoFrame frame)
{
    const QSize size(frame.width(), frame.height());
    if (size.width() < 1 || size.height() < 1) {
        return;
    }
    m_lastFrame = frame;
    // Frames still in flight when the rotation changes come with the sides exchanged.
    const bool sameSize = size == m_frameSize || size == m_frameSize.transposed();
    if (!sameSize || m_relayoutPending) {
        if (!sameSize) {
            // Exchanging the sides once more undoes a quarter turn.
            m_frameSize = displayedFrameSize(size, m_rotation);
        }
        m_relayoutPending = false;
        updateScale();
        layoutPicture();
    }
    m_view->videoWidget()->onFrame(frame);
}

void VideoWidget::clear()
{
    for (RegionFrame *frame : m_regions) {
        if (frame && frame->scene())
            frame->scene()->removeItem(frame);
    }
    m_lastFrame = VideoFrame();
    m_view->videoWidget()->clear();
}

void VideoWidget::updateScale()
{
    const VideoScale scale = VideoScale::compute(m_pictureArea->size(), displayedFrameSize(m_frameSize, m_rotation));
    m_bestScale = scale.bestScale;
    m_showScale = scale.showScale(m_strategy, m_showScale);
    if (isFitStrategy(m_strategy)) {
        m_factor = m_showScale / 100.0;
    }
    emit videoWidgetScaleChanged(m_bestScale, m_showScale, m_strategy);
}

void VideoWidget::layoutPicture()
{
    QScrollBar *horizontal = m_view->horizontalScrollBar();
    QScrollBar *vertical = m_view->verticalScrollBar();
    const QSizeF oldPort(m_view->viewport()->size());
    const QPointF centre(horizontal->value() + oldPort.width() / 2, vertical->value() + oldPort.height() / 2);

    const VideoLayout layout =
        computeVideoLayout(m_pictureArea->size(), m_frameSize, m_rotation, m_factor, horizontal->sizeHint().height());
    // Set rather than left to the view, which would show them only after the next events and
    // so shift the centre kept below.
    m_view->setHorizontalScrollBarPolicy(layout.scrollsHorizontally ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(layout.scrollsVertically ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_view->setGeometry(layout.viewRect);
    // Shapes drawn over the picture are measured in its own pixels: the zoom is the view's.
    m_view->setTransform(QTransform::fromScale(m_factor, m_factor));
    m_view->scene()->setSceneRect(QRectF(QPointF(0, 0), displayedFrameSize(m_frameSize, m_rotation)));
    m_view->setPictureSize(layout.pixelSize);

    if (m_factor != m_previousFactor && m_previousFactor > 0) {
        const double ratio = m_factor / m_previousFactor;
        const QSizeF port(m_view->viewport()->size());
        horizontal->setValue(qRound(centre.x() * ratio - port.width() / 2));
        vertical->setValue(qRound(centre.y() * ratio - port.height() / 2));
    }
    m_previousFactor = m_factor;
    m_view->updateVideoWidgetPosition();
}

void VideoWidget::onSetScaleStrategy(VideoScaleStrategy strategy)
{
    m_strategy = strategy;
    if (hasFrameSize()) {
        updateScale();
        layoutPicture();
    }
}

void VideoWidget::onSetScalePercent(double percent)
{
    if (!(percent > 0 && percent <= m_maxZoomPercent)) {
        qWarning("VideoWidget: zoom %f%% is out of range", percent);
        return;
    }
    m_strategy = VideoScaleStrategy::Custom;
    m_showScale = percent;
    m_factor = percent / 100.0;
    if (hasFrameSize()) {
        layoutPicture();
    }
}

void VideoWidget::onSetVideoNegative(bool negative)
{
    m_view->videoWidget()->onSetNegative(negative);
}

void VideoWidget::onSetWatermarkVisible(bool visible)
{
    m_view->videoWidget()->onSetWatermarkVisible(visible);
}

void VideoWidget::onSetVideoBlackBalanceR(int value, int max)
{
    if (max > 0) {
        m_view->videoWidget()->onSetBlackBalanceR(float(value) / max);
    }
}

void VideoWidget::onSetVideoBlackBalanceG(int value, int max)
{
    if (max > 0) {
        m_view->videoWidget()->onSetBlackBalanceG(float(value) / max);
    }
}

void VideoWidget::onSetVideoBlackBalanceB(int value, int max)
{
    if (max > 0) {
        m_view->videoWidget()->onSetBlackBalanceB(float(value) / max);
    }
}

void VideoWidget::onSetFFCStatus(bool enable)
{
    m_view->videoWidget()->onSetFFCStatus(enable);
}

void VideoWidget::onSetFFCAverageFrame(VideoFrame frame)
{
    m_view->videoWidget()->onSetFFCAverageFrame(frame);
}

void VideoWidget::onSetHistogramStatus(bool enable)
{
    m_view->videoWidget()->onSetHistogramStatus(enable);
}

void VideoWidget::onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max)
{
    m_view->videoWidget()->onSetHistogramBoundaries(infos, max);
}

void VideoWidget::onlCurVideoRotate(int rotateVal)
{
    const int rotation = rotateVal == 90 || rotateVal == 180 || rotateVal == 270 ? rotateVal : 0;
    if (rotation != m_rotation) {
        m_rotation = rotation;
        if (hasFrameSize()) {
            updateScale();
            layoutPicture();
        }
    }
    emit signalRegionPosChange(m_rotation, m_frameSize.width(), m_frameSize.height());
}

void VideoWidget::onResetRotateState()
{
    onlCurVideoRotate(0);
}

void VideoWidget::onCurResolution(CameraResolution curResolution)
{
    if (curResolution.width < 1 || curResolution.height < 1) {
        return;
    }
    // The camera rotates after capture: the stream size is the size before rotation.
    m_frameSize = QSize(curResolution.width, curResolution.height);
    m_relayoutPending = true;
    emit signalRegionPosChange(m_rotation, m_frameSize.width(), m_frameSize.height());
}

bool VideoWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pictureArea && event->type() == QEvent::Resize && hasFrameSize()) {
        updateScale();
        layoutPicture();
    }
    return QWidget::eventFilter(watched, event);
}

void VideoWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_relayoutPending = true;
}

void VideoWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_fullScreen) {
        emit signalExitFullScreen();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}
