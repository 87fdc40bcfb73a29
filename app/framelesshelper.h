#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Gives a frameless top-level window what the window manager's frame gave it: dragging by a
// title area, resizing at the borders, double-click maximise, and a maximised size that
// leaves the task bar visible (the screen's available area).
class FramelessHelper : public QObject
{
    Q_OBJECT

public:
    // `window` is the frameless top-level window; `titleArea` the widget it is dragged by.
    FramelessHelper(QWidget *window, QWidget *titleArea);

    // The borders a point lies on (Qt::Edges as int), within `border` pixels of the edge of a
    // window of `size`; 0 inside.
    static int edgesAt(QPoint pos, QSize size, int border);

    void setBorderWidth(int pixels) { m_border = pixels; }
    // Maximises into the available area, or restores the size before.
    void toggleMaximized();
    bool isMaximized() const { return m_maximized; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QWidget *m_titleArea;
    int m_border = 6;
    bool m_maximized = false;
    QRect m_normalGeometry;
};
