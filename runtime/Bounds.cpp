#include "Bounds.h"

#include <algorithm>

namespace runtime {

Bounds Bounds::fromRect(const swf::Rect& rect)
{
    Bounds result;
    // Leniency: a rectangle stored with its corners swapped covers the same box.
    result.include(rect.xMin.value, rect.yMin.value);
    result.include(rect.xMax.value, rect.yMax.value);
    return result;
}

void Bounds::include(double x, double y)
{
    if (empty) {
        xMin = xMax = x;
        yMin = yMax = y;
        empty = false;
        return;
    }
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
}

void Bounds::include(const Bounds& other)
{
    if (other.empty)
        return;
    include(other.xMin, other.yMin);
    include(other.xMax, other.yMax);
}

Bounds Bounds::transformed(const swf::Matrix& matrix) const
{
    if (empty)
        return {};
    Bounds result;
    for (const double x : {xMin, xMax}) {
        for (const double y : {yMin, yMax})
            result.include(matrix.mapX(x, y), matrix.mapY(x, y));
    }
    return result;
}

Bounds Bounds::interpolate(const Bounds& from, const Bounds& to, double t)
{
    if (from.empty || to.empty)
        return from.empty ? to : from;
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    Bounds result;
    result.include(mix(from.xMin, to.xMin), mix(from.yMin, to.yMin));
    result.include(mix(from.xMax, to.xMax), mix(from.yMax, to.yMax));
    return result;
}

} // namespace runtime
