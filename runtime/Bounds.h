#pragma once

#include "format/Geometry.h"

namespace runtime {

// An axis-aligned box in twips that may be empty: what an object covers, for _width,
// _height, getBounds and hit tests on whole objects.
struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool empty = true;

    static Bounds fromRect(const swf::Rect& rect);

    double width() const { return empty ? 0 : xMax - xMin; }
    double height() const { return empty ? 0 : yMax - yMin; }
    void include(double x, double y);
    void include(const Bounds& other);
    // The box around this one's four corners once `matrix` is applied.
    Bounds transformed(const swf::Matrix& matrix) const;
    // The box `t` (0 to 1) of the way from `from` to `to`, as a morph's bounds move.
    static Bounds interpolate(const Bounds& from, const Bounds& to, double t);
};

} // namespace runtime
