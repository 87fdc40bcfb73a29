#include "textpropertysetdialog.h"

#include <QFontComboBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

constexpr int kMinSize = 6;
constexpr int kMaxSize = 200;

} // namespace

TextPropertySetDialog::TextPropertySetDialog(QWidget *parent)
    : DrawPropertyDialog(parent)
    , m_font(new QFontComboBox(this))
    , m_size(new QSpinBox(this))
    , m_colour(new ColourButton(this))
{
    setWindowTitle(tr("Text Settings"));
    m_font->setObjectName(QStringLiteral("textFont_comboBox"));
    m_size->setObjectName(QStringLiteral("textSize_spinBox"));
    m_colour->setObjectName(QStringLiteral("textColor_btn"));
    m_size->setRange(kMinSize, kMaxSize);
    form()->addRow(tr("Font"), m_font);
    form()->addRow(tr("Size"), m_size);
    form()->addRow(tr("Color"), m_colour);
    const DrawProperties now = stored();
    const QString family = now.value(DrawProperty::LText_Font).toString();
    if (!family.isEmpty())
        m_font->setCurrentFont(QFont(family));
    m_size->setValue(now.value(DrawProperty::LText_Width).toInt());
    m_colour->setColour(now.value(DrawProperty::LText_Color).value<QColor>());
    addButtons();
}

DrawProperties TextPropertySetDialog::properties() const
{
    return {{DrawProperty::LText_Font, m_font->currentFont().family()},
            {DrawProperty::LText_Width, m_size->value()},
            {DrawProperty::LText_Color, m_colour->colour()}};
}

DrawProperties TextPropertySetDialog::stored()
{
    const QColor colour = storedValue(DrawProperty::LText_Color, QColor(255, 0, 0, 255)).value<QColor>();
    const int size = storedValue(DrawProperty::LText_Width, 13).toInt();
    DrawProperties map{{DrawProperty::LText_Width, size >= kMinSize && size <= kMaxSize ? size : 13},
                       {DrawProperty::LText_Color, colour.isValid() ? colour : QColor(Qt::red)}};
    // No font stored: the text keeps the application's.
    const QString family = storedValue(DrawProperty::LText_Font, QString()).toString();
    if (!family.isEmpty())
        map.insert(DrawProperty::LText_Font, family);
    return map;
}
