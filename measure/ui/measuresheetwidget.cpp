#include "measuresheetwidget.h"

#include "base.h"
#include "configstore.h"
#include "datadisplaydialog.h"
#include "graphicsitems.h"
#include "mainscene.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QSaveFile>

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MeasureSheet", text);
}

} // namespace

MeasureSheetWidget::MeasureSheetWidget(QWidget *parent) : QTableWidget(0, SheetColumn::ColumnCount, parent)
{
    qRegisterMetaType<QList<Base *>>();
    setObjectName(QStringLiteral("measureSheet_tableWidget"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &MeasureSheetWidget::onTableSelection);
    retranslate();
    loadDisplaySettings();
}

void MeasureSheetWidget::setScene(MainScene *scene)
{
    if (m_scene)
        disconnect(m_scene, nullptr, this, nullptr);
    m_scene = scene;
    m_tools.clear();
    while (m_sheet.rowCount() > 0)
        m_sheet.removeRow(0);
    setRowCount(0);
    if (scene) {
        connect(scene, &MainScene::itemInsert, this, &MeasureSheetWidget::onInsert);
        connect(scene, &MainScene::itemUpdate, this, &MeasureSheetWidget::onUpdate);
        connect(scene, &MainScene::itemRemove, this, &MeasureSheetWidget::onRemove);
        connect(scene, &MainScene::itemSelected, this, &MeasureSheetWidget::onSceneSelection);
        for (int i = 0; i < scene->finishedTools().size(); ++i)
            onInsert(scene->finishedTools().at(i), i);
    }
    refreshStatistics();
}

void MeasureSheetWidget::loadDisplaySettings()
{
    ConfigStore &store = ConfigStore::instance();
    for (int column = SheetColumn::FirstResult; column < SheetColumn::ColumnCount; ++column)
        m_sheet.setColumnShown(
            column,
            store.value(ConfigGroup::MeasurementSheetProperty, column - SheetColumn::FirstResult, true).toBool());
    for (int statistic = 0; statistic < SheetStatistic::StatisticCount; ++statistic)
        m_sheet.setStatisticShown(statistic, store.value(ConfigGroup::StatisticsProperty, statistic, true).toBool());
    refreshStatistics();
}

void MeasureSheetWidget::setLayerFilter(const QString &layer)
{
    m_sheet.setLayerFilter(layer);
    refreshStatistics();
}

QStringList MeasureSheetWidget::layers() const
{
    QStringList names;
    for (int i = 0; i < m_sheet.rowCount(); ++i) {
        if (!names.contains(m_sheet.row(i).layer))
            names << m_sheet.row(i).layer;
    }
    return names;
}

bool MeasureSheetWidget::writeCsv(const QString &path) const
{
    const Base *first = m_tools.value(0);
    const QString unit = first && m_scene ? first->label()->format().converter.unitText(m_scene->unit()) : QString();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(m_sheet.csv(unit, m_calibrationName)) >= 0 && file.commit();
}

void MeasureSheetWidget::retranslate()
{
    QStringList titles;
    for (int column = 0; column < SheetColumn::ColumnCount; ++column)
        titles << translated(SheetColumn::title(column));
    setHorizontalHeaderLabels(titles);
    refreshStatistics();
}

void MeasureSheetWidget::slotExportData()
{
    if (m_sheet.rowCount() == 0) {
        QMessageBox::information(this, tr("Notice"), tr("current no primitive"), QMessageBox::Ok);
        return;
    }
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
    const QString path = QFileDialog::getSaveFileName(this, tr("Save"), folder, tr("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    store.write(ConfigGroup::Base, BaseKey::ExportFilePath, QFileInfo(path).absolutePath());
    if (!writeCsv(path))
        QMessageBox::warning(this, tr("Notice"), tr("Cannot write %1.").arg(QDir::toNativeSeparators(path)));
}

void MeasureSheetWidget::showDataDisplayDialog()
{
    DataDisplayDialog dialog(layers(), m_sheet.layerFilter(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_sheet.setLayerFilter(dialog.layer());
    loadDisplaySettings();
}

void MeasureSheetWidget::onInsert(Base *tool, int index)
{
    m_tools.insert(index, tool);
    m_sheet.insertRow(index, rowOf(tool));
    insertRow(index);
    fillRow(index);
    renumberFrom(index + 1);
    refreshStatistics();
}

void MeasureSheetWidget::onUpdate(Base *tool)
{
    const int row = m_tools.indexOf(tool);
    if (row < 0)
        return;
    m_sheet.updateRow(row, rowOf(tool));
    fillRow(row);
    refreshStatistics();
}

void MeasureSheetWidget::onRemove(Base *, int index)
{
    if (index < 0 || index >= m_tools.size())
        return;
    m_tools.removeAt(index);
    m_sheet.removeRow(index);
    removeRow(index);
    renumberFrom(index);
    refreshStatistics();
}

void MeasureSheetWidget::onSceneSelection(const QList<int> &rows)
{
    if (m_syncing)
        return;
    m_syncing = true;
    QItemSelection selection;
    for (const int row : rows) {
        if (row < m_sheet.rowCount())
            selection.select(model()->index(row, 0), model()->index(row, SheetColumn::ColumnCount - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
    emit selectedToolsChanged(selectedTools());
}

void MeasureSheetWidget::onTableSelection()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const QList<Base *> selected = selectedTools();
    for (Base *tool : qAsConst(m_tools))
        tool->item()->setSelected(selected.contains(tool));
    m_syncing = false;
    emit selectedToolsChanged(selected);
}

SheetRow MeasureSheetWidget::rowOf(Base *tool) const
{
    GraphicsText *label = tool->label();
    SheetRow row = SheetRow::fromEntries(tool->typeName(), tool->item()->property(ItemData::layerName).toString(),
                                         label->entries(), label->format());
    if (tool->isType(DrawType::PointSerialNumber))
        row.add(SheetColumn::Count, label->text(), label->text().toDouble());
    return row;
}

void MeasureSheetWidget::fillRow(int row)
{
    for (int column = 0; column < SheetColumn::ColumnCount; ++column)
        setItem(row, column, new QTableWidgetItem(m_sheet.cellText(row, column)));
}

void MeasureSheetWidget::renumberFrom(int row)
{
    for (; row < m_sheet.rowCount(); ++row)
        item(row, SheetColumn::Number)->setText(m_sheet.cellText(row, SheetColumn::Number));
}

void MeasureSheetWidget::refreshStatistics()
{
    const int shapes = m_sheet.rowCount();
    const QVector<int> statistics = m_sheet.shownStatistics();
    setRowCount(shapes + statistics.size());
    for (int i = 0; i < statistics.size(); ++i) {
        for (int column = 0; column < SheetColumn::ColumnCount; ++column) {
            const QString text = column == SheetColumn::Number ? translated(SheetStatistic::title(statistics[i]))
                                                               : m_sheet.statisticText(statistics[i], column);
            auto *cell = new QTableWidgetItem(text);
            cell->setFlags(Qt::ItemIsEnabled); // not a shape: nothing to select
            setItem(shapes + i, column, cell);
        }
    }
    applyVisibility();
}

void MeasureSheetWidget::applyVisibility()
{
    for (int column = 0; column < SheetColumn::ColumnCount; ++column)
        setColumnHidden(column, !m_sheet.columnShown(column));
    for (int row = 0; row < m_sheet.rowCount(); ++row)
        setRowHidden(row, !m_sheet.rowShown(row));
}

QList<Base *> MeasureSheetWidget::selectedTools() const
{
    QList<Base *> tools;
    for (const QModelIndex &index : selectionModel()->selectedRows()) {
        if (index.row() < m_tools.size())
            tools << m_tools.at(index.row());
    }
    return tools;
}
