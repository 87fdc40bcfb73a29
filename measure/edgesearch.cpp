#include "edgesearch.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace EdgeSearch {

namespace {

// Smoothing of the gradient that finds edges: enough to keep sensor noise from making peaks of
// its own. It also widens thin lines, pushing the peaks of their two sides apart by up to half
// a pixel, so each edge found is then located on a lightly smoothed gradient.
constexpr double kFindSigma = 1.0;
constexpr double kLocateSigma = 0.5;
// Pixels read beyond the search reach: the climb to the located peak (2), the neighbours of
// the peak fit (1) and their interpolation (1), the smoothing kernel (4), the gradient (1).
constexpr int kMargin = 10;
// Noise is measured on the smaller of the two gradient components, which stays clean beside
// edges across either axis: its median is 0.375 standard deviations of either component where
// the noise is Gaussian. An edge must stand six of them above it (a chance in 10^8 for noise),
// even in a window that a scale's ticks fill nearly all over...
constexpr double kNoiseFactor = 16.0;
// ...and at least this steep (grey levels per pixel), for pictures without any noise.
constexpr double kMinGradient = 2.0;
// Edges weaker than this share of the strongest in reach give way to it even when nearer.
constexpr double kRivalShare = 0.5;

// The smoothed gradient of the window around one point, in window coordinates: pixel centres
// at whole numbers.
struct Gradients
{
    cv::Mat gx, gy;       // for finding edges; CV_32F, grey levels per pixel
    cv::Mat fineX, fineY; // for locating them
    QPoint origin;        // picture pixel of the window's first pixel
    double threshold = 0.0;

