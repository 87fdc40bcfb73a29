#pragma once

#include <QImage>
#include <QPointF>
#include <QVector>

// Edge snapping: moves clicked points onto the nearby edge of the picture they were clicked on.
// Points are in picture coordinates, pixel (i, j) covering [i, i + 1) x [j, j + 1) as in the scene.
namespace EdgeSearch {

enum class Mode {
    // Each point moves to the edge nearest it in any direction, along that edge's normal.
    Point = 1,
    // The points of a shape move along directions that keep the shape's geometry: two points
    // along the line through them (a line drawn across a feature keeps its direction and spans
    // it from edge to edge), three or more away from their centroid (the outline of a round or
    // polygonal feature). A single point moves as in Point mode.
    Shape = 2,
};

// The search reach in pixels, as the settings offer it; other values are clamped.
constexpr int kMinRange = 5;
constexpr int kMaxRange = 20;

struct Result
{
    QPointF point; // on the edge; the given point unchanged when none was found
    bool found = false;
};

// One result per point. An edge is taken where the smoothed gradient peaks across it, located
// to a fraction of a pixel, within `range` pixels of the point and standing out from the noise
// around it. Of the edges in reach, the nearest one at least half as strong as the strongest
// wins, so that a click beside a thin line takes the line's near side. Only a small window
// around each point is read.
QVector<Result> snapToEdges(const QImage &picture, const QVector<QPointF> &points, Mode mode, int range);

} // namespace EdgeSearch
