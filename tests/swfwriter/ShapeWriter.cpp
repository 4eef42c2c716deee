#include "ShapeWriter.h"

#include <algorithm>
#include <limits>

namespace swfwriter {

FillStyle FillStyle::linear(std::vector<GradientStop> stops, Matrix m)
{
    FillStyle f;
    f.type = 0x10;
    f.stops = std::move(stops);
    f.matrix = m;
    return f;
}

FillStyle FillStyle::radial(std::vector<GradientStop> stops, Matrix m)
{
    FillStyle f = linear(std::move(stops), m);
    f.type = 0x12;
    return f;
}

FillStyle FillStyle::bitmap(std::uint16_t id, Matrix m, bool clipped, bool smoothed)
{
    FillStyle f;
    f.type = static_cast<std::uint8_t>(0x40 | (clipped ? 1 : 0) | (smoothed ? 0 : 2));
    f.bitmapId = id;
    f.matrix = m;
    return f;
}

FillStyle FillStyle::focal(std::vector<GradientStop> stops, Matrix m, double focalPoint)
{
    FillStyle f = linear(std::move(stops), m);
    f.type = 0x13;
    f.focalPoint = focalPoint;
    return f;
}

void writeLineStyle2Fields(ByteWriter& out, const LineStyle& line)
{
    out.ub(2, line.startCap);
    out.ub(2, line.join);
    out.ub(1, line.fill.has_value());
    out.ub(1, line.noHScale);
    out.ub(1, line.noVScale);
    out.ub(1, line.pixelHinting);
    out.ub(5, 0);
    out.ub(1, line.noClose);
    out.ub(2, line.endCap);
    out.flushBits();
    if (line.join == 2)
        out.fixed8(line.miterLimit);
}

int ShapeWriter::addFill(const FillStyle& fill)
{
    m_sets.back().fills.push_back(fill);
    return static_cast<int>(m_sets.back().fills.size());
}

int ShapeWriter::addLine(const LineStyle& line)
{
    m_sets.back().lines.push_back(line);
    return static_cast<int>(m_sets.back().lines.size());
}

ShapeWriter::Record& ShapeWriter::change()
{
    if (m_records.empty() || m_records.back().kind != Record::Change)
        m_records.push_back(Record{Record::Change});
    return m_records.back();
}

ShapeWriter& ShapeWriter::fill0(int index)
{
    change().fill0 = index;
    return *this;
}

ShapeWriter& ShapeWriter::fill1(int index)
{
    change().fill1 = index;
    return *this;
}

ShapeWriter& ShapeWriter::line(int index)
{
    change().line = index;
    return *this;
}

ShapeWriter& ShapeWriter::moveTo(std::int32_t x, std::int32_t y)
{
    Record& r = change();
    r.hasMove = true;
    r.x = x;
    r.y = y;
    m_penX = x;
    m_penY = y;
    return *this;
}

ShapeWriter& ShapeWriter::lineTo(std::int32_t x, std::int32_t y)
{
    Record r{Record::Line};
    r.x = x;
    r.y = y;
    m_records.push_back(r);
    m_penX = x;
    m_penY = y;
    return *this;
}

ShapeWriter& ShapeWriter::curveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y)
{
    Record r{Record::Curve};
    r.cx = cx;
    r.cy = cy;
    r.x = x;
    r.y = y;
    m_records.push_back(r);
    m_penX = x;
    m_penY = y;
    return *this;
}

ShapeWriter& ShapeWriter::newStyles()
{
    Record r{Record::Change};
    r.newStyles = true;
    m_records.push_back(r);
    m_sets.emplace_back();
    return *this;
}

ShapeWriter& ShapeWriter::setEdgeBounds(const Rect& bounds)
{
    m_edgeBounds = bounds;
    return *this;
}

