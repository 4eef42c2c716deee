#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swfwriter {

struct GradientStop {
    std::uint8_t ratio;
    Color color;
};

struct FillStyle {
    std::uint8_t type = 0x00; // 0x00 solid, 0x10 linear, 0x12 radial, 0x13 focal, 0x40-0x43 bitmap
    Color color;
    Matrix matrix;                   // gradients and bitmaps
    std::vector<GradientStop> stops; // gradients
    std::uint8_t spread = 0;         // 0 pad, 1 reflect, 2 repeat
    std::uint8_t interpolation = 0;  // 0 normal RGB, 1 linear RGB
    double focalPoint = 0;           // focal gradients
    std::uint16_t bitmapId = 0xffff; // bitmaps

    static FillStyle solid(Color c) { return {0x00, c, {}, {}, 0, 0, 0, 0xffff}; }
    static FillStyle linear(std::vector<GradientStop> stops, Matrix m);
    static FillStyle radial(std::vector<GradientStop> stops, Matrix m);
    static FillStyle focal(std::vector<GradientStop> stops, Matrix m, double focalPoint);
    static FillStyle bitmap(std::uint16_t id, Matrix m, bool clipped = false, bool smoothed = true);
};

struct LineStyle {
    std::uint16_t width = 20;
    Color color;
    // LineStyle2 (DefineShape4) fields:
    std::uint8_t startCap = 0, endCap = 0; // 0 round, 1 none, 2 square
    std::uint8_t join = 0;                 // 0 round, 1 bevel, 2 miter
    double miterLimit = 3;
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    std::optional<FillStyle> fill;

    static LineStyle solid(std::uint16_t width, Color c = {})
    {
        LineStyle line;
        line.width = width;
        line.color = c;
        return line;
    }
};

// LINESTYLE2's caps, join and flag bits, and the miter limit when the join wants it:
// what comes between the width and the colour or fill.
void writeLineStyle2Fields(ByteWriter& out, const LineStyle& line);

// Builds the body of DefineShape 1 to 4. Style indexes are 1-based as in the format;
// 0 means none. Coordinates are twips.
class ShapeWriter {
public:
    explicit ShapeWriter(int shapeVersion = 3) : m_version(shapeVersion) {}

    int addFill(const FillStyle& fill);
    int addLine(const LineStyle& line);

    ShapeWriter& fill0(int index);
    ShapeWriter& fill1(int index);
    ShapeWriter& line(int index);
    ShapeWriter& moveTo(std::int32_t x, std::int32_t y);
    ShapeWriter& lineTo(std::int32_t x, std::int32_t y);
    ShapeWriter& curveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y);
    // Starts a new set of style arrays with a style change record of its own; the styles
    // added after this belong to it, and so do the indexes set on that record.
    ShapeWriter& newStyles();
    // A closed rectangle path, drawn with the current styles.
    ShapeWriter& rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);

    // DefineShape4's edge bounds (the shape bounds unless set) and flags.
    ShapeWriter& setEdgeBounds(const Rect& bounds);
    ShapeWriter& setShape4Flags(bool fillWindingRule, bool nonScalingStrokes, bool scalingStrokes);

    // The tag body for id, with the bounds given (or computed from the points).
    std::vector<std::uint8_t> body(std::uint16_t id) const;
    std::vector<std::uint8_t> body(std::uint16_t id, const Rect& bounds) const;
    // The tag code of this shape version.
    std::uint16_t tagCode() const;
    // SHAPE without styles, as font glyphs store it (fill style 1, no lines).
    std::vector<std::uint8_t> glyphBytes() const;
    // SHAPE without styles, with index fields wide enough for `fillCount` and
    // `lineCount` styles (and for every index used): a morph shape's edges.
    std::vector<std::uint8_t> edgeBytes(std::size_t fillCount, std::size_t lineCount) const;
    // The rectangle around every point of the records.
    Rect computeBounds() const;

    int version() const { return m_version; }

private:
    struct Record;
    struct StyleSet {
        std::vector<FillStyle> fills;
        std::vector<LineStyle> lines;
    };
    void writeStyles(ByteWriter& out, const StyleSet& set) const;
    void writeFill(ByteWriter& out, const FillStyle& fill) const;
    // Index fields are as wide as the largest style count of any set or the largest
    // index used, so that indexes past the arrays can be written too.
    void writeRecords(ByteWriter& out, std::size_t fillCount, std::size_t lineCount) const;

    struct Record {
        enum Kind { Change, Line, Curve } kind;
        std::int32_t x = 0, y = 0, cx = 0, cy = 0; // Change: moveTo target if hasMove
        bool hasMove = false;
        bool newStyles = false;                // Change: the next style set starts here
        int fill0 = -1, fill1 = -1, line = -1; // -1: unchanged
    };
    Record& change();

    int m_version;
    std::vector<StyleSet> m_sets{1};
    std::vector<Record> m_records;
    std::int32_t m_penX = 0, m_penY = 0;
    std::optional<Rect> m_edgeBounds;
    std::uint8_t m_shape4Flags = 0;
};

} // namespace swfwriter
