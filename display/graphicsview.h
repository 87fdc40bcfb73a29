#pragma once

#include <QGraphicsView>
#include <QPointF>

class OpenGLVideoWidget;

// The view over the live picture: shows the scene on a transparent background and carries
// the OpenGL picture widget behind its viewport, kept aligned with the scene while scrolling.
class GraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit GraphicsView(QWidget *parent = nullptr);

    OpenGLVideoWidget *videoWidget() const { return m_videoWidget; }

signals:
    // The scene position of the viewport's top-left corner, after every move of the picture.
    void signalSendOffset(QPointF offset);

public slots:
    // Puts the picture widget under the scene part that is in view and tells it which part of
    // it is visible.
    void updateVideoWidgetPosition();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    OpenGLVideoWidget *m_videoWidget;
};
