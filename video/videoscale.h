#pragma once

#include <QMetaType>
#include <QRect>
#include <QSize>
#include <QSizeF>

// How the live picture's zoom follows the pane: one of the three fits, or (any other value)
// the percentage the operator chose.
enum class VideoScaleStrategy : int {
    FitToWindow = -1,
    FitToWidth = -2,
    FitToHeight = -3,
    Custom = 0,
};

// True for the three fits, false for every value that keeps the operator's percentage.
bool isFitStrategy(VideoScaleStrategy strategy);

// The zoom percentages at which a frame fits a container: each at most 400 and cut (not
// rounded) to two decimals, so the zoom box shows the same figures for the same sizes.
struct VideoScale
{
    double widthScale = 0;
    double heightScale = 0;
    double bestScale = 0; // the smaller of the two: the whole picture is visible

    // All zero when the frame or the container has no pixel.
    static VideoScale compute(QSize container, QSize frame);
    // The percentage shown under a strategy; `current` when the operator's choice holds.
    double showScale(VideoScaleStrategy strategy, double current) const;
};

// The frame as it appears on screen: a rotation by 90 or 270 degrees exchanges its sides.
QSize displayedFrameSize(QSize frame, int rotation);

// Where the live picture goes in its container.
struct VideoLayout
{
    QSizeF pictureSize; // the displayed frame times the picture factor: the scene's size
    QSize pixelSize;    // the whole pixels the picture covers (rounded up)
    QRect viewRect;     // the graphics view's geometry in the container
    // Whether the view needs its horizontal and vertical scroll bar.
    bool scrollsHorizontally = false;
    bool scrollsVertically = false;
};

// Along each axis where the picture is smaller than the container it is centred and the view
// is one pixel larger than the picture. Along an axis where it is larger the view fills the
// container and scrolls, and the other axis makes room for that scroll bar (scrollBarExtent
// pixels), or scrolls as well when the room is not there.
VideoLayout computeVideoLayout(QSize container, QSize frame, int rotation, double factor, int scrollBarExtent);

Q_DECLARE_METATYPE(VideoScaleStrategy)
