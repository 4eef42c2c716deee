#include "ShapeRecords.h"

#include "BitReader.h"
#include "ErrorContext.h"
#include "Limits.h"

#include <string>

namespace swf {

namespace {

// StyleChangeRecord flags, in the order of their bits.
enum : unsigned {
    kStateMoveTo = 0x01,
    kStateFillStyle0 = 0x02,
    kStateFillStyle1 = 0x04,
    kStateLineStyle = 0x08,
    kStateNewStyles = 0x10,
};

bool inRange(std::int64_t value)
{
    return value >= -limits::kMaxCoordinate && value <= limits::kMaxCoordinate;
}

// Adds a delta to a point, or fails when the result leaves the coordinate range.
bool offset(ShapePoint from, std::int64_t dx, std::int64_t dy, ShapePoint& to)
{
    const std::int64_t x = from.x + dx, y = from.y + dy;
    if (!inRange(x) || !inRange(y))
        return false;
    to = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    return true;
}

class RecordReader {
public:
    RecordReader(ByteReader& in, ShapeRecordSink& sink) : m_in(in), m_bits(in), m_sink(sink) {}

    Status run()
    {
        m_fillBits = m_bits.ub(4);
        m_lineBits = m_bits.ub(4);
        for (std::size_t count = 1;; ++count) {
            if (count > limits::kMaxShapeRecords)
                return makeError(ErrorCode::TooLarge, "shape records");
            bool end = false;
            Status status = m_bits.flag() ? readEdge() : readStyleChange(end);
            if (status && !m_in.ok())
                status = makeError(ErrorCode::Truncated);
            if (!status)
                return inContext("shape record " + std::to_string(count), status.error());
            if (end)
                return Ok{};
        }
    }

private:
    Status readStyleChange(bool& end)
    {
        const unsigned flags = m_bits.ub(5);
        if (flags == 0) {
            end = true; // EndShapeRecord
            return Ok{};
        }
        StyleChange change;
        if (flags & kStateMoveTo) {
            const unsigned n = m_bits.ub(5);
            const std::int32_t x = m_bits.sb(n), y = m_bits.sb(n);
            if (!inRange(x) || !inRange(y))
                return makeError(ErrorCode::BadValue, "move outside the coordinate range");
            m_pen = {x, y};
            change.moveTo = m_pen;
        }
        if (flags & kStateFillStyle0)
            change.fill0 = m_bits.ub(m_fillBits);
        if (flags & kStateFillStyle1)
            change.fill1 = m_bits.ub(m_fillBits);
        if (flags & kStateLineStyle)
            change.line = m_bits.ub(m_lineBits);
        if (flags & kStateNewStyles) {
            change.newStyles = true;
            m_bits.align();
            if (!m_in.ok())
                return makeError(ErrorCode::Truncated);
            auto styles = m_sink.readNewStyles(m_in);
            if (!styles)
                return styles;
            m_fillBits = m_bits.ub(4);
            m_lineBits = m_bits.ub(4);
        }
        if (m_in.ok())
            m_sink.styleChange(change);
        return Ok{};
    }

    Status readEdge()
    {
        const bool straight = m_bits.flag();
        const unsigned n = m_bits.ub(4) + 2;
        ShapeEdge edge;
        edge.from = m_pen;
        bool inside = true;
        if (straight) {
            std::int32_t dx = 0, dy = 0;
            if (m_bits.flag()) { // GeneralLineFlag
                dx = m_bits.sb(n);
                dy = m_bits.sb(n);
            } else if (m_bits.flag()) { // VertLineFlag
                dy = m_bits.sb(n);
            } else {
                dx = m_bits.sb(n);
            }
            inside = offset(m_pen, dx, dy, edge.to);
        } else {
            edge.isCurve = true;
            const std::int32_t cdx = m_bits.sb(n), cdy = m_bits.sb(n);
            const std::int32_t adx = m_bits.sb(n), ady = m_bits.sb(n);
            inside =
                offset(m_pen, cdx, cdy, edge.control) && offset(edge.control, adx, ady, edge.to);
        }
        if (!m_in.ok())
            return makeError(ErrorCode::Truncated);
        if (!inside)
            return makeError(ErrorCode::BadValue, "edge outside the coordinate range");
        m_pen = edge.to;
        m_sink.edge(edge);
        return Ok{};
    }

    ByteReader& m_in;
    BitReader m_bits;
    ShapeRecordSink& m_sink;
    unsigned m_fillBits = 0, m_lineBits = 0;
    ShapePoint m_pen;
};

} // namespace

Status readShapeRecords(ByteReader& in, ShapeRecordSink& sink)
{
    return RecordReader(in, sink).run();
}

} // namespace swf
