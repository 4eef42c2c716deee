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
    // DefineMorphShape2's stroke flags.
    bool hasNonScalingStrokes = false;
    bool hasScalingStrokes = false;
    // The two edge lists as the shape records give them, with absolute points: edge i of
    // the start pairs with edge i of the end. A move of the pen shows as an edge that
    // starts away from where the one before it ended.
    struct Edge {
        bool isCurve = false;
        std::int32_t fromX = 0, fromY = 0;            // start point
        std::int32_t cx = 0, cy = 0;                  // control point of a curve
        std::int32_t x = 0, y = 0;                    // end point
        std::uint32_t fill0 = 0, fill1 = 0, line = 0; // start edges: 1-based styles, 0 none
    };
    std::vector<Edge> startEdges, endEdges;
};

// Reads the body after the character id; version 1 or 2.
Result<MorphShape> parseMorphShape(ByteReader& in, int morphVersion);

// The shape at `ratio` from 0 (start) to 1 (end).
Shape morphShapeAt(const MorphShape& morph, double ratio);

} // namespace swf
