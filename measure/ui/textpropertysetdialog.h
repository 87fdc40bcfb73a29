#pragma once

#include "drawpropertydialog.h"

class QFontComboBox;
class QSpinBox;

// Font, size and colour of the free text placed on the picture.
class TextPropertySetDialog : public DrawPropertyDialog
{
    Q_OBJECT
public:
    explicit TextPropertySetDialog(QWidget *parent = nullptr);
    DrawProperties properties() const override;
    static DrawProperties stored();

private:
    QFontComboBox *m_font;
    QSpinBox *m_size;
    ColourButton *m_colour;
};
