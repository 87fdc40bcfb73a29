#include "measuresheet.h"

#include "configkeys.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextCodec>

// A result column's flag is stored under the sheet settings key of the same name.
static_assert(SheetColumn::ColumnCount - SheetColumn::FirstResult == MeasurementSheetKey::KeyCount);
static_assert(SheetColumn::Eccentricity - SheetColumn::FirstResult == MeasurementSheetKey::Eccentricity);
static_assert(SheetColumn::Position - SheetColumn::FirstResult == MeasurementSheetKey::Position);

namespace {

struct ColumnRow
{
    const char *title;
    const char *keyword; // of the label lines that feed it
};

const ColumnRow kColumns[] = {
    {QT_TRANSLATE_NOOP("MeasureSheet", "Nnumber"), nullptr},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Name"), nullptr},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Length"), "Len"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Distance"), "Dis"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Perimeter"), "CLen"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Area"), "Area"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Angle"), "Angle"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Radian"), "Radian"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Width"), "Wid"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Height"), "Hei"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Radius"), "R"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Diameter"), "D"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Position"), "Position"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Count"), "SerialNumber"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Eccentricity"), "Eccentricity"},
};
static_assert(std::size(kColumns) == SheetColumn::ColumnCount);

const struct
{
    const char *title;
    const char *slot;
} kStatistics[] = {
    {QT_TRANSLATE_NOOP("MeasureSheet", "Total"), "getStatisticsTotal"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Mean"), "getStatisticsMean"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Minimun"), "getStatisticsMinimun"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Maximun"), "getStatisticsMaximun"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Standaed Deviation"), "getStatisticsStandaedDeviation"},
    {QT_TRANSLATE_NOOP("MeasureSheet", "Sample Standaed Deviation"), "getStatisticsSampleStandaedDeviation"},
};
static_assert(std::size(kStatistics) == SheetStatistic::StatisticCount);

// The keyword of a label line: "Len1 = %1%2" and "[2] Dis = %1%2" give "Len" and "Dis".
QString keyword(const MeasureEntry &entry)
{
    static const QRegularExpression noise(QStringLiteral("\\[\\d+\\]|[\\s\\d]"));
    return entry.label.section('=', 0, 0).remove(noise);
}

QString translated(const char *text)
{
    return QCoreApplication::translate("MeasureSheet", text);
}

// Characters the export encoding lacks, spelled the way the sheet's units are written.
QString encodable(const QString &text, QTextCodec *codec)
{
    QString result;
    for (const QChar c : text) {
        if (codec->canEncode(c))
            result += c;
        else if (c == QChar(0x00b2))
            result += QLatin1String("^2");
        else if (c == QChar(0x00c5))
            result += QLatin1String("Angstrom");
        else if (c == QChar(0x00b5))
            result += QChar(0x03bc); // micro sign as the Greek mu, which the encoding has
        else
            result += QLatin1Char('?');
    }
    return result;
}

// A comma would split the cell: numbers lose it, texts that must stay whole are quoted, with
// the tab that keeps spreadsheet programs from reading them as numbers.
QString csvCell(QString text, bool keepWhole)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    if (!keepWhole)
        return text.replace(QLatin1Char(','), QLatin1Char(' '));
    return QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1String("\"\t");
}

} // namespace

const char *SheetColumn::title(int column)
{
    return kColumns[column].title;
}

int SheetColumn::forKeyword(const QString &keyword)
{
    for (int column = FirstResult; column < ColumnCount; ++column) {
        if (keyword == QLatin1String(kColumns[column].keyword))
            return column;
    }
    return -1;
}

bool SheetColumn::isNumeric(int column)
{
    return column >= FirstResult && column != Position;
}

const char *SheetStatistic::title(int statistic)
{
    return kStatistics[statistic].title;
}

const char *SheetStatistic::slot(int statistic)
{
    return kStatistics[statistic].slot;
}

