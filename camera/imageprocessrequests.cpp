#include "imageprocessrequests.h"

#include "imageprocess.h"

ImageProcessRequests::ImageProcessRequests(ImageProcess *worker, QObject *parent) : QObject(parent)
{
    using R = ImageProcessRequests;
    using W = ImageProcess;
    const auto queued = Qt::QueuedConnection;
    connect(this, &R::setNegative, worker, &W::onSetNegative, queued);
    connect(this, &R::setBlackBalance, worker, &W::onSetBlackBalance, queued);
    connect(this, &R::setBlackBalanceR, worker, &W::onSetBlackBalanceR, queued);
    connect(this, &R::setBlackBalanceG, worker, &W::onSetBlackBalanceG, queued);
    connect(this, &R::setBlackBalanceB, worker, &W::onSetBlackBalanceB, queued);
    connect(this, &R::setBlackBalanceRegion, worker, &W::onSetBlackBalanceRegion, queued);
    connect(this, &R::calcBlackBalance, worker, &W::onCalcBlackBalance, queued);
    connect(this, &R::setFFCStatus, worker, &W::onSetFFCStatus, queued);
    connect(this, &R::startFFCCapture, worker, &W::onStartFFCCapture, queued);
    connect(this, &R::setFFCAverageFrame, worker, &W::onSetFFCAverageFrame, queued);
    connect(this, &R::calcHistogramBoundariesOnce, worker, &W::onCalcHistogramBoundariesOnce, queued);
    connect(this, &R::setHistogramStatus, worker, &W::onSetHistogramStatus, queued);
    connect(this, &R::setHistogramBoundaries, worker, &W::onSetHistogramBoundaries, queued);
    connect(this, &R::calcHistogramInfos, worker, &W::onCalcHistogramInfos, queued);
}
