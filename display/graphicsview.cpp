#include "graphicsview.h"

#include "openglvideowidget.h"

#include <QGraphicsScene>

GraphicsView::GraphicsView(QWidget *parent)
    : QGraphicsView(parent), m_videoWidget(new OpenGLVideoWidget(true, false, this)),
      m_ownScene(new QGraphicsScene(this))
{
    setStyleSheet(QStringLiteral("border: none; background: transparent;"));
    // The scene starts at the viewport's corner, so scene and picture coordinates agree.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScene(m_ownScene);
    // The picture shows through the transparent viewport, which keeps the scene on top.
    m_videoWidget->lower();
}

void GraphicsView::setPictureSize(const QSize &size)
{
    m_pictureSize = size;
    updateVideoWidgetPosition();
}

void GraphicsView::replaceScene(QGraphicsScene *scene)
{
    QGraphicsScene *previous = this->scene();
    QGraphicsScene *current = scene ? scene : m_ownScene;
    if (current == previous)
        return;
    current->setSceneRect(previous->sceneRect());
    setScene(current);
    emit sceneReplaced(previous, current);
    updateVideoWidgetPosition();
}

void GraphicsView::updateVideoWidgetPosition()
{
    const QPointF topLeft = mapToScene(0, 0);
    // Before the first picture the widget still needs a size to get its context.
    const QSize shown = m_pictureSize.isEmpty() ? viewport()->size() : viewport()->size().boundedTo(m_pictureSize);
    m_videoWidget->setGeometry(QRect(viewport()->pos(), shown));
    // The picture widget works in screen pixels of the zoomed picture.
    m_videoWidget->showPart(QRectF(transform().map(topLeft), QSizeF(shown)), m_pictureSize);
    emit signalSendOffset(topLeft);
}

void GraphicsView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    updateVideoWidgetPosition();
}

void GraphicsView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    updateVideoWidgetPosition();
}
