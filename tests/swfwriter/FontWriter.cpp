#include "FontWriter.h"

namespace swfwriter {

FontWriter& FontWriter::addGlyph(const ShapeWriter& outline, std::uint16_t code,
                                 std::int16_t advance, Rect bounds)
{
    m_glyphs.push_back({outline.glyphBytes(), code, advance, bounds});
    return *this;
}

FontWriter& FontWriter::setName(const std::string& name)
{
    m_name = name;
    return *this;
}

FontWriter& FontWriter::setStyle(bool bold, bool italic)
{
    m_bold = bold;
    m_italic = italic;
    return *this;
}

FontWriter& FontWriter::setSmallText(bool smallText)
{
    m_smallText = smallText;
    return *this;
}

FontWriter& FontWriter::setLanguage(std::uint8_t language)
{
    m_language = language;
    return *this;
}

FontWriter& FontWriter::setWideCodes(bool wide)
{
    m_wideCodes = wide;
    return *this;
}

FontWriter& FontWriter::setWideOffsets(bool wide)
{
    m_wideOffsets = wide;
    return *this;
}

FontWriter& FontWriter::setLayout(std::int16_t ascent, std::int16_t descent, std::int16_t leading)
{
    m_hasLayout = true;
    m_ascent = ascent;
    m_descent = descent;
    m_leading = leading;
    return *this;
}

FontWriter& FontWriter::addKerning(std::uint16_t left, std::uint16_t right, std::int16_t adjustment)
{
    m_kerning.push_back({left, right, adjustment});
    return *this;
}

FontWriter& FontWriter::setGlyphOffset(std::size_t glyph, std::uint32_t offset)
{
    m_offsetOverrides[glyph] = offset;
    return *this;
}

FontWriter& FontWriter::setCodeTableOffset(std::uint32_t offset)
{
    m_codeTableOffset = offset;
    return *this;
}

void FontWriter::writeCode(ByteWriter& out, std::uint16_t code) const
{
    if (wideCodes())
        out.u16(code);
    else
        out.u8(static_cast<std::uint8_t>(code));
}

std::vector<std::uint8_t> FontWriter::defineFontBody(std::uint16_t id) const
{
    // The offsets count from the start of the table, whose first entry also says how
    // long the table is.
    ByteWriter out;
    out.u16(id);
    std::size_t offset = m_glyphs.size() * 2;
    for (std::size_t i = 0; i < m_glyphs.size(); ++i) {
        auto overridden = m_offsetOverrides.find(i);
        out.u16(static_cast<std::uint16_t>(
            overridden != m_offsetOverrides.end() ? overridden->second : offset));
        offset += m_glyphs[i].shape.size();
    }
    for (const Glyph& glyph : m_glyphs)
        out.bytes(glyph.shape);
    return out.data();
}

std::vector<std::uint8_t> FontWriter::body(std::uint16_t id) const
{
    if (m_version == 1)
        return defineFontBody(id);
    std::size_t shapeBytes = 0;
    for (const Glyph& glyph : m_glyphs)
        shapeBytes += glyph.shape.size();
    const bool wideOffsets =
        m_wideOffsets.value_or((m_glyphs.size() + 1) * 2 + shapeBytes > 0xffff);
    const std::size_t offsetBytes = wideOffsets ? 4 : 2;

    ByteWriter out;
    out.u16(id);
    out.u8(static_cast<std::uint8_t>((m_hasLayout ? 0x80 : 0) | (m_smallText ? 0x20 : 0) |
                                     (wideOffsets ? 0x08 : 0) | (wideCodes() ? 0x04 : 0) |
                                     (m_italic ? 0x02 : 0) | (m_bold ? 0x01 : 0)));
    out.u8(m_language);
    out.u8(static_cast<std::uint8_t>(m_name.size()));
    out.bytes(std::vector<std::uint8_t>(m_name.begin(), m_name.end()));
    out.u16(static_cast<std::uint16_t>(m_glyphs.size()));
    auto writeOffset = [&](std::size_t value) {
        if (wideOffsets)
            out.u32(static_cast<std::uint32_t>(value));
        else
            out.u16(static_cast<std::uint16_t>(value));
    };
    std::size_t offset = (m_glyphs.size() + 1) * offsetBytes;
    for (std::size_t i = 0; i < m_glyphs.size(); ++i) {
        auto overridden = m_offsetOverrides.find(i);
        writeOffset(overridden != m_offsetOverrides.end() ? overridden->second : offset);
        offset += m_glyphs[i].shape.size();
    }
    writeOffset(m_codeTableOffset ? *m_codeTableOffset : offset);
    for (const Glyph& glyph : m_glyphs)
        out.bytes(glyph.shape);
    for (const Glyph& glyph : m_glyphs)
        writeCode(out, glyph.code);
    if (m_hasLayout) {
        out.s16(m_ascent);
        out.s16(m_descent);
        out.s16(m_leading);
        for (const Glyph& glyph : m_glyphs)
            out.s16(glyph.advance);
        for (const Glyph& glyph : m_glyphs)
            writeRect(out, glyph.bounds);
        out.u16(static_cast<std::uint16_t>(m_kerning.size()));
        for (const Kerning& pair : m_kerning) {
            writeCode(out, pair.left);
            writeCode(out, pair.right);
            out.s16(pair.adjustment);
        }
    }
    return out.data();
}

std::vector<std::uint8_t> FontWriter::infoBody(std::uint16_t id, int infoVersion) const
{
    const bool wide = wideCodes() || infoVersion == 2;
    ByteWriter out;
    out.u16(id);
    out.u8(static_cast<std::uint8_t>(m_name.size()));
    out.bytes(std::vector<std::uint8_t>(m_name.begin(), m_name.end()));
    out.u8(static_cast<std::uint8_t>((m_smallText ? 0x20 : 0) | (m_italic ? 0x04 : 0) |
                                     (m_bold ? 0x02 : 0) | (wide ? 0x01 : 0)));
    if (infoVersion == 2)
        out.u8(m_language);
    for (const Glyph& glyph : m_glyphs) {
        if (wide)
            out.u16(glyph.code);
        else
            out.u8(static_cast<std::uint8_t>(glyph.code));
    }
    return out.data();
}

} // namespace swfwriter
