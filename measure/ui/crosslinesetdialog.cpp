#include "crosslinesetdialog.h"

#include <QFormLayout>

CrossLineSetDialog::CrossLineSetDialog(QWidget *parent)
    : DrawPropertyDialog(parent)
    , m_pen(new PenStyleEditor(DrawProperty::DrawAuxiliaryMarkerColor, DrawProperty::DrawAuxiliaryMarkerWidth,
                               DrawProperty::DrawAuxiliaryMarkerStyle, this))
{
    setWindowTitle(tr("Cross Line Settings"));
    form()->addRow(tr("Line"), m_pen);
    addButtons();
}

DrawProperties CrossLineSetDialog::properties() const
{
    return m_pen->properties();
}

QList<DrawProperty> CrossLineSetDialog::keys()
{
    return {DrawProperty::DrawAuxiliaryMarkerColor, DrawProperty::DrawAuxiliaryMarkerWidth,
            DrawProperty::DrawAuxiliaryMarkerStyle};
}

DrawProperties CrossLineSetDialog::stored()
{
    const QList<DrawProperty> k = keys();
    return PenStyleEditor::stored(k[0], k[1], k[2]);
}
