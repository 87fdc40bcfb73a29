#pragma once

#include "videoframe.h"

#include <QImage>
#include <QWidget>

class QComboBox;
class VideoWidget;

// Two pictures side by side: each pane chooses its source from the pictures that were open
// when the view was made, or the live camera, which keeps running in its pane.
class ContrastView : public QWidget
{
    Q_OBJECT

public:
    struct Source
    {
        QString name;
        QImage picture; // null for the live camera
    };
    enum Side { Left, Right };

    // Shows `left` and `right` (indices into sources) first.
    ContrastView(QList<Source> sources, int left, int right, QWidget *parent = nullptr);

    QComboBox *chooser(Side side) const { return m_choosers[side]; }
    VideoWidget *pane(Side side) const { return m_panes[side]; }

public slots:
    // A live frame, for the panes that show the camera.
    void onLiveFrame(VideoFrame frame);
    // The camera closed: its panes show no picture.
    void clearLive();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showSource(Side side, int index);

    QList<Source> m_sources;
    QComboBox *m_choosers[2] = {};
    VideoWidget *m_panes[2] = {};
    bool m_live[2] = {};
};
