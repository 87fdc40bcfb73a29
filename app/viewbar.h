#pragma once

#include <QWidget>

class QComboBox;
class QTabWidget;
class QToolButton;
class VideoWidget;

// The bar above the image tabs: the side panels' buttons, the zoom of the video window in
// front (steps and the box that shows its scale) and the full-screen button. The window
// handles the panels and full screen.
class ViewBar : public QWidget
{
    Q_OBJECT
public:
    ViewBar(QTabWidget *tabs, QWidget *parent);

    QToolButton *leftHideButton() const { return m_leftHideButton; }
    QToolButton *rightHideButton() const { return m_rightHideButton; }
    QToolButton *fullScreenButton() const { return m_fullScreenButton; }
    // Follows a video window's scale, shown in the box while it is in front.
    void watch(VideoWidget *view);
    // To the next zoom step up (positive) or down.
    void applyZoomStep(int step);
    void retranslate();

private:
    VideoWidget *currentVideoWidget() const;
    void showCurrentStrategy();
    // A fixed percentage for a video window; the box shows it.
    void setViewScale(VideoWidget *view, int percent);

    QTabWidget *m_tabs;
    QToolButton *m_leftHideButton = nullptr;
    QToolButton *m_rightHideButton = nullptr;
    QToolButton *m_fullScreenButton = nullptr;
    QToolButton *m_zoomAddButton = nullptr;
    QToolButton *m_zoomSubButton = nullptr;
    QComboBox *m_zoomBox = nullptr;
};
