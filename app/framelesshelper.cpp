#include "framelesshelper.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

FramelessHelper::FramelessHelper(QWidget *window, QWidget *titleArea)
    : QObject(window), m_window(window), m_titleArea(titleArea)
{
    m_window->setMouseTracking(true);
    m_window->installEventFilter(this);
    m_titleArea->installEventFilter(this);
}

int FramelessHelper::edgesAt(QPoint pos, QSize size, int border)
{
    int edges = 0;
    if (pos.x() >= 0 && pos.x() < border)
        edges |= Qt::LeftEdge;
    if (pos.x() < size.width() && pos.x() >= size.width() - border)
        edges |= Qt::RightEdge;
    if (pos.y() >= 0 && pos.y() < border)
        edges |= Qt::TopEdge;
    if (pos.y() < size.height() && pos.y() >= size.height() - border)
        edges |= Qt::BottomEdge;
    return edges;
}

void FramelessHelper::toggleMaximized()
{
    if (m_maximized) {
        m_maximized = false;
        m_window->setGeometry(m_normalGeometry);
        return;
    }
    m_normalGeometry = m_window->geometry();
    QScreen *screen = m_window->screen() ? m_window->screen() : QApplication::primaryScreen();
    m_maximized = true;
    m_window->setGeometry(screen->availableGeometry());
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    const auto mouse = [event] { return static_cast<QMouseEvent *>(event); };
    if (watched == m_titleArea && event->type() == QEvent::MouseButtonDblClick &&
        mouse()->button() == Qt::LeftButton) {
        toggleMaximized();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && mouse()->button() == Qt::LeftButton) {
        QWindow *handle = m_window->windowHandle();
        if (!handle)
            return false;
        const QPoint pos = m_window->mapFromGlobal(mouse()->globalPos());
        const int edges = m_maximized ? 0 : edgesAt(pos, m_window->size(), m_border);
        if (edges && handle->startSystemResize(Qt::Edges(edges)))
            return true;
        if (watched == m_titleArea && !m_maximized && handle->startSystemMove())
            return true;
    }
    if (watched == m_window && event->type() == QEvent::MouseMove && !(mouse()->buttons() & Qt::LeftButton)) {
        const int edges = m_maximized ? 0 : edgesAt(mouse()->pos(), m_window->size(), m_border);
        const bool diagonalMain = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        const bool diagonalOther = edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge);
        if (diagonalMain)
            m_window->setCursor(Qt::SizeFDiagCursor);
        else if (diagonalOther)
            m_window->setCursor(Qt::SizeBDiagCursor);
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
            m_window->setCursor(Qt::SizeHorCursor);
        else if (edges & (Qt::TopEdge | Qt::BottomEdge))
            m_window->setCursor(Qt::SizeVerCursor);
        else
            m_window->unsetCursor();
    }
    return false;
}
