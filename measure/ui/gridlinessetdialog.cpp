#include "gridlinessetdialog.h"

#include <QFormLayout>
#include <QSpinBox>

namespace {

constexpr int kMaxLines = 100;
constexpr int kMaxSpacing = 100000;

QSpinBox *spinBox(const char *name, int maximum, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, maximum);
    return box;
}

} // namespace

GridLinesSetDialog::GridLinesSetDialog(QWidget *parent)
    : DrawPropertyDialog(parent)
    , m_pen(new PenStyleEditor(DrawProperty::DrawGridlinesColor, DrawProperty::DrawGridlinesWidth,
                               DrawProperty::DrawGridlinesStyle, this))
    , m_hLines(spinBox("hLines_spinBox", kMaxLines, this))
    , m_vLines(spinBox("vLines_spinBox", kMaxLines, this))
    , m_hSpacing(spinBox("hSpacing_spinBox", kMaxSpacing, this))
    , m_vSpacing(spinBox("vSpacing_spinBox", kMaxSpacing, this))
{
    setWindowTitle(tr("Grid Line Settings"));
    for (QSpinBox *spacing : {m_hSpacing, m_vSpacing}) {
        spacing->setSpecialValueText(tr("By count"));
        spacing->setSuffix(tr(" px"));
    }
    form()->addRow(tr("Line"), m_pen);
    form()->addRow(tr("Horizontal Lines"), m_hLines);
    form()->addRow(tr("Vertical Lines"), m_vLines);
    form()->addRow(tr("Horizontal Spacing"), m_hSpacing);
    form()->addRow(tr("Vertical Spacing"), m_vSpacing);
    const DrawProperties now = stored();
    m_hLines->setValue(now.value(DrawProperty::DrawGridlinesHLines).toInt());
    m_vLines->setValue(now.value(DrawProperty::DrawGridlinesVLines).toInt());
    m_hSpacing->setValue(now.value(DrawProperty::DrawGridHlinesSpac).toInt());
    m_vSpacing->setValue(now.value(DrawProperty::DrawGridVlinesSpac).toInt());
    // A count does nothing while its spacing is set.
    const auto follow = [](QSpinBox *spacing, QSpinBox *count) {
        count->setEnabled(spacing->value() == 0);
        connect(spacing, qOverload<int>(&QSpinBox::valueChanged), count, [count](int v) { count->setEnabled(v == 0); });
    };
    follow(m_hSpacing, m_hLines);
    follow(m_vSpacing, m_vLines);
    addButtons();
}

DrawProperties GridLinesSetDialog::properties() const
{
    DrawProperties map = m_pen->properties();
    map.insert(DrawProperty::DrawGridlinesHLines, m_hLines->value());
    map.insert(DrawProperty::DrawGridlinesVLines, m_vLines->value());
    map.insert(DrawProperty::DrawGridHlinesSpac, m_hSpacing->value());
    map.insert(DrawProperty::DrawGridVlinesSpac, m_vSpacing->value());
    return map;
}

QList<DrawProperty> GridLinesSetDialog::keys()
{
    return {DrawProperty::DrawGridlinesColor,  DrawProperty::DrawGridlinesWidth,  DrawProperty::DrawGridlinesStyle,
            DrawProperty::DrawGridlinesHLines, DrawProperty::DrawGridlinesVLines, DrawProperty::DrawGridHlinesSpac,
            DrawProperty::DrawGridVlinesSpac};
}

DrawProperties GridLinesSetDialog::stored()
{
    DrawProperties map = PenStyleEditor::stored(DrawProperty::DrawGridlinesColor, DrawProperty::DrawGridlinesWidth,
                                                DrawProperty::DrawGridlinesStyle);
    const auto bounded = [&](DrawProperty key, int fallback, int maximum) {
        map.insert(key, qBound(0, storedValue(key, fallback).toInt(), maximum));
    };
    bounded(DrawProperty::DrawGridlinesHLines, 2, kMaxLines);
    bounded(DrawProperty::DrawGridlinesVLines, 2, kMaxLines);
    bounded(DrawProperty::DrawGridHlinesSpac, 0, kMaxSpacing);
    bounded(DrawProperty::DrawGridVlinesSpac, 0, kMaxSpacing);
    return map;
}
