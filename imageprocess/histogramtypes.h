#pragma once

#include <QMetaType>
#include <QPointF>
#include <QVector>

// Value types of the histogram controls, shared by the image-processing worker, the cameras
// that forward its results and the control panel. Channel 0 is red, 1 green, 2 blue.

// The levels range of one channel: values at or below lower become 0, at or above upper 255.
struct HistogramBoundaryInfo
{
    int channel = 0;
    int lower = 0;
    int upper = 255;
};

// One channel's histogram: (value 0..255, number of pixels) for every value that occurs, in
// ascending value order.
struct HistogramChannelInfo
{
    int channel = 0;
    QVector<QPointF> points;
};

// Which channels the panel plots; recorded by the worker, not used by its computations.
enum class HistogramChannel : int {
    All = 0,
    Red = 1,
    Green = 2,
    Blue = 3,
};

// How the panel scales the plotted counts; recorded by the worker only.
enum class HistogramDisplayMode : int {
    Linear = 0,
    Logarithmic = 1,
};

// The three default boundaries {0, 0, 255}, {1, 0, 255}, {2, 0, 255}.
QVector<HistogramBoundaryInfo> defaultHistogramBoundaries();

// Registers the types above for queued signals (safe to call more than once).
void registerHistogramTypes();

Q_DECLARE_METATYPE(HistogramBoundaryInfo)
Q_DECLARE_METATYPE(HistogramChannelInfo)
Q_DECLARE_METATYPE(HistogramChannel)
Q_DECLARE_METATYPE(HistogramDisplayMode)
Q_DECLARE_METATYPE(QVector<HistogramBoundaryInfo>)
Q_DECLARE_METATYPE(QVector<HistogramChannelInfo>)
