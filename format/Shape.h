#pragma once

#include "ByteBuffer.h"
#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
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

class DeferredShape;

struct Shape {
    Rect bounds;
    Rect edgeBounds; // DefineShape4; the same as bounds before
    bool nonZeroWinding = false;
    bool hasNonScalingStrokes = false;
    bool hasScalingStrokes = false;
    std::vector<ShapeLayer> layers;
    // A shape read with a movie keeps its records and makes its layers the first time
    // they are drawn: turning edges into contours is most of the cost of reading a
    // movie, and many shapes of a long movie are never shown together.
    std::shared_ptr<const DeferredShape> deferred;

    // What to draw: the layers, made from the records first where they are deferred.
    // Safe to call from several threads.
    const std::vector<ShapeLayer>& drawing() const;
};

// A shape's style arrays and records, kept as read until their layers are first needed.
// Records that turn out damaged then give no layers at all, as a damaged shape read
// at once would have given no shape.
class DeferredShape {
public:
    // `records` lie within `owner`, which stays alive until they are read.
    DeferredShape(std::shared_ptr<const ByteBuffer> owner, std::span<const std::uint8_t> records,
                  int shapeVersion);

    const std::vector<ShapeLayer>& layers() const;

private:
    mutable std::once_flag m_once;
    mutable std::shared_ptr<const ByteBuffer> m_owner;
    mutable std::span<const std::uint8_t> m_records;
    mutable std::vector<ShapeLayer> m_layers;
    int m_version;
};

// The version of DefineShape a body belongs to: 1 (DefineShape) to 4 (DefineShape4).
// Reads the body after the character id.
Result<Shape> parseShape(ByteReader& in, int shapeVersion);

// As parseShape, reading only the bounds and flags now and deferring the rest.
// The bytes `in` reads must lie within `owner`; without an owner they are copied.
Result<Shape> parseShapeDeferred(ByteReader& in, int shapeVersion,
                                 std::shared_ptr<const ByteBuffer> owner = {});

// A glyph's SHAPE record (no styles; fill style 1 fills it).
Result<Path> parseGlyphOutline(ByteReader& in);

} // namespace swf
