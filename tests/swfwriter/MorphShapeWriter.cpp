#include "MorphShapeWriter.h"

namespace swfwriter {

namespace {

void writeStyleCount(ByteWriter& out, std::size_t n)
{
    if (n >= 0xff) {
        out.u8(0xff);
        out.u16(static_cast<std::uint16_t>(n));
    } else {
        out.u8(static_cast<std::uint8_t>(n));
    }
}

} // namespace

int MorphShapeWriter::addFill(const FillStyle& start, const FillStyle& end)
{
    m_fills.emplace_back(start, end);
    return static_cast<int>(m_fills.size());
}

int MorphShapeWriter::addLine(const LineStyle& start, const LineStyle& end)
{
    m_lines.emplace_back(start, end);
    return static_cast<int>(m_lines.size());
}

MorphShapeWriter& MorphShapeWriter::setEdgeBounds(const Rect& start, const Rect& end)
{
    m_startEdgeBounds = start;
    m_endEdgeBounds = end;
    return *this;
}

MorphShapeWriter& MorphShapeWriter::setStrokeFlags(bool nonScalingStrokes, bool scalingStrokes)
{
    m_strokeFlags =
        static_cast<std::uint8_t>((nonScalingStrokes ? 0x02 : 0) | (scalingStrokes ? 0x01 : 0));
    return *this;
}

MorphShapeWriter& MorphShapeWriter::setEndEdgesOffset(std::uint32_t offset)
{
    m_offsetOverride = offset;
    return *this;
}

void MorphShapeWriter::writeFill(ByteWriter& out, const FillStyle& start,
                                 const FillStyle& end) const
{
    out.u8(start.type);
    if (start.type == 0x00) {
        writeRgba(out, start.color);
        writeRgba(out, end.color);
    } else if (start.type == 0x10 || start.type == 0x12 || start.type == 0x13) {
        writeMatrix(out, start.matrix);
        writeMatrix(out, end.matrix);
        // The count byte, with the spread and interpolation bits of GRADIENT above it.
        out.u8(static_cast<std::uint8_t>((start.spread << 6) | (start.interpolation << 4) |
                                         (start.stops.size() & 0x0f)));
        for (std::size_t i = 0; i < start.stops.size(); ++i) {
            const GradientStop& to = i < end.stops.size() ? end.stops[i] : start.stops[i];
            out.u8(start.stops[i].ratio);
            writeRgba(out, start.stops[i].color);
            out.u8(to.ratio);
            writeRgba(out, to.color);
        }
        if (start.type == 0x13) {
            out.fixed8(start.focalPoint);
            out.fixed8(end.focalPoint);
        }
    } else {
        out.u16(start.bitmapId);
        writeMatrix(out, start.matrix);
        writeMatrix(out, end.matrix);
    }
}

void MorphShapeWriter::writeLine(ByteWriter& out, const LineStyle& start,
                                 const LineStyle& end) const
{
    out.u16(start.width);
    out.u16(end.width);
    if (m_version >= 2) {
        writeLineStyle2Fields(out, start);
        if (start.fill) {
            writeFill(out, *start.fill, end.fill ? *end.fill : *start.fill);
            return;
        }
    }
    writeRgba(out, start.color);
    writeRgba(out, end.color);
}

std::vector<std::uint8_t> MorphShapeWriter::body(std::uint16_t id) const
{
    const Rect startBounds = m_start.computeBounds();
    const Rect endBounds = m_end.computeBounds();
    ByteWriter out;
    out.u16(id);
    writeRect(out, startBounds);
    writeRect(out, endBounds);
    if (m_version >= 2) {
        writeRect(out, m_startEdgeBounds ? *m_startEdgeBounds : startBounds);
        writeRect(out, m_endEdgeBounds ? *m_endEdgeBounds : endBounds);
        out.u8(m_strokeFlags);
    }
    ByteWriter styles;
    writeStyleCount(styles, m_fills.size());
    for (const auto& [start, end] : m_fills)
        writeFill(styles, start, end);
    writeStyleCount(styles, m_lines.size());
    for (const auto& [start, end] : m_lines)
        writeLine(styles, start, end);
    const auto startEdges = m_start.edgeBytes(m_fills.size(), m_lines.size());
    // Offset counts from the end of its field to the end edges.
    const auto offset = static_cast<std::uint32_t>(styles.size() + startEdges.size());
    out.u32(m_offsetOverride ? *m_offsetOverride : offset);
    out.bytes(styles.data());
    out.bytes(startEdges);
    out.bytes(m_end.edgeBytes(0, 0));
    return out.data();
}

} // namespace swfwriter
