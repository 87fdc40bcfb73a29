#include "statisticsinfo.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double mean(const QVector<double> &values)
{
    return std::accumulate(values.cbegin(), values.cend(), 0.0) / values.size();
}

double squaredDeviations(const QVector<double> &values)
{
    const double m = mean(values);
    return std::accumulate(values.cbegin(), values.cend(), 0.0,
                           [m](double sum, double x) { return sum + (x - m) * (x - m); });
}

} // namespace

StatisticsInfo::StatisticsInfo(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<StatisticsData>("StatisticsData");
}

bool StatisticsInfo::compute(const char *slot, StatisticsData &data)
{
    return QMetaObject::invokeMethod(this, slot, Qt::DirectConnection, Q_ARG(StatisticsData &, data));
}

void StatisticsInfo::getStatisticsTotal(StatisticsData &data)
{
    data.text.clear();
    data.count = data.values.size();
    data.result = data.count;
}

void StatisticsInfo::getStatisticsMean(StatisticsData &data)
{
    if (!data.values.isEmpty())
        data.result = mean(data.values);
}

void StatisticsInfo::getStatisticsMinimun(StatisticsData &data)
{
    if (!data.values.isEmpty())
        data.result = *std::min_element(data.values.cbegin(), data.values.cend());
}

void StatisticsInfo::getStatisticsMaximun(StatisticsData &data)
{
    if (!data.values.isEmpty())
        data.result = *std::max_element(data.values.cbegin(), data.values.cend());
}

void StatisticsInfo::getStatisticsStandaedDeviation(StatisticsData &data)
{
    if (!data.values.isEmpty())
        data.result = std::sqrt(squaredDeviations(data.values) / data.values.size());
}

void StatisticsInfo::getStatisticsSampleStandaedDeviation(StatisticsData &data)
{
    data.result = data.values.size() < 2 ? 0.0 : std::sqrt(squaredDeviations(data.values) / (data.values.size() - 1));
}
