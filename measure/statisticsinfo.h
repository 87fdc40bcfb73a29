#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVector>

// One statistic of one sheet column: the column's values in, the result out. The text and the
// integer carry what a statistic reports besides its result (Total: the count).
struct StatisticsData
{
    QString text;
    int count = 0;
    QVector<double> values;
    double result = 0.0;
};
Q_DECLARE_METATYPE(StatisticsData)

// The sheet's statistics. The sheet looks each slot up by its name (the statistic's settings
// key with a "get" prefix), so the slot names are fixed.
class StatisticsInfo : public QObject
{
    Q_OBJECT
public:
    explicit StatisticsInfo(QObject *parent = nullptr);

    // Runs the slot of that name on the data; false when no such slot exists.
    bool compute(const char *slot, StatisticsData &data);

public slots:
    // The number of values, not their sum.
    void getStatisticsTotal(StatisticsData &data);
    // Results of an empty list are left as they are.
    void getStatisticsMean(StatisticsData &data);
    void getStatisticsMinimun(StatisticsData &data);
    void getStatisticsMaximun(StatisticsData &data);
    // Over n.
    void getStatisticsStandaedDeviation(StatisticsData &data);
    // Over n - 1; 0 below two values.
    void getStatisticsSampleStandaedDeviation(StatisticsData &data);
};
