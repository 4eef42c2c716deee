#pragma once

#include "ShapeWriter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace swfwriter {

// Builds the bodies of DefineFont (1), DefineFont2 (2) and DefineFont3 (3), and of the
// DefineFontInfo and DefineFontInfo2 tags that name a DefineFont's glyphs. Glyphs are
// drawn with ShapeWriters (fill style 1 is the glyph).
class FontWriter {
public:
    explicit FontWriter(int fontVersion = 2) : m_version(fontVersion) {}

    FontWriter& addGlyph(const ShapeWriter& outline, std::uint16_t code = 0,
                         std::int16_t advance = 0, Rect bounds = {});
    FontWriter& setName(const std::string& name);
    FontWriter& setStyle(bool bold, bool italic);
    FontWriter& setSmallText(bool smallText);
    FontWriter& setLanguage(std::uint8_t language);
    // Codes and kerning codes are 16-bit in DefineFont3 and when set here.
    FontWriter& setWideCodes(bool wide);
    // 32-bit offsets; chosen by themselves when the glyphs need them.
    FontWriter& setWideOffsets(bool wide);
    // DefineFont2 and 3: ascent, descent and leading, then the glyphs' advances and
    // bounds, and the kerning pairs added.
    FontWriter& setLayout(std::int16_t ascent, std::int16_t descent, std::int16_t leading);
    FontWriter& addKerning(std::uint16_t left, std::uint16_t right, std::int16_t adjustment);

    // Damage for tests of broken input: a glyph's offset, or the code table offset,
    // replaced by the value given.
    FontWriter& setGlyphOffset(std::size_t glyph, std::uint32_t offset);
    FontWriter& setCodeTableOffset(std::uint32_t offset);

    std::vector<std::uint8_t> body(std::uint16_t id) const;
    std::uint16_t tagCode() const { return m_version == 1 ? 10 : m_version == 2 ? 48 : 75; }
    // DefineFontInfo (1) or DefineFontInfo2 (2) with this font's name, flags and codes.
    std::vector<std::uint8_t> infoBody(std::uint16_t id, int infoVersion) const;

private:
    struct Glyph {
        std::vector<std::uint8_t> shape;
        std::uint16_t code;
        std::int16_t advance;
        Rect bounds;
    };
    struct Kerning {
        std::uint16_t left, right;
        std::int16_t adjustment;
    };
    bool wideCodes() const { return m_wideCodes.value_or(m_version == 3); }
    void writeCode(ByteWriter& out, std::uint16_t code) const;
    std::vector<std::uint8_t> defineFontBody(std::uint16_t id) const;

    int m_version;
    std::vector<Glyph> m_glyphs;
    std::string m_name;
    bool m_bold = false, m_italic = false, m_smallText = false;
    std::uint8_t m_language = 0;
    std::optional<bool> m_wideCodes, m_wideOffsets;
    bool m_hasLayout = false;
    std::int16_t m_ascent = 0, m_descent = 0, m_leading = 0;
    std::vector<Kerning> m_kerning;
    std::map<std::size_t, std::uint32_t> m_offsetOverrides;
    std::optional<std::uint32_t> m_codeTableOffset;
};

} // namespace swfwriter
