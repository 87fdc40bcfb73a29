#pragma once

#include "drawpropertydialog.h"

// Colour, width and style of the cross-hair over the picture.
class CrossLineSetDialog : public DrawPropertyDialog
{
    Q_OBJECT
public:
    explicit CrossLineSetDialog(QWidget *parent = nullptr);
    DrawProperties properties() const override;
    static DrawProperties stored();
    static QList<DrawProperty> keys();

private:
    PenStyleEditor *m_pen;
};