SheetRow SheetRow::fromEntries(const QString &name, const QString &layer, const QVector<MeasureEntry> &entries,
                               const EntryFormat &format)
{
    SheetRow row;
    row.name = name;
    row.layer = layer;
    const bool ellipse = EntryFormat::isEllipse(entries);
    for (const MeasureEntry &entry : entries) {
        if (entry.isHeader())
            continue;
        if (entry.isPosition) {
            const auto coordinate = [&](double v) {
                return QString::number(format.converter.toUnit(v, format.unit, false), 'f', format.precision);
            };
            row.texts[SheetColumn::Position]
                << QStringLiteral("(%1,%2)").arg(coordinate(entry.value), coordinate(entry.y));
            continue;
        }
        const int column = SheetColumn::forKeyword(keyword(entry));
        if (column < 0)
            continue;
        const double number = format.number(entry, ellipse);
        row.add(column, QString::number(number, 'f', format.precision) + format.suffix(entry, ellipse), number);
    }
    return row;
}

void SheetRow::add(int column, const QString &text, double value)
{
    texts[column] << text;
    values[column] << value;
}

MeasureSheet::MeasureSheet()
    : m_columns(SheetColumn::ColumnCount, true), m_statistics(SheetStatistic::StatisticCount, true)
{}

void MeasureSheet::setColumnShown(int column, bool shown)
{
    if (column >= SheetColumn::FirstResult)
        m_columns[column] = shown;
}

QVector<int> MeasureSheet::shownColumns() const
{
    QVector<int> columns;
    for (int column = 0; column < SheetColumn::ColumnCount; ++column) {
        if (m_columns.at(column))
            columns << column;
    }
    return columns;
}

QVector<int> MeasureSheet::shownStatistics() const
{
    QVector<int> statistics;
    for (int statistic = 0; statistic < SheetStatistic::StatisticCount; ++statistic) {
        if (m_statistics.at(statistic))
            statistics << statistic;
    }
    return statistics;
}

bool MeasureSheet::rowShown(int index) const
{
    return m_layer.isEmpty() || m_rows.at(index).layer == m_layer;
}

QString MeasureSheet::cellText(int row, int column) const
{
    if (column == SheetColumn::Number)
        return QString::number(row + 1);
    if (column == SheetColumn::Name)
        return m_rows.at(row).name;
    return m_rows.at(row).texts.at(column).join(QLatin1String("; "));
}

QVector<double> MeasureSheet::columnValues(int column) const
{
    QVector<double> values;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (rowShown(i))
            values << m_rows.at(i).values.at(column);
    }
    return values;
}

QString MeasureSheet::statisticText(int statistic, int column) const
{
    if (!SheetColumn::isNumeric(column))
        return QString();
    StatisticsData data;
    data.values = columnValues(column);
    if (data.values.isEmpty() && statistic != SheetStatistic::Total)
        return QString();
    m_info.compute(SheetStatistic::slot(statistic), data);
    return statistic == SheetStatistic::Total ? QString::number(data.count) : QString::number(data.result, 'f', 4);
}

QByteArray MeasureSheet::csv(const QString &unitText, const QString &calibrationName) const
{
    QTextCodec *codec = QTextCodec::codecForName("GBK");
    const QVector<int> columns = shownColumns();
    QStringList lines;
    lines << translated("Unit") + QLatin1Char(',') + csvCell(unitText, true);
    lines << translated("Calibration") + QLatin1Char(',') + csvCell(calibrationName, true);
    QStringList cells;
    for (const int column : columns)
        cells << csvCell(translated(SheetColumn::title(column)), true);
    lines << cells.join(QLatin1Char(','));
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!rowShown(row))
            continue;
        cells.clear();
        for (const int column : columns)
            cells << csvCell(cellText(row, column), column == SheetColumn::Name || column == SheetColumn::Position);
        lines << cells.join(QLatin1Char(','));
    }
    for (const int statistic : shownStatistics()) {
        cells.clear();
        for (const int column : columns)
            cells << (column == SheetColumn::Number ? translated(SheetStatistic::title(statistic))
                                                    : statisticText(statistic, column));
        lines << cells.join(QLatin1Char(','));
    }
    return codec->fromUnicode(encodable(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'), codec));
}
