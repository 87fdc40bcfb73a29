// The measurement sheet's cells, statistics, layer filter and CSV text, from shapes measured by
// the geometry library.
#include "measureshapes.h"
#include "measuresheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

// One picture pixel is a millimetre.
EntryFormat millimetres()
{
    EntryFormat format;
    format.converter.micrometresPerPixel = 1000;
    format.converter.calibrationUnit = QStringLiteral("mm");
    format.unit = Unit::Millimetre;
    return format;
}

SheetRow shape(DrawType type, const QVector<QPointF> &points, const EntryFormat &format,
               const QString &layer = QStringLiteral("Background"))
{
    return SheetRow::fromEntries(MeasureShapes::typeName(type), layer, *MeasureShapes::measure(type, points), format);
}

} // namespace

class TestMeasureSheet : public QObject
{
    Q_OBJECT

private slots:
    void statistics_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<QVector<double>>("expected"); // per statistic, in row order
        QTest::newRow("threeValues") << QVector<double>{1, 2, 3} << QVector<double>{3, 2, 1, 3, 0.816497, 1};
        QTest::newRow("oneValue") << QVector<double>{5} << QVector<double>{1, 5, 5, 5, 0, 0};
        // An empty list leaves every result but the count and the sample deviation as it was.
        QTest::newRow("empty") << QVector<double>{} << QVector<double>{0, -1, -1, -1, -1, 0};
    }

    void statistics()
    {
        QFETCH(QVector<double>, values);
        QFETCH(QVector<double>, expected);
        StatisticsInfo info;
        for (int statistic = 0; statistic < SheetStatistic::StatisticCount; ++statistic) {
            StatisticsData data{QStringLiteral("stale"), 9, values, -1};
            QVERIFY(info.compute(SheetStatistic::slot(statistic), data));
            QVERIFY2(qAbs(data.result - expected[statistic]) < 1e-5, SheetStatistic::slot(statistic));
            if (statistic == SheetStatistic::Total)
                QVERIFY(data.text.isEmpty() && data.count == values.size());
        }
    }

    void cellsAndStatistics()
    {
        MeasureSheet sheet;
        const EntryFormat format = millimetres();
        for (const double length : {1.0, 2.0, 3.0})
            sheet.insertRow(sheet.rowCount(), shape(DrawType::Line, {{0, 0}, {length, 0}}, format));
        // A rectangle has no length: its cell stays empty and is not counted.
        sheet.insertRow(1, shape(DrawType::Rect, {{0, 0}, {4, 2}}, format, QStringLiteral("Other")));
        sheet.insertRow(4, shape(DrawType::TwoPointEllipse, {{0, 0}, {6, 4}}, format));

        QCOMPARE(sheet.cellText(0, SheetColumn::Length), QStringLiteral("1.00mm"));
        QCOMPARE(sheet.cellText(1, SheetColumn::Number), QStringLiteral("2"));
        QCOMPARE(sheet.cellText(1, SheetColumn::Name), QStringLiteral("Rect"));
        QCOMPARE(sheet.cellText(1, SheetColumn::Length), QString());
        QCOMPARE(sheet.cellText(1, SheetColumn::Area), QStringLiteral("8.00mm\u00b2"));
        QCOMPARE(sheet.cellText(4, SheetColumn::Diameter), QStringLiteral("6.00mm; 4.00mm"));
        const QStringList lengthStatistics{"3", "2.0000", "1.0000", "3.0000", "0.8165", "1.0000"};
        for (int statistic = 0; statistic < SheetStatistic::StatisticCount; ++statistic)
            QCOMPARE(sheet.statisticText(statistic, SheetColumn::Length), lengthStatistics[statistic]);
        QCOMPARE(sheet.statisticText(SheetStatistic::Total, SheetColumn::Area), QStringLiteral("2"));

        sheet.setLayerFilter(QStringLiteral("Other"));
        QVERIFY(!sheet.rowShown(0) && sheet.rowShown(1));
        QCOMPARE(sheet.statisticText(SheetStatistic::Total, SheetColumn::Length), QStringLiteral("0"));
        QCOMPARE(sheet.statisticText(SheetStatistic::Minimum, SheetColumn::Length), QString());
        QCOMPARE(sheet.statisticText(SheetStatistic::Total, SheetColumn::Area), QStringLiteral("1"));
    }

    void csv()
    {
        MeasureSheet sheet;
        EntryFormat format = millimetres();
        format.unit = Unit::Angstrom;
        format.precision = 0;
        sheet.insertRow(0, shape(DrawType::Rect, {{0, 0}, {1, 2}}, format));
        sheet.insertRow(1, shape(DrawType::PointPosition, {{3, 4}}, format));
        for (int column = SheetColumn::FirstResult; column < SheetColumn::ColumnCount; ++column)
            sheet.setColumnShown(column, column == SheetColumn::Area || column == SheetColumn::Position);
        for (int statistic = 0; statistic < SheetStatistic::StatisticCount; ++statistic)
            sheet.setStatisticShown(statistic, statistic == SheetStatistic::Total);
        const QString calibration = QStringLiteral("\u7269\u955c 10x, \"A\"");
        const QByteArray bytes = sheet.csv(format.converter.unitText(format.unit), calibration);

        // The encoding has no "Å" nor "²": they are spelled out rather than lost.
        const QByteArray expected = "Unit,Angstrom\n"
                                    "Calibration,\"" +
                                    QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("\u7269\u955c")) +
                                    " 10x, \"\"A\"\"\"\t\n"
                                    "Nnumber,Name,Area,Position\n"
                                    "1,Rect,200000000000000Angstrom^2,\n"
                                    "2,Position,,\"(30000000,40000000)\"\t\n"
                                    "Total,,1,\n";
        QCOMPARE(bytes, expected);

        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("sheet.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QProcess process;
        process.start(python, {QStringLiteral("-c"),
                               QStringLiteral("import csv, json, sys\n"
                                              "with open(sys.argv[1], encoding='gbk', newline='') as f:\n"
                                              "    print(json.dumps(list(csv.reader(f))))"),
                               file.fileName()});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[1].toArray()[1].toString(), calibration + QLatin1Char('\t'));
        QCOMPARE(rows[2].toArray().toVariantList(), (QVariantList{"Nnumber", "Name", "Area", "Position"}));
        QCOMPARE(rows[4].toArray()[3].toString(), QStringLiteral("(30000000,40000000)\t"));
    }
};

QTEST_GUILESS_MAIN(TestMeasureSheet)
#include "tst_measuresheet.moc"
