#include "TextWriter.h"

#include <algorithm>
#include <tuple>

namespace swfwriter {

TextWriter& TextWriter::setBounds(const Rect& bounds)
{
    m_bounds = bounds;
    return *this;
}

TextWriter& TextWriter::setMatrix(const Matrix& matrix)
{
    m_matrix = matrix;
    return *this;
}

TextWriter& TextWriter::addRecord(const TextRecordFields& record)
{
    m_records.push_back(record);
    return *this;
}

TextWriter& TextWriter::setFieldBits(unsigned glyphBits, unsigned advanceBits)
{
    m_fieldBits = {glyphBits, advanceBits};
    return *this;
}

std::vector<std::uint8_t> TextWriter::body(std::uint16_t id) const
{
    unsigned glyphBits = 0, advanceBits = 0;
    for (const TextRecordFields& record : m_records) {
        for (const TextGlyphEntry& glyph : record.glyphs) {
            glyphBits = std::max(glyphBits, unsignedBits({glyph.index}));
            advanceBits = std::max(advanceBits, signedBits({glyph.advance}));
        }
    }
    if (m_fieldBits)
        std::tie(glyphBits, advanceBits) = *m_fieldBits;

    ByteWriter out;
    out.u16(id);
    writeRect(out, m_bounds);
    writeMatrix(out, m_matrix);
    out.u8(static_cast<std::uint8_t>(glyphBits));
    out.u8(static_cast<std::uint8_t>(advanceBits));
    for (const TextRecordFields& record : m_records) {
        out.u8(static_cast<std::uint8_t>(0x80 | (record.fontId ? 0x08 : 0) |
                                         (record.color ? 0x04 : 0) | (record.y ? 0x02 : 0) |
                                         (record.x ? 0x01 : 0)));
        if (record.fontId)
            out.u16(*record.fontId);
        if (record.color) {
            if (m_version >= 2)
                writeRgba(out, *record.color);
            else
                writeRgb(out, *record.color);
        }
        if (record.x)
            out.s16(*record.x);
        if (record.y)
            out.s16(*record.y);
        if (record.fontId)
            out.u16(record.height);
        out.u8(static_cast<std::uint8_t>(record.glyphs.size()));
        for (const TextGlyphEntry& glyph : record.glyphs) {
            out.ub(glyphBits, glyph.index);
            out.sb(advanceBits, glyph.advance);
        }
        out.flushBits();
    }
    out.u8(0); // EndOfRecordsFlag
    return out.data();
}

} // namespace swfwriter
