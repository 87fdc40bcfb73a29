#pragma once

#include <QGraphicsView>
#include <QPointF>
#include <QSize>

class OpenGLVideoWidget;

// The view over the live picture: shows the scene on a transparent background and carries
// the OpenGL picture widget behind its viewport. The picture widget covers only the viewport
// and draws the part of the picture in view, so that scrolling moves what it draws. The scene
// is in picture pixels; the view's transform applies the zoom.
class GraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit GraphicsView(QWidget *parent = nullptr);

    OpenGLVideoWidget *videoWidget() const { return m_videoWidget; }
    // The whole screen pixels the zoomed picture covers (the scene's size times the zoom, rounded up).
    void setPictureSize(const QSize &size);
    // Shows another scene over the picture, with the current scene rectangle; null brings back
    // the view's own scene. The caller keeps ownership of the scene it gives.
    void replaceScene(QGraphicsScene *scene);

signals:
    // The scene position (picture pixels) of the viewport's top-left corner, after every move
    // of the picture.
    void signalSendOffset(QPointF offset);
    void sceneReplaced(QGraphicsScene *previous, QGraphicsScene *current);

public slots:
    // Puts the picture widget over the viewport, as large as the part of the picture in view,
    // and tells it which part that is.
    void updateVideoWidgetPosition();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    OpenGLVideoWidget *m_videoWidget;
    QGraphicsScene *m_ownScene;
    QSize m_pictureSize;
};
