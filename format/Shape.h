#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <cstdint>
#include <vector>

namespace swf {

enum class SegmentKind : std::uint8_t { Move, Line, Curve };

// One step of a path, in twips. A curve is quadratic with control point (cx, cy).
struct Segment {
    SegmentKind kind = SegmentKind::Move;
    std::int32_t x = 0, y = 0;
    std::int32_t cx = 0, cy = 0;
    friend bool operator==(const Segment&, const Segment&) = default;
};

// A run of segments, each sub-path starting with a Move.
struct Path {
    std::vector<Segment> segments;
    bool empty() const { return segments.empty(); }
};

// The closed contours of one fill style, joined from the edges that have that style
// on either side (edges with it as fill style 0 reversed), ready to be filled with the
// even-odd rule (or non-zero when the shape asks for it).
struct FillPath {
    std::uint32_t style = 0; // index into the layer's fills
    Path path;
};

// The edges drawn with one line style, as open or closed sub-paths.
struct StrokePath {
    std::uint32_t style = 0; // index into the layer's lines
    Path path;
};

// One set of style arrays and what is drawn with it. A shape that brings new style
// arrays part way through has several layers, painted in order, each one's fills
// under its strokes.
struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<FillPath> fillPaths;
    std::vector<StrokePath> strokePaths;
};

struct Shape {
    Rect bounds;
    Rect edgeBounds; // DefineShape4; the same as bounds before
    bool nonZeroWinding = false;
    bool hasNonScalingStrokes = false;
    bool hasScalingStrokes = false;
    std::vector<ShapeLayer> layers;
};

// The version of DefineShape a body belongs to: 1 (DefineShape) to 4 (DefineShape4).
// Reads the body after the character id.
Result<Shape> parseShape(ByteReader& in, int shapeVersion);

// A glyph's SHAPE record (no styles; fill style 1 fills it).
Result<Path> parseGlyphOutline(ByteReader& in);

} // namespace swf
