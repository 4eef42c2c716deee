#pragma once

#include "format/Shape.h"

namespace runtime {

class HitTestBudget;

// Geometric hit tests on a shape's own paths, in the shape's twips. Curves are
// flattened finely enough for a pointer (a few twips).

// With a budget, each straight piece tested costs one unit, and a test the budget
// cannot pay for misses.

// Whether the point is inside a fill path's contours, by the even-odd or non-zero rule.
// Open contours count as closed, as fills are.
bool pointInFill(const swf::Path& path, double x, double y, bool nonZeroWinding,
                 HitTestBudget* budget = nullptr);
// Whether the point is within halfWidth of any segment of the path.
bool pointOnStroke(const swf::Path& path, double x, double y, double halfWidth,
                   HitTestBudget* budget = nullptr);
// Any fill or stroke of the shape covers the point.
bool hitTestShape(const swf::Shape& shape, double x, double y, HitTestBudget* budget = nullptr);

} // namespace runtime
