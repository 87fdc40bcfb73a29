#include "markingsetdialog.h"

#include <QFormLayout>

namespace {

const struct
{
    DrawProperty colour, width, style;
    const char *name;
} kMarks[] = {
    {DrawProperty::DrawMarkRectColor, DrawProperty::DrawMarkRectWidth, DrawProperty::DrawMarkRectStyle,
     QT_TRANSLATE_NOOP("MarkingSetDialog", "Rectangle")},
    {DrawProperty::DrawMarkCircleColor, DrawProperty::DrawMarkCircleWidth, DrawProperty::DrawMarkCircleStyle,
     QT_TRANSLATE_NOOP("MarkingSetDialog", "Circle")},
    {DrawProperty::DrawMarkArrowColor, DrawProperty::DrawMarkArrowWidth, DrawProperty::DrawMarkArrowStyle,
     QT_TRANSLATE_NOOP("MarkingSetDialog", "Arrow")},
    {DrawProperty::DrawMarkAnyLineColor, DrawProperty::DrawMarkAnyLineWidth, DrawProperty::DrawMarkAnyLineStyle,
     QT_TRANSLATE_NOOP("MarkingSetDialog", "Free Line")},
};

} // namespace

MarkingSetDialog::MarkingSetDialog(QWidget *parent) : DrawPropertyDialog(parent)
{
    setWindowTitle(tr("Marking Settings"));
    for (const auto &mark : kMarks) {
        m_editors << new PenStyleEditor(mark.colour, mark.width, mark.style, this);
        form()->addRow(tr(mark.name), m_editors.last());
    }
    addButtons();
}

DrawProperties MarkingSetDialog::properties() const
{
    DrawProperties map;
    for (const PenStyleEditor *editor : m_editors)
        map.insert(editor->properties());
    return map;
}

DrawProperties MarkingSetDialog::stored()
{
    DrawProperties map;
    for (const auto &mark : kMarks)
        map.insert(PenStyleEditor::stored(mark.colour, mark.width, mark.style));
    return map;
}
