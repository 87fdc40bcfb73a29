#include "measureitemcontroller.h"

#include "base.h"
#include "configstore.h"
#include "drawpropertydialog.h"
#include "graphicsitems.h"
#include "measuresheet.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Per result column from Length on: the suffix of the property that shows it in the label.
const char *const kShowSuffixes[] = {
    "ShowLength", "ShowDistance", "ShowPerimeter", "ShowArea",     "ShowAngle",        "ShowRadian",      "ShowWidth",
    "ShowHeight", "ShowRadius",   "ShowDiameter",  "ShowPosition", "ShowSerialNumber", "ShowEccentricity"};
static_assert(std::size(kShowSuffixes) == SheetColumn::ColumnCount - SheetColumn::FirstResult);

} // namespace

MeasureItemController::MeasureItemController(QWidget *parent) : QTreeWidget(parent)
{
    qRegisterMetaType<QMap<DrawProperty, QVariant>>();
    setObjectName(QStringLiteral("measureItemController_treeWidget"));
    setColumnCount(2);
    setHeaderLabels({tr("Property"), tr("Value")});
}

void MeasureItemController::setTools(const QList<Base *> &tools)
{
    clear();
    for (Base *tool : tools)
        addGroup(tool);
    expandAll();
}

QTreeWidgetItem *MeasureItemController::addRow(QTreeWidgetItem *group, const QString &name, QWidget *editor)
{
    auto *row = new QTreeWidgetItem(group, {name});
    if (editor)
        setItemWidget(row, 1, editor);
    return row;
}

void MeasureItemController::addGroup(Base *tool)
{
    auto *group = new QTreeWidgetItem(this, {tool->typeName()});
    const auto emitChange = [this](DrawProperty id, const QVariant &value) {
        emit signalDrawChange(QMap<DrawProperty, QVariant>{{id, value}});
    };
    if (const std::optional<DrawProperty> id = tool->propertyId("Color")) {
        auto *button = new ColourButton;
        button->setObjectName(QStringLiteral("Color"));
        button->setColour(tool->item()->pen().color());
        connect(button, &ColourButton::colourChosen, this,
                [id = *id, emitChange](const QColor &colour) { emitChange(id, colour); });
        addRow(group, tr("Color"), button);
    }
    const auto addSpin = [&](const char *suffix, const QString &name, int minimum, int maximum, int value) {
        const std::optional<DrawProperty> id = tool->propertyId(suffix);
        if (!id)
            return;
        auto *spin = new QSpinBox;
        spin->setObjectName(name);
        spin->setRange(minimum, maximum);
        spin->setValue(value);
        connect(spin, qOverload<int>(&QSpinBox::valueChanged), this,
                [id = *id, emitChange](int v) { emitChange(id, v); });
        addRow(group, name, spin);
    };
    addSpin("Width", QStringLiteral("LineWidth"), 1, 9, qRound(tool->item()->pen().widthF()));
    addSpin("TextSize", QStringLiteral("TextSize"), 6, 72, tool->label()->font().pointSize());

    // The shape's results: whether the label shows each kind, and its values.
    const SheetRow results =
        SheetRow::fromEntries(tool->typeName(), QString(), tool->label()->entries(), tool->label()->format());
    ConfigStore &store = ConfigStore::instance();
    for (int column = SheetColumn::FirstResult; column < SheetColumn::ColumnCount; ++column) {
        if (results.texts.at(column).isEmpty())
            continue;
        const char *suffix = kShowSuffixes[column - SheetColumn::FirstResult];
        if (const std::optional<DrawProperty> id = tool->propertyId(suffix)) {
            auto *check = new QCheckBox;
            check->setObjectName(QLatin1String(suffix));
            check->setChecked(store.value(*id, true).toBool());
            connect(check, &QCheckBox::toggled, this, [id = *id, emitChange](bool on) { emitChange(id, on); });
            addRow(group, QLatin1String(suffix), check);
        }
        addRow(group, QCoreApplication::translate("MeasureSheet", SheetColumn::title(column)))
            ->setText(1, results.texts.at(column).join(QLatin1String("; ")));
    }
}
