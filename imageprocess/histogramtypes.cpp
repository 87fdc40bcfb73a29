#include "histogramtypes.h"

QVector<HistogramBoundaryInfo> defaultHistogramBoundaries()
{
    return {{0, 0, 255}, {1, 0, 255}, {2, 0, 255}};
}

void registerHistogramTypes()
{
    qRegisterMetaType<HistogramBoundaryInfo>("HistogramBoundaryInfo");
    qRegisterMetaType<HistogramChannelInfo>("HistogramChannelInfo");
    qRegisterMetaType<HistogramChannel>("HistogramChannel");
    qRegisterMetaType<HistogramDisplayMode>("HistogramDisplayMode");
    qRegisterMetaType<QVector<HistogramBoundaryInfo>>("QVector<HistogramBoundaryInfo>");
    qRegisterMetaType<QVector<HistogramChannelInfo>>("QVector<HistogramChannelInfo>");
}
