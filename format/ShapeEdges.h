#pragma once

#include "Shape.h"

#include <cstdint>
#include <vector>

namespace swf {

struct ShapePoint {
    std::int32_t x = 0, y = 0;
    friend bool operator==(ShapePoint, ShapePoint) = default;
};

// One edge of a shape's records with absolute points; a straight edge ignores its
// control point.
struct ShapeEdge {
    ShapePoint from, control, to;
    bool isCurve = false;

    ShapeEdge reversed() const { return {to, control, from, isCurve}; }
};

// Turns a layer's edges into the paths the renderer draws. The records give each edge
// with the fill styles on its two sides and a line style; a fill's outline is made of
// every edge that has the fill on one side, taken in the direction that keeps the fill
// on the same side, and joined end to start into closed contours. Strokes keep the
// order the edges were drawn in.
class ShapeLayerBuilder {
public:
    // Styles are 1-based as the records give them, 0 for none; the caller has checked
    // them against the layer's arrays.
    void addEdge(const ShapeEdge& edge, std::uint32_t fill0, std::uint32_t fill1,
                 std::uint32_t line);
    // Fills the layer's paths from the edges added, and empties the builder.
    void finish(ShapeLayer& layer);

private:
    struct StyledEdge {
        std::uint32_t style; // 0-based
        ShapeEdge edge;
    };
    std::vector<StyledEdge> m_fillEdges;
    std::vector<StyledEdge> m_lineEdges;
};

// The closed contours of a set of directed edges: fragments are joined end to start,
// and a fragment that cannot be closed by other edges is closed by a straight line.
Path joinContours(const std::vector<ShapeEdge>& edges);

} // namespace swf
