#pragma once

#include <QGraphicsView>
#include <QPointF>
#include <QSize>

class OpenGLVideoWidget;

// The view over the live picture: shows the scene on a transparent background and carries
// the OpenGL picture widget behind its viewport. The picture widget covers only the viewport
// and draws the part of the picture in view, so that scrolling moves what it draws.
class GraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit GraphicsView(QWidget *parent = nullptr);

    OpenGLVideoWidget *videoWidget() const { return m_videoWidget; }
    // The whole pixels the zoomed picture covers (the scene's size, rounded up).
    void setPictureSize(const QSize &size);

signals:
    // The scene position of the viewport's top-left corner, after every move of the picture.
    void signalSendOffset(QPointF offset);

public slots:
    // Puts the picture widget over the viewport, as large as the part of the picture in view,
    // and tells it which part that is.
    void updateVideoWidgetPosition();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    OpenGLVideoWidget *m_videoWidget;
    QSize m_pictureSize;
};
