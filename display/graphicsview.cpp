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

void GraphicsView::updateVideoWidgetPosition()
{
    const QPointF topLeft = mapToScene(0, 0);
    m_videoWidget->move(viewport()->pos() - topLeft.toPoint());
    m_videoWidget->setPictureRect(QRectF(topLeft, QSizeF(viewport()->size())) & QRectF(m_videoWidget->rect()));
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