    cv::Point2d toWindow(const QPointF &p) const { return {p.x() - origin.x() - 0.5, p.y() - origin.y() - 0.5}; }
    QPointF toPicture(const cv::Point2d &p) const { return {p.x + origin.x() + 0.5, p.y + origin.y() + 0.5}; }
};

void gradient(const cv::Mat &grey, double sigma, cv::Mat *gx, cv::Mat *gy)
{
    cv::Mat smooth;
    cv::GaussianBlur(grey, smooth, cv::Size(), sigma, sigma, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, *gx, CV_32F, 1, 0, 3, 1.0 / 8.0, 0.0, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, *gy, CV_32F, 0, 1, 3, 1.0 / 8.0, 0.0, cv::BORDER_REPLICATE);
}

bool gradientsAround(const QImage &picture, const QPointF &point, int reach, Gradients *g)
{
    const QPoint centre(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
    const QRect rect = QRect(centre - QPoint(reach, reach), centre + QPoint(reach, reach)).intersected(picture.rect());
    if (rect.width() < 3 || rect.height() < 3)
        return false;
    const QImage grey = picture.copy(rect).convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat view(grey.height(), grey.width(), CV_8U, const_cast<uchar *>(grey.constBits()),
                       static_cast<size_t>(grey.bytesPerLine()));
    cv::Mat levels;
    view.convertTo(levels, CV_32F);
    gradient(levels, kFindSigma, &g->gx, &g->gy);
    gradient(levels, kLocateSigma, &g->fineX, &g->fineY);
    g->origin = rect.topLeft();

    cv::Mat smaller;
    cv::min(cv::Mat(cv::abs(g->gx)), cv::Mat(cv::abs(g->gy)), smaller);
    std::vector<float> values(smaller.begin<float>(), smaller.end<float>());
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    g->threshold = std::max(kMinGradient, kNoiseFactor * *middle);
    return true;
}

float bilinear(const cv::Mat &m, double x, double y)
{
    x = std::clamp(x, 0.0, m.cols - 1.0);
    y = std::clamp(y, 0.0, m.rows - 1.0);
    const int x0 = std::min(static_cast<int>(x), m.cols - 2), y0 = std::min(static_cast<int>(y), m.rows - 2);
    const float fx = static_cast<float>(x - x0), fy = static_cast<float>(y - y0);
    const float *r0 = m.ptr<float>(y0) + x0, *r1 = m.ptr<float>(y0 + 1) + x0;
    return (r0[0] * (1 - fx) + r0[1] * fx) * (1 - fy) + (r1[0] * (1 - fx) + r1[1] * fx) * fy;
}

// The gradient's component along dir at p: how steep the picture rises across an edge of that
// normal.
double along(const cv::Mat &gx, const cv::Mat &gy, const cv::Point2d &p, const cv::Point2d &dir)
{
    return bilinear(gx, p.x, p.y) * dir.x + bilinear(gy, p.x, p.y) * dir.y;
}

// How steep the picture is across an edge of that normal, whichever way it rises.
double across(const Gradients &g, const cv::Point2d &p, const cv::Point2d &dir)
{
    return std::abs(along(g.gx, g.gy, p, dir));
}

struct Candidate
{
    cv::Point2d at;  // window pixel or profile sample on the edge
    cv::Point2d dir; // unit vector across the edge
    double strength;
    double distance;
};

std::optional<Candidate> pick(const std::vector<Candidate> &candidates)
{
    if (candidates.empty())
        return std::nullopt;
    double strongest = 0.0;
    for (const Candidate &c : candidates)
        strongest = std::max(strongest, c.strength);
    const Candidate *best = nullptr;
    for (const Candidate &c : candidates)
        if (c.strength >= kRivalShare * strongest && (!best || c.distance < best->distance))
            best = &c;
    return *best;
}

// Point mode: the ridge pixels of the gradient magnitude (peaks across their own edge) in reach.
std::optional<Candidate> nearestEdge(const Gradients &g, const cv::Point2d &click, int range)
{
    std::vector<Candidate> candidates;
    const int y0 = std::max(1, static_cast<int>(std::ceil(click.y - range)));
    const int y1 = std::min(g.gx.rows - 2, static_cast<int>(std::floor(click.y + range)));
    const int x0 = std::max(1, static_cast<int>(std::ceil(click.x - range)));
    const int x1 = std::min(g.gx.cols - 2, static_cast<int>(std::floor(click.x + range)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double distance = std::hypot(x - click.x, y - click.y);
            const double gx = g.gx.at<float>(y, x), gy = g.gy.at<float>(y, x);
            const double strength = std::hypot(gx, gy);
            if (distance > range || strength < g.threshold)
                continue;
            const cv::Point2d at(x, y), dir(gx / strength, gy / strength);
            if (across(g, at - dir, dir) > strength || across(g, at + dir, dir) > strength)
                continue;
            candidates.push_back({at, dir, strength, distance});
        }
    return pick(candidates);
}

// Shape mode: the peaks of the gradient along one line through the point.
std::optional<Candidate> edgeAlong(const Gradients &g, const cv::Point2d &click, const cv::Point2d &dir, int range)
{
    std::vector<double> profile;
    for (int t = -range - 1; t <= range + 1; ++t)
        profile.push_back(across(g, click + t * dir, dir));
    std::vector<Candidate> candidates;
    for (int t = -range; t <= range; ++t) {
        const size_t i = static_cast<size_t>(t + range + 1);
        const double s = profile[i];
        if (s >= g.threshold && s > profile[i - 1] && s >= profile[i + 1])
            candidates.push_back({click + t * dir, dir, s, std::abs(static_cast<double>(t))});
    }
    return pick(candidates);
}

// The peak of a Gaussian through three samples one pixel apart (a parabola where one is not
// positive), as an offset from the middle one: unbiased for the blurred steps of a picture.
double peakOffset(double a, double b, double c)
{
    if (a > 0 && b > 0 && c > 0) {
        a = std::log(a);
        b = std::log(b);
        c = std::log(c);
    }
    const double curvature = a - 2 * b + c;
    return curvature < 0 ? std::clamp(0.5 * (a - c) / curvature, -0.5, 0.5) : 0.0;
}

// The point where the edge line crosses the click's normal to it: the click moves across the
// edge only, not along it.
cv::Point2d snap(const Gradients &g, const cv::Point2d &click, const Candidate &edge)
{
    // Turned so that the picture rises along it: the located gradient then peaks positive at
    // this edge, while the other side of a thin line stays negative and out of the climb.
    const cv::Point2d dir = along(g.gx, g.gy, edge.at, edge.dir) < 0 ? -edge.dir : edge.dir;
    auto fine = [&](const cv::Point2d &p) { return along(g.fineX, g.fineY, p, dir); };
    cv::Point2d at = edge.at;
    for (int step = 0; step < 2; ++step) {
        if (fine(at + dir) > fine(at))
            at += dir;
        else if (fine(at - dir) > fine(at))
            at -= dir;
        else
            break;
    }
    const cv::Point2d onEdge = at + peakOffset(fine(at - dir), fine(at), fine(at + dir)) * dir;
    return click + (onEdge - click).dot(dir) * dir;
}

cv::Point2d unit(const QPointF &v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 1e-9 ? cv::Point2d(v.x() / length, v.y() / length) : cv::Point2d();
}

// Shape mode's search direction of each point; none (zero) searches as in Point mode.
std::vector<cv::Point2d> shapeDirections(const QVector<QPointF> &points)
{
    std::vector<cv::Point2d> directions(static_cast<size_t>(points.size()));
    if (points.size() == 2) {
        directions[0] = directions[1] = unit(points[1] - points[0]);
    } else if (points.size() > 2) {
        QPointF centroid;
        for (const QPointF &p : points)
            centroid += p;
        centroid /= points.size();
        for (int i = 0; i < points.size(); ++i)
            directions[static_cast<size_t>(i)] = unit(points[i] - centroid);
    }
    return directions;
}

} // namespace

QVector<Result> snapToEdges(const QImage &picture, const QVector<QPointF> &points, Mode mode, int range)
{
    range = std::clamp(range, kMinRange, kMaxRange);
    const std::vector<cv::Point2d> directions =
        mode == Mode::Shape ? shapeDirections(points) : std::vector<cv::Point2d>(static_cast<size_t>(points.size()));
    QVector<Result> results;
    results.reserve(points.size());
    for (int i = 0; i < points.size(); ++i) {
        Result result{points[i], false};
        Gradients g;
        if (gradientsAround(picture, points[i], range + kMargin, &g)) {
            const cv::Point2d click = g.toWindow(points[i]), dir = directions[static_cast<size_t>(i)];
            const std::optional<Candidate> edge =
                dir == cv::Point2d() ? nearestEdge(g, click, range) : edgeAlong(g, click, dir, range);
            if (edge) {
                result.point = g.toPicture(snap(g, click, *edge));
                result.found = true;
            }
        }
        results.append(result);
    }
    return results;
}

} // namespace EdgeSearch
