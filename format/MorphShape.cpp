#include "MorphShape.h"

#include "ErrorContext.h"
#include "MorphStyles.h"
#include "Records.h"
#include "ShapeRecords.h"

#include <string>

namespace swf {

namespace {

// Collects one of the two edge lists. The start list keeps its style indexes; the end
// list's style changes only move the pen, since the styles are the start's.
class MorphEdgeSink final : public ShapeRecordSink {
public:
    MorphEdgeSink(std::vector<MorphShape::Edge>& edges, std::size_t fillCount,
                  std::size_t lineCount)
        : m_edges(edges), m_fillCount(fillCount), m_lineCount(lineCount)
    {}

    Status readNewStyles(ByteReader&) override
    {
        return makeError(ErrorCode::BadValue, "new style arrays in a morph shape");
    }

    void styleChange(const StyleChange& change) override
    {
        // Leniency: a style index past the morph's arrays is dropped, as in shapes.
        auto checked = [](std::uint32_t index, std::size_t count) {
            return index <= count ? index : 0;
        };
        if (change.fill0)
            m_fill0 = checked(*change.fill0, m_fillCount);
        if (change.fill1)
            m_fill1 = checked(*change.fill1, m_fillCount);
        if (change.line)
            m_line = checked(*change.line, m_lineCount);
    }

    void edge(const ShapeEdge& edge) override
    {
        MorphShape::Edge& e = m_edges.emplace_back();
        e.isCurve = edge.isCurve;
        e.fromX = edge.from.x;
        e.fromY = edge.from.y;
        e.cx = edge.control.x;
        e.cy = edge.control.y;
        e.x = edge.to.x;
        e.y = edge.to.y;
        e.fill0 = m_fill0;
        e.fill1 = m_fill1;
        e.line = m_line;
    }

private:
    std::vector<MorphShape::Edge>& m_edges;
    std::size_t m_fillCount, m_lineCount;
    std::uint32_t m_fill0 = 0, m_fill1 = 0, m_line = 0;
};

Status readBody(ByteReader& in, int morphVersion, MorphShape& morph)
{
    morph.startBounds = readRect(in);
    morph.endBounds = readRect(in);
    morph.startEdgeBounds = morph.startBounds;
    morph.endEdgeBounds = morph.endBounds;
    if (morphVersion >= 2) {
        morph.startEdgeBounds = readRect(in);
        morph.endEdgeBounds = readRect(in);
        const std::uint8_t flags = in.u8();
        morph.hasNonScalingStrokes = flags & 0x02; // UsesNonScalingStrokes
        morph.hasScalingStrokes = flags & 0x01;    // UsesScalingStrokes
    }
    // Offset counts from the end of its own field to the end edges.
    const std::uint32_t offset = in.u32();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "bounds");
    if (offset > in.remaining())
        return makeError(ErrorCode::BadValue, "offset to the end edges");
    const std::size_t endEdgesAt = in.position() + offset;

    if (auto fills = readMorphFillStyleArray(in, morph.startFills, morph.endFills); !fills)
        return fills;
    if (auto lines = readMorphLineStyleArray(in, morphVersion, morph.startLines, morph.endLines);
        !lines)
        return lines;
    if (in.position() > endEdgesAt)
        return makeError(ErrorCode::BadValue, "offset to the end edges");

    ByteReader startIn = in.sub(endEdgesAt - in.position());
    MorphEdgeSink startSink(morph.startEdges, morph.startFills.size(), morph.startLines.size());
    if (auto start = readShapeRecords(startIn, startSink); !start)
        return inContext("start edges", start.error());
    MorphEdgeSink endSink(morph.endEdges, morph.startFills.size(), morph.startLines.size());
    if (auto end = readShapeRecords(in, endSink); !end)
        return inContext("end edges", end.error());
    return Ok{};
}

} // namespace

Result<MorphShape> parseMorphShape(ByteReader& in, int morphVersion)
{
    if (morphVersion < 1 || morphVersion > 2)
        return makeError(ErrorCode::Unsupported, "morph shape version");
    const char* tag = morphVersion == 1 ? "DefineMorphShape" : "DefineMorphShape2";
    MorphShape morph;
    if (auto body = readBody(in, morphVersion, morph); !body)
        return inContext(tag, body.error());
    return morph;
}

} // namespace swf
