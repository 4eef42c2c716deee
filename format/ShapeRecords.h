#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "ShapeEdges.h"

#include <cstdint>
#include <optional>

namespace swf {

// A STYLECHANGERECORD: what it sets, with style indexes as stored (1-based, 0 none).
struct StyleChange {
    std::optional<ShapePoint> moveTo;
    std::optional<std::uint32_t> fill0, fill1, line;
    // The record brought new style arrays; its indexes refer to them.
    bool newStyles = false;
};

// What the shape, glyph and morph readers do with the records they are given.
class ShapeRecordSink {
public:
    virtual ~ShapeRecordSink() = default;
    // StateNewStyles: reads FILLSTYLEARRAY and LINESTYLEARRAY from `in`, which stands at
    // them. Comes before styleChange() for the same record.
    virtual Status readNewStyles(ByteReader& in) = 0;
    virtual void styleChange(const StyleChange& change) = 0;
    virtual void edge(const ShapeEdge& edge) = 0;
};

// Reads NumFillBits and NumLineBits, then SHAPERECORDs up to and including the end
// record, turning the pen's moves and deltas into absolute points.
Status readShapeRecords(ByteReader& in, ShapeRecordSink& sink);

} // namespace swf
