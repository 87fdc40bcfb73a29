#include "datadisplaydialog.h"

#include "configstore.h"
#include "measuresheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

DataDisplayDialog::DataDisplayDialog(const QStringList &layers, const QString &layer, QWidget *parent)
    : QDialog(parent), m_layer(new QComboBox(this))
{
    setWindowTitle(tr("Data Display"));
    ConfigStore &store = ConfigStore::instance();
    const auto addChecks = [&](const QString &title, ConfigGroup group, int count, const auto &text,
                               QVector<QCheckBox *> &boxes) {
        auto *box = new QGroupBox(title, this);
        auto *grid = new QVBoxLayout(box);
        for (int key = 0; key < count; ++key) {
            auto *check = new QCheckBox(QCoreApplication::translate("MeasureSheet", text(key)), box);
            check->setObjectName(configKeyText(group, key) + QStringLiteral("_checkBox"));
            check->setChecked(store.value(group, key, true).toBool());
            grid->addWidget(check);
            boxes << check;
        }
        return box;
    };
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_layer->setObjectName(QStringLiteral("layer_comboBox"));
    m_layer->addItem(tr("All"), QString());
    for (const QString &name : layers)
        m_layer->addItem(name, name);
    m_layer->setCurrentIndex(qMax(0, m_layer->findData(layer)));
    form->addRow(tr("Layer"), m_layer);
    layout->addLayout(form);
    auto *row = new QHBoxLayout;
    row->addWidget(addChecks(
        tr("Columns"), ConfigGroup::MeasurementSheetProperty, MeasurementSheetKey::KeyCount,
        [](int key) { return SheetColumn::title(key + SheetColumn::FirstResult); }, m_columns));
    row->addWidget(addChecks(
        tr("Statistics"), ConfigGroup::StatisticsProperty, StatisticsKey::KeyCount,
        [](int key) { return SheetStatistic::title(key); }, m_statistics));
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DataDisplayDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DataDisplayDialog::reject);
    layout->addWidget(buttons);
}

QString DataDisplayDialog::layer() const
{
    return m_layer->currentData().toString();
}

void DataDisplayDialog::accept()
{
    ConfigStore &store = ConfigStore::instance();
    for (int key = 0; key < m_columns.size(); ++key)
        store.write(ConfigGroup::MeasurementSheetProperty, key, m_columns[key]->isChecked());
    for (int key = 0; key < m_statistics.size(); ++key)
        store.write(ConfigGroup::StatisticsProperty, key, m_statistics[key]->isChecked());
    QDialog::accept();
}
