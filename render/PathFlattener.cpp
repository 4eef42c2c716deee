#include "PathFlattener.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// A fifth of a pixel keeps curves smooth to the eye with antialiasing on.
constexpr double kTolerancePixels = 0.2;
constexpr int kMaxLevel = 64;
// Enough to draw a quarter circle the size of the stage without visible facets.
constexpr int kMaxCurveSteps = 256;

void addQuadratic(QPainterPath& out, QPointF from, QPointF control, QPointF to, double tolerance)
{
    // A chord over a parameter step h strays at most |p0 - 2c + p1| h^2 / 4 from a
    // quadratic curve.
    const QPointF second = from - 2 * control + to;
    const double size = std::hypot(second.x(), second.y());
    const int steps = std::clamp(static_cast<int>(std::ceil(std::sqrt(size / (4 * tolerance)))), 1,
                                 kMaxCurveSteps);
    for (int i = 1; i < steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        out.lineTo(u * u * from + 2 * u * t * control + t * t * to);
    }
    out.lineTo(to);
}

} // namespace

int scaleLevel(double pixelsPerUnit)
{
    if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit))
        return 0;
    const int level = static_cast<int>(std::ceil(2 * std::log2(pixelsPerUnit)));
    return std::clamp(level, -kMaxLevel, kMaxLevel);
}

double toleranceAtLevel(int level)
{
    return kTolerancePixels / std::exp2(level / 2.0);
}

namespace {

// Builds the path, with curves flattened at `tolerance` or kept when it is zero.
QPainterPath buildPath(const swf::Path& path, double tolerance, SubpathClosing closing)
{
    QPainterPath out;
    out.reserve(static_cast<int>(std::min<std::size_t>(path.segments.size() * 2, 1 << 20)));
    QPointF start, pen;
    bool open = false;
    auto finishSubpath = [&]() {
        if (!open)
            return;
        if (closing == SubpathClosing::CloseAll ||
            (closing == SubpathClosing::CloseLoops && pen == start))
            out.closeSubpath();
        open = false;
    };
    auto beginSubpath = [&]() {
        if (open)
            return;
        out.moveTo(pen);
        start = pen;
        open = true;
    };
    for (const swf::Segment& segment : path.segments) {
        const QPointF to(segment.x, segment.y);
        switch (segment.kind) {
        case swf::SegmentKind::Move:
            finishSubpath();
            pen = to;
            break;
        case swf::SegmentKind::Line:
            beginSubpath();
            out.lineTo(to);
            pen = to;
            break;
        case swf::SegmentKind::Curve:
            beginSubpath();
            if (tolerance > 0)
                addQuadratic(out, pen, QPointF(segment.cx, segment.cy), to, tolerance);
            else
                out.quadTo(QPointF(segment.cx, segment.cy), to);
            pen = to;
            break;
        }
    }
    finishSubpath();
    return out;
}

} // namespace

QPainterPath flattenPath(const swf::Path& path, double tolerance, SubpathClosing closing)
{
    return buildPath(path, std::max(tolerance, 1e-6), closing);
}

QPainterPath curvedPath(const swf::Path& path, SubpathClosing closing)
{
    return buildPath(path, 0, closing);
}

QPainterPath flattenQtPath(const QPainterPath& path, double tolerance)
{
    // Qt flattens to half a unit of the transform it is given: scale so that half a
    // unit is the tolerance, then scale the points back.
    const double scale = 0.5 / tolerance;
    const QList<QPolygonF> polygons = path.toSubpathPolygons(QTransform::fromScale(scale, scale));
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (const QPolygonF& polygon : polygons) {
        if (polygon.isEmpty())
            continue;
        out.moveTo(polygon.front() / scale);
        for (qsizetype i = 1; i < polygon.size(); ++i)
            out.lineTo(polygon[i] / scale);
        out.closeSubpath();
    }
    return out;
}

} // namespace render
