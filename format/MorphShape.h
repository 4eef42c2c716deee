#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Shape.h"
#include "Style.h"

#include <cstdint>
#include <vector>

namespace swf {

// DefineMorphShape and DefineMorphShape2: a start and an end shape with paired styles
// and paired edges; placed with a ratio, it draws the shape in between.
struct MorphShape {
    Rect startBounds, endBounds;
    Rect startEdgeBounds, endEdgeBounds;
    std::vector<FillStyle> startFills, endFills; // paired by index
    std::vector<LineStyle> startLines, endLines; // paired by index
    // The two edge lists as the shape records give them; the reader keeps them in a
    // form that pairs edge i of the start with edge i of the end.
    struct Edge {
        bool moveTo = false; // a style change that moves the pen (x, y) before this edge
        bool isCurve = false;
        std::int32_t x = 0, y = 0, cx = 0, cy = 0;    // absolute end (and control) point
        std::uint32_t fill0 = 0, fill1 = 0, line = 0; // 1-based style indexes, 0 none
    };
    std::vector<Edge> startEdges, endEdges;
};

// Reads the body after the character id; version 1 or 2.
Result<MorphShape> parseMorphShape(ByteReader& in, int morphVersion);

// The shape at `ratio` from 0 (start) to 1 (end).
Shape morphShapeAt(const MorphShape& morph, double ratio);

} // namespace swf
