#include "ShapeHitTest.h"

#include "HitTestBudget.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

// Flattening: the largest distance a chord may stray from its curve, in twips, and a
// cap on the pieces one curve becomes.
constexpr double kFlatness = 2.0;
constexpr int kMaxCurvePieces = 64;
// Hairlines (width 0) are one pixel wide on screen; this is that in twips.
constexpr double kHairlineHalfWidth = 10.0;

// Calls edge(x0, y0, x1, y1) for each straight piece of the path. With closeContours,
// each contour ends with the piece back to its start. With a budget, every piece is
// paid for before it is walked; false when the budget ran out part of the way.
template <typename Edge>
bool forEachEdge(const swf::Path& path, bool closeContours, HitTestBudget* budget, Edge&& edge)
{
    auto pay = [budget](int pieces) { return !budget || budget->spend(std::uint64_t(pieces)); };
    double startX = 0, startY = 0, penX = 0, penY = 0;
    bool open = false;
    auto close = [&] {
        if (closeContours && open && (penX != startX || penY != startY))
            edge(penX, penY, startX, startY);
    };
    for (const swf::Segment& s : path.segments) {
        switch (s.kind) {
        case swf::SegmentKind::Move:
            // The piece closing the contour before.
            if (!pay(1))
                return false;
            close();
            startX = penX = s.x;
            startY = penY = s.y;
            open = false;
            break;
        case swf::SegmentKind::Line:
            if (!pay(1))
                return false;
            edge(penX, penY, double(s.x), double(s.y));
            penX = s.x;
            penY = s.y;
            open = true;
            break;
        case swf::SegmentKind::Curve: {
            // The curve strays from its chord by at most a quarter of |p0 - 2c + p1|.
            const double dx = penX - 2.0 * s.cx + s.x, dy = penY - 2.0 * s.cy + s.y;
            const double deviation = std::hypot(dx, dy) / 4;
            const int pieces =
                std::clamp(int(std::ceil(std::sqrt(deviation / kFlatness))), 1, kMaxCurvePieces);
            if (!pay(pieces))
                return false;
            double fromX = penX, fromY = penY;
            for (int i = 1; i <= pieces; ++i) {
                const double t = double(i) / pieces, u = 1 - t;
                const double toX = u * u * penX + 2 * u * t * s.cx + t * t * s.x;
                const double toY = u * u * penY + 2 * u * t * s.cy + t * t * s.y;
                edge(fromX, fromY, toX, toY);
                fromX = toX;
                fromY = toY;
            }
            penX = s.x;
            penY = s.y;
            open = true;
            break;
        }
        }
    }
    if (!pay(1))
        return false;
    close();
    return true;
}

double distanceToSegment(double px, double py, double x0, double y0, double x1, double y1)
{
    const double dx = x1 - x0, dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - x0) * dx + (py - y0) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

} // namespace

bool pointInFill(const swf::Path& path, double x, double y, bool nonZeroWinding,
                 HitTestBudget* budget)
{
    int winding = 0;
    int crossings = 0;
    const bool complete =
        forEachEdge(path, true, budget, [&](double x0, double y0, double x1, double y1) {
            // Half-open in y so a vertex shared by two edges counts once.
            if ((y0 <= y) == (y1 <= y))
                return;
            const double crossX = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
            if (crossX <= x)
                return;
            ++crossings;
            winding += y1 > y0 ? 1 : -1;
        });
    if (!complete)
        return false;
    return nonZeroWinding ? winding != 0 : (crossings & 1) != 0;
}

bool pointOnStroke(const swf::Path& path, double x, double y, double halfWidth,
                   HitTestBudget* budget)
{
    bool hit = false;
    forEachEdge(path, false, budget, [&](double x0, double y0, double x1, double y1) {
        if (!hit && distanceToSegment(x, y, x0, y0, x1, y1) <= halfWidth)
            hit = true;
    });
    return hit;
}

bool hitTestShape(const swf::Shape& shape, double x, double y, HitTestBudget* budget)
{
    // The bounds include the strokes; a shape without bounds is tested in full.
    const swf::Rect& b = shape.bounds;
    if (!b.isEmpty() &&
        (x < b.xMin.value || x > b.xMax.value || y < b.yMin.value || y > b.yMax.value))
        return false;
    for (const swf::ShapeLayer& layer : shape.drawing()) {
        for (const swf::FillPath& fill : layer.fillPaths) {
            if (pointInFill(fill.path, x, y, shape.nonZeroWinding, budget))
                return true;
        }
        for (const swf::StrokePath& stroke : layer.strokePaths) {
            const double width =
                stroke.style < layer.lines.size() ? layer.lines[stroke.style].width : 0;
            if (pointOnStroke(stroke.path, x, y, std::max(width / 2, kHairlineHalfWidth), budget))
                return true;
        }
    }
    return false;
}

} // namespace runtime