ShapeWriter& ShapeWriter::setShape4Flags(bool fillWindingRule, bool nonScalingStrokes,
                                         bool scalingStrokes)
{
    m_shape4Flags =
        static_cast<std::uint8_t>((fillWindingRule ? 0x04 : 0) | (nonScalingStrokes ? 0x02 : 0) |
                                  (scalingStrokes ? 0x01 : 0));
    return *this;
}

ShapeWriter& ShapeWriter::rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    moveTo(x, y);
    lineTo(x + w, y);
    lineTo(x + w, y + h);
    lineTo(x, y + h);
    lineTo(x, y);
    return *this;
}

std::uint16_t ShapeWriter::tagCode() const
{
    switch (m_version) {
    case 1:
        return 2;
    case 2:
        return 22;
    case 3:
        return 32;
    default:
        return 83;
    }
}

void ShapeWriter::writeFill(ByteWriter& out, const FillStyle& fill) const
{
    out.u8(fill.type);
    if (fill.type == 0x00) {
        if (m_version >= 3)
            writeRgba(out, fill.color);
        else
            writeRgb(out, fill.color);
    } else if (fill.type == 0x10 || fill.type == 0x12 || fill.type == 0x13) {
        writeMatrix(out, fill.matrix);
        out.ub(2, fill.spread);
        out.ub(2, fill.interpolation);
        out.ub(4, static_cast<std::uint32_t>(fill.stops.size()));
        for (const auto& stop : fill.stops) {
            out.u8(stop.ratio);
            if (m_version >= 3)
                writeRgba(out, stop.color);
            else
                writeRgb(out, stop.color);
        }
        if (fill.type == 0x13)
            out.fixed8(fill.focalPoint);
    } else {
        out.u16(fill.bitmapId);
        writeMatrix(out, fill.matrix);
    }
}

void ShapeWriter::writeStyles(ByteWriter& out, const StyleSet& set) const
{
    auto count = [&](std::size_t n) {
        if (n >= 0xff && m_version >= 2) {
            out.u8(0xff);
            out.u16(static_cast<std::uint16_t>(n));
        } else {
            out.u8(static_cast<std::uint8_t>(n));
        }
    };
    count(set.fills.size());
    for (const auto& fill : set.fills)
        writeFill(out, fill);
    count(set.lines.size());
    for (const auto& line : set.lines) {
        out.u16(line.width);
        if (m_version >= 4) {
            writeLineStyle2Fields(out, line);
            if (line.fill)
                writeFill(out, *line.fill);
            else
                writeRgba(out, line.color);
        } else if (m_version >= 3) {
            writeRgba(out, line.color);
        } else {
            writeRgb(out, line.color);
        }
    }
}

