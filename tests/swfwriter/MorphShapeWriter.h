#pragma once

#include "ShapeWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swfwriter {

// Builds the body of DefineMorphShape (1) and DefineMorphShape2 (2). Styles come in
// start and end pairs; a pair's type, bitmap, spread, interpolation, caps, join and
// flags are the start's. The two edge lists are drawn with two ShapeWriters whose
// own styles are unused: style indexes set on the start edges refer to the pairs.
class MorphShapeWriter {
public:
    explicit MorphShapeWriter(int morphVersion = 1) : m_version(morphVersion) {}

    int addFill(const FillStyle& start, const FillStyle& end);
    int addLine(const LineStyle& start, const LineStyle& end);
    ShapeWriter& startEdges() { return m_start; }
    ShapeWriter& endEdges() { return m_end; }

    // DefineMorphShape2's edge bounds (the bounds unless set) and stroke flags.
    MorphShapeWriter& setEdgeBounds(const Rect& start, const Rect& end);
    MorphShapeWriter& setStrokeFlags(bool nonScalingStrokes, bool scalingStrokes);
    // A damaged offset to the end edges, for tests of broken input.
    MorphShapeWriter& setEndEdgesOffset(std::uint32_t offset);

    std::vector<std::uint8_t> body(std::uint16_t id) const;
    std::uint16_t tagCode() const { return m_version >= 2 ? 84 : 46; }

private:
    void writeFill(ByteWriter& out, const FillStyle& start, const FillStyle& end) const;
    void writeLine(ByteWriter& out, const LineStyle& start, const LineStyle& end) const;

    int m_version;
    std::vector<std::pair<FillStyle, FillStyle>> m_fills;
    std::vector<std::pair<LineStyle, LineStyle>> m_lines;
    ShapeWriter m_start{3}, m_end{3};
    std::optional<Rect> m_startEdgeBounds, m_endEdgeBounds;
    std::uint8_t m_strokeFlags = 0;
    std::optional<std::uint32_t> m_offsetOverride;
};

} // namespace swfwriter
