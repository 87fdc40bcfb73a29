#pragma once

#include "drawtype.h"

#include <QWidget>

class QCheckBox;
class QPushButton;

// The Annotate page's panel: marking rectangles, circles, arrows and free lines, text, the
// cross-hair and the grid lines over the picture, and the watermark.
class LabelWidget : public QWidget
{
    Q_OBJECT

public:
    explicit LabelWidget(QWidget *parent = nullptr);
    void retranslate();

signals:
    void signalSetDrawMode(DrawType type);
    void onShowCross(bool show);
    void signalEnableGridlines(bool show);
    // The watermark settings belong to the photo side; the window opens them.
    void watermarkRequested();

private:
    QVector<QPushButton *> m_markButtons;
    QCheckBox *m_cross;
    QCheckBox *m_grid;
    QPushButton *m_watermark;
};