void ShapeWriter::writeRecords(ByteWriter& out, std::size_t fillCount, std::size_t lineCount) const
{
    std::size_t maxFill = fillCount, maxLine = lineCount;
    for (const Record& r : m_records) {
        maxFill = std::max({maxFill, static_cast<std::size_t>(std::max(r.fill0, 0)),
                            static_cast<std::size_t>(std::max(r.fill1, 0))});
        maxLine = std::max(maxLine, static_cast<std::size_t>(std::max(r.line, 0)));
    }
    const unsigned fillBits = unsignedBits({static_cast<std::uint32_t>(maxFill)});
    const unsigned lineBits = unsignedBits({static_cast<std::uint32_t>(maxLine)});
    std::size_t setIndex = 0;
    out.ub(4, fillBits);
    out.ub(4, lineBits);
    std::int32_t penX = 0, penY = 0;
    for (const Record& r : m_records) {
        switch (r.kind) {
        case Record::Change: {
            out.ub(1, 0);
            out.ub(1, r.newStyles);
            out.ub(1, r.line >= 0);
            out.ub(1, r.fill1 >= 0);
            out.ub(1, r.fill0 >= 0);
            out.ub(1, r.hasMove);
            if (r.hasMove) {
                const unsigned n = std::max(1u, signedBits({r.x, r.y}));
                out.ub(5, n);
                out.sb(n, r.x);
                out.sb(n, r.y);
                penX = r.x;
                penY = r.y;
            }
            if (r.fill0 >= 0)
                out.ub(fillBits, static_cast<std::uint32_t>(r.fill0));
            if (r.fill1 >= 0)
                out.ub(fillBits, static_cast<std::uint32_t>(r.fill1));
            if (r.line >= 0)
                out.ub(lineBits, static_cast<std::uint32_t>(r.line));
            if (r.newStyles) {
                out.flushBits();
                ++setIndex;
                writeStyles(out, m_sets[setIndex]);
                out.ub(4, fillBits);
                out.ub(4, lineBits);
            }
            break;
        }
        case Record::Line: {
            const std::int32_t dx = r.x - penX, dy = r.y - penY;
            const unsigned n = std::max(2u, signedBits({dx, dy}));
            out.ub(1, 1);
            out.ub(1, 1);
            out.ub(4, n - 2);
            if (dx != 0 && dy != 0) {
                out.ub(1, 1);
                out.sb(n, dx);
                out.sb(n, dy);
            } else {
                out.ub(1, 0);
                out.ub(1, dx == 0); // vertical
                out.sb(n, dx == 0 ? dy : dx);
            }
            penX = r.x;
            penY = r.y;
            break;
        }
        case Record::Curve: {
            const std::int32_t cdx = r.cx - penX, cdy = r.cy - penY;
            const std::int32_t adx = r.x - r.cx, ady = r.y - r.cy;
            const unsigned n = std::max(2u, signedBits({cdx, cdy, adx, ady}));
            out.ub(1, 1);
            out.ub(1, 0);
            out.ub(4, n - 2);
            out.sb(n, cdx);
            out.sb(n, cdy);
            out.sb(n, adx);
            out.sb(n, ady);
            penX = r.x;
            penY = r.y;
            break;
        }
        }
    }
    out.ub(6, 0); // end of shape
    out.flushBits();
}

Rect ShapeWriter::computeBounds() const
{
    std::int32_t xMin = std::numeric_limits<std::int32_t>::max(), yMin = xMin;
    std::int32_t xMax = std::numeric_limits<std::int32_t>::min(), yMax = xMax;
    auto add = [&](std::int32_t x, std::int32_t y) {
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    };
    for (const Record& r : m_records) {
        if (r.kind == Record::Change && r.hasMove)
            add(r.x, r.y);
        if (r.kind == Record::Line || r.kind == Record::Curve)
            add(r.x, r.y);
        if (r.kind == Record::Curve)
            add(r.cx, r.cy);
    }
    if (xMin > xMax)
        return {};
    return {xMin, xMax, yMin, yMax};
}

std::vector<std::uint8_t> ShapeWriter::body(std::uint16_t id) const
{
    return body(id, computeBounds());
}

std::vector<std::uint8_t> ShapeWriter::body(std::uint16_t id, const Rect& bounds) const
{
    ByteWriter out;
    out.u16(id);
    writeRect(out, bounds);
    if (m_version >= 4) {
        writeRect(out, m_edgeBounds ? *m_edgeBounds : bounds);
        out.u8(m_shape4Flags);
    }
    writeStyles(out, m_sets[0]);
    std::size_t fillCount = 0, lineCount = 0;
    for (const StyleSet& set : m_sets) {
        fillCount = std::max(fillCount, set.fills.size());
        lineCount = std::max(lineCount, set.lines.size());
    }
    writeRecords(out, fillCount, lineCount);
    return out.data();
}

std::vector<std::uint8_t> ShapeWriter::glyphBytes() const
{
    return edgeBytes(1, 0);
}

std::vector<std::uint8_t> ShapeWriter::edgeBytes(std::size_t fillCount, std::size_t lineCount) const
{
    ByteWriter out;
    writeRecords(out, fillCount, lineCount);
    return out.data();
}

} // namespace swfwriter
