#pragma once

#include "drawpropertydialog.h"

// Colour, width and style of the marking rectangle, circle, arrow and free line.
class MarkingSetDialog : public DrawPropertyDialog
{
    Q_OBJECT
public:
    explicit MarkingSetDialog(QWidget *parent = nullptr);
    DrawProperties properties() const override;
    static DrawProperties stored();

private:
    QVector<PenStyleEditor *> m_editors;
};
