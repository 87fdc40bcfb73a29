#pragma once

#include "entryformat.h"
#include "measureentry.h"
#include "statisticsinfo.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVector>

// The measurement sheet without its widget: one row per finished shape with a cell per kind of
// result, the columns and statistics rows the operator chose, the layer filter and the CSV text.
namespace SheetColumn {
// In sheet order. Length to Eccentricity follow the order of the sheet's settings keys, so a
// column's flag key is its number minus FirstResult.
enum : int {
    Number,
    Name,
    Length,
    Distance,
    Perimeter,
    Area,
    Angle,
    Radian,
    Width,
    Height,
    Radius,
    Diameter,
    Position,
    Count,
    Eccentricity,
    ColumnCount,
    FirstResult = Length,
};
// The untranslated title ("Nnumber", "Length", ...); translate in the "MeasureSheet" context.
const char *title(int column);
// The column a label keyword ("Len", "CLen", "R", ...) lands in; -1 for none.
int forKeyword(const QString &keyword);
// Whether the column takes part in the statistics.
bool isNumeric(int column);
} // namespace SheetColumn

namespace SheetStatistic {
// In row order, which is also the order of their settings keys.
enum : int { Total, Mean, Minimum, Maximum, StandardDeviation, SampleStandardDeviation, StatisticCount };
const char *title(int statistic); // untranslated, "MeasureSheet" context
const char *slot(int statistic);  // the StatisticsInfo slot
} // namespace SheetStatistic

// One shape's cells: per result column, its values as shown and as numbers (several for shapes
// with numbered results).
struct SheetRow
{
    QString name;
    QString layer;
    QVector<QStringList> texts = QVector<QStringList>(SheetColumn::ColumnCount);
    QVector<QVector<double>> values = QVector<QVector<double>>(SheetColumn::ColumnCount);

    // Each entry (header entries aside) goes to the column of its keyword, formatted as the
    // shape's label shows it.
    static SheetRow fromEntries(const QString &name, const QString &layer, const QVector<MeasureEntry> &entries,
                                const EntryFormat &format);
    void add(int column, const QString &text, double value);
};

class MeasureSheet
{
public:
    MeasureSheet();

    int rowCount() const { return m_rows.size(); }
    const SheetRow &row(int index) const { return m_rows.at(index); }
    void insertRow(int index, const SheetRow &row) { m_rows.insert(index, row); }
    void updateRow(int index, const SheetRow &row) { m_rows[index] = row; }
    void removeRow(int index) { m_rows.removeAt(index); }

    bool columnShown(int column) const { return m_columns.at(column); }
    // Number and Name stay shown.
    void setColumnShown(int column, bool shown);
    QVector<int> shownColumns() const;
    bool statisticShown(int statistic) const { return m_statistics.at(statistic); }
    void setStatisticShown(int statistic, bool shown) { m_statistics[statistic] = shown; }
    QVector<int> shownStatistics() const;

    // Empty: every shape; otherwise the shapes of that layer.
    QString layerFilter() const { return m_layer; }
    void setLayerFilter(const QString &layer) { m_layer = layer; }
    bool rowShown(int index) const;

    // The shape's number is its row's.
    QString cellText(int row, int column) const;
    // The values of the shown rows that have one in the column.
    QVector<double> columnValues(int column) const;
    // Empty for a column without statistics, and for all but Total while it has no values.
    QString statisticText(int statistic, int column) const;

    // The shown columns, shown rows and shown statistics rows in the "GBK" encoding, after two
    // rows that name the unit and the calibration.
    QByteArray csv(const QString &unitText, const QString &calibrationName) const;

private:
    QList<SheetRow> m_rows;
    QVector<bool> m_columns;
    QVector<bool> m_statistics;
    QString m_layer;
    mutable StatisticsInfo m_info;
};
