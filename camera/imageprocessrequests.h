#pragma once

#include "histogramtypes.h"
#include "videoframe.h"

#include <QObject>
#include <QVector>

class ImageProcess;

// What a camera asks of its image-processing worker, as typed signals connected once to the
// worker's slots. Each request is queued and runs on the worker's thread.
class ImageProcessRequests : public QObject
{
    Q_OBJECT

public:
    ImageProcessRequests(ImageProcess *worker, QObject *parent);

signals:
    void setNegative(bool negative);
    void setBlackBalance(int red, int green, int blue);
    void setBlackBalanceR(int value);
    void setBlackBalanceG(int value);
    void setBlackBalanceB(int value);
    void setBlackBalanceRegion(bool enable, int x, int y, int width, int height);
    void calcBlackBalance();
    void setFFCStatus(bool enable);
    void startFFCCapture(int num);
    void setFFCAverageFrame(VideoFrame frame);
    void calcHistogramBoundariesOnce();
    void setHistogramStatus(bool enable);
    void setHistogramBoundaries(QVector<HistogramBoundaryInfo> infos);
    void calcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode);
};
