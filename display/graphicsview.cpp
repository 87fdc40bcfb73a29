#include "graphicsview.h"

#include "openglvideowidget.h"

#include <QGraphicsScene>

GraphicsView::GraphicsView(QWidget *parent)
    : QGraphicsView(parent), m_videoWidget(new OpenGLVideoWidget(true, false, this))
{
    setStyleSheet(QStringLiteral("border: none; background: transparent;"));
    // The scene starts at the viewport's corner, so scene and picture coordinates agree.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScene(new QGraphicsScene(this));
    // The picture shows through the transparent viewport, which keeps the scene on top.
    m_videoWidget->lower();
}

void GraphicsView::setPictureSize(const QSize &size)
{
    m_pictureSize = size;
    updateVideoWidgetPosition();
}

void GraphicsView::updateVideoWidgetPosition()
{
    const QPointF topLeft = mapToScene(0, 0);
    // Before the first picture the widget still needs a size to get its context.
    const QSize shown = m_pictureSize.isEmpty() ? viewport()->size() : viewport()->size().boundedTo(m_pictureSize);
    m_videoWidget->setGeometry(QRect(viewport()->pos(), shown));
    m_videoWidget->showPart(QRectF(topLeft, QSizeF(shown)), m_pictureSize);
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
