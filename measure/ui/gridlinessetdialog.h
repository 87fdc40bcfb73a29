#pragma once

#include "drawpropertydialog.h"

class QSpinBox;

// The grid lines over the picture: their line, how many horizontal and vertical lines divide it,
// or the spacing between them in picture pixels (0 divides by count).
class GridLinesSetDialog : public DrawPropertyDialog
{
    Q_OBJECT
public:
    explicit GridLinesSetDialog(QWidget *parent = nullptr);
    DrawProperties properties() const override;
    static DrawProperties stored();
    static QList<DrawProperty> keys();

private:
    PenStyleEditor *m_pen;
    QSpinBox *m_hLines;
    QSpinBox *m_vLines;
    QSpinBox *m_hSpacing;
    QSpinBox *m_vSpacing;
};
