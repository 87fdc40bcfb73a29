#include "videoscale.h"

#include <QtMath>
#include <algorithm>

namespace {

// Queued connections and QVariant need the strategy registered by name.
const int videoScaleStrategyMetaTypeId = qRegisterMetaType<VideoScaleStrategy>("VideoScaleStrategy");

constexpr double kMaxFitFactor = 4.0;

// A factor as a percentage cut to two decimals.
double toPercent(double factor)
{
    return int(factor * 10000) / 100.0;
}

struct AxisPlacement
{
    int offset;
    int extent;
};

// One axis of the view: `picture` whole pixels in `container`, plus `scrollBarRoom` when the
// other axis scrolls (the caller has made sure that fits unless this axis scrolls too).
AxisPlacement placeAxis(int container, int picture, bool scrolls, int scrollBarRoom)
{
    if (scrolls) {
        return {0, container};
    }
    const int needed = picture + scrollBarRoom;
    const int offset = (container - needed) / 2;
    return {offset, std::min(needed + 1, container - offset)};
}

} // namespace

bool isFitStrategy(VideoScaleStrategy strategy)
{
    return strategy == VideoScaleStrategy::FitToWindow || strategy == VideoScaleStrategy::FitToWidth ||
           strategy == VideoScaleStrategy::FitToHeight;
}

VideoScale VideoScale::compute(QSize container, QSize frame)
{
    Q_UNUSED(videoScaleStrategyMetaTypeId)
    VideoScale scale;
    if (frame.width() < 1 || frame.height() < 1 || container.width() < 1 || container.height() < 1) {
        return scale;
    }
    scale.widthScale = toPercent(std::min(double(container.width()) / frame.width(), kMaxFitFactor));
    scale.heightScale = toPercent(std::min(double(container.height()) / frame.height(), kMaxFitFactor));
    scale.bestScale = std::min(scale.widthScale, scale.heightScale);
    return scale;
}

double VideoScale::showScale(VideoScaleStrategy strategy, double current) const
{
    switch (strategy) {
    case VideoScaleStrategy::FitToWindow:
        return bestScale;
    case VideoScaleStrategy::FitToWidth:
        return widthScale;
    case VideoScaleStrategy::FitToHeight:
        return heightScale;
    default:
        return current;
    }
}

QSize displayedFrameSize(QSize frame, int rotation)
{
    return rotation == 90 || rotation == 270 ? frame.transposed() : frame;
}

VideoLayout computeVideoLayout(QSize container, QSize frame, int rotation, double factor, int scrollBarExtent)
{
    VideoLayout layout;
    const QSize displayed = displayedFrameSize(frame, rotation);
    layout.pictureSize = QSizeF(displayed.width() * factor, displayed.height() * factor);
    layout.pixelSize = QSize(qCeil(layout.pictureSize.width()), qCeil(layout.pictureSize.height()));
    const int width = layout.pixelSize.width();
    const int height = layout.pixelSize.height();
    bool scrollsX = width > container.width();
    bool scrollsY = height > container.height();
    // A scroll bar takes room from the other axis, which may then have to scroll as well.
    scrollsY = scrollsY || (scrollsX && height + scrollBarExtent > container.height());
    scrollsX = scrollsX || (scrollsY && width + scrollBarExtent > container.width());
    scrollsY = scrollsY || (scrollsX && height + scrollBarExtent > container.height());
    layout.scrollsHorizontally = scrollsX;
    layout.scrollsVertically = scrollsY;

    const AxisPlacement x = placeAxis(container.width(), width, scrollsX, scrollsY ? scrollBarExtent : 0);
    const AxisPlacement y = placeAxis(container.height(), height, scrollsY, scrollsX ? scrollBarExtent : 0);
    layout.viewRect = QRect(x.offset, y.offset, x.extent, y.extent);
    return layout;
}
