#include "Font.h"

#include "ErrorContext.h"
#include "Limits.h"
#include "Records.h"

#include <string>

namespace swf {

namespace {

// DefineFont2's flags byte.
enum : std::uint8_t {
    kHasLayout = 0x80,
    kShiftJis = 0x40,
    kSmallText = 0x20,
    kAnsi = 0x10,
    kWideOffsets = 0x08,
    kWideCodes = 0x04,
    kItalic = 0x02,
    kBold = 0x01,
};

// Reads the glyph shapes of a table whose offsets count from the table's start:
// glyph i runs from offsets[i] to the next offset, the last one to `glyphsEnd`. The
// caller has checked every offset against the table.
Status readGlyphShapes(std::span<const std::uint8_t> table,
                       const std::vector<std::uint32_t>& offsets, std::size_t glyphsEnd, Font& font)
{
    font.glyphs.resize(offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t end = i + 1 < offsets.size() ? offsets[i + 1] : glyphsEnd;
        if (end < offsets[i])
            return makeError(ErrorCode::BadValue, "glyph offsets out of order");
        ByteReader glyphIn(table.subspan(offsets[i], end - offsets[i]));
        auto outline = parseGlyphOutline(glyphIn);
        if (!outline)
            return inContext("glyph " + std::to_string(i), outline.error());
        font.glyphs[i].outline = std::move(*outline);
    }
    return Ok{};
}

Status checkOffsets(const std::vector<std::uint32_t>& offsets, std::size_t firstAllowed,
                    std::size_t last)
{
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] < firstAllowed || offsets[i] > last)
            return makeError(ErrorCode::BadValue, "glyph offset " + std::to_string(i));
    }
    return Ok{};
}

// DefineFont: an offset table, whose first entry also gives its length, then shapes.
Status readDefineFont(ByteReader& in, Font& font)
{
    const auto table = in.rest();
    in.skip(table.size());
    // A DefineFont without glyphs, only a name for DefineFontInfo to give, is empty.
    if (table.empty())
        return Ok{};
    ByteReader offsetsIn(table);
    const std::size_t count = offsetsIn.u16() / 2;
    if (!offsetsIn.ok())
        return makeError(ErrorCode::Truncated, "offset table");
    if (count * 2 > table.size())
        return makeError(ErrorCode::BadValue, "glyph offset 0");
    std::vector<std::uint32_t> offsets(count);
    offsetsIn.seek(0);
    for (auto& offset : offsets)
        offset = offsetsIn.u16();
    if (auto checked = checkOffsets(offsets, count * 2, table.size()); !checked)
        return checked;
    return readGlyphShapes(table, offsets, table.size(), font);
}

Status readLayout(ByteReader& in, Font& font)
{
    font.hasLayout = true;
    font.ascent = static_cast<std::int16_t>(in.u16());
    font.descent = static_cast<std::int16_t>(in.u16());
    font.leading = in.s16();
    if (font.glyphs.size() * 2 > in.remaining())
        return makeError(ErrorCode::Truncated, "advance table");
    for (Glyph& glyph : font.glyphs)
        glyph.advance = in.s16();
    for (Glyph& glyph : font.glyphs)
        glyph.bounds = readRect(in);
    const std::size_t kerningCount = in.u16();
    const std::size_t codeBytes = font.wideCodes ? 2 : 1;
    if (!in.ok() || kerningCount * (2 * codeBytes + 2) > in.remaining())
        return makeError(ErrorCode::Truncated, "kerning table");
    font.kerning.resize(kerningCount);
    for (KerningPair& pair : font.kerning) {
        pair.left = font.wideCodes ? in.u16() : in.u8();
        pair.right = font.wideCodes ? in.u16() : in.u8();
        pair.adjustment = in.s16();
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "layout");
    return Ok{};
}

// DefineFont2 and DefineFont3.
Status readDefineFont2(ByteReader& in, Font& font)
{
    const std::uint8_t flags = in.u8();
    font.smallText = flags & kSmallText;
    font.wideCodes = flags & kWideCodes;
    font.italic = flags & kItalic;
    font.bold = flags & kBold;
    font.language = in.u8();
    const auto name = in.take(in.u8());
    font.name.assign(name.begin(), name.end());
    // Some tools count the name's terminating zero in its length.
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    const std::size_t count = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "header");
    if (count > limits::kMaxGlyphs)
        return makeError(ErrorCode::TooLarge, "glyph count");

    // Offsets, the code table's included, count from the start of the offset table.
    const auto table = in.rest();
    const std::size_t offsetBytes = (flags & kWideOffsets) ? 4 : 2;
    // Leniency: a font without glyphs may stop before CodeTableOffset.
    if (count == 0 && table.size() < offsetBytes) {
        in.skip(table.size());
        return Ok{};
    }
    if ((count + 1) * offsetBytes > table.size())
        return makeError(ErrorCode::Truncated, "offset table");
    std::vector<std::uint32_t> offsets(count);
    for (auto& offset : offsets)
        offset = offsetBytes == 4 ? in.u32() : in.u16();
    const std::uint32_t codeTableOffset = offsetBytes == 4 ? in.u32() : in.u16();
    const std::size_t firstGlyph = (count + 1) * offsetBytes;
    if (codeTableOffset < firstGlyph || codeTableOffset > table.size())
        return makeError(ErrorCode::BadValue, "code table offset");
    if (auto checked = checkOffsets(offsets, firstGlyph, codeTableOffset); !checked)
        return checked;
    if (auto glyphs = readGlyphShapes(table, offsets, codeTableOffset, font); !glyphs)
        return glyphs;

    ByteReader rest(table.subspan(codeTableOffset));
    for (Glyph& glyph : font.glyphs)
        glyph.code = font.wideCodes ? rest.u16() : rest.u8();
    if (!rest.ok())
        return makeError(ErrorCode::Truncated, "code table");
    if (flags & kHasLayout) {
        if (auto layout = readLayout(rest, font); !layout)
            return layout;
    }
    in.skip(in.remaining());
    return Ok{};
}

} // namespace

int Font::glyphForCode(std::uint16_t code) const
{
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].code == code)
            return static_cast<int>(i);
    }
    return -1;
}

Result<Font> parseFont(ByteReader& in, int fontVersion)
{
    if (fontVersion < 1 || fontVersion > 3)
        return makeError(ErrorCode::Unsupported, "font version");
    Font font;
    font.emSize = fontVersion == 3 ? 20480 : 1024;
    const char* tag = fontVersion == 1   ? "DefineFont"
                      : fontVersion == 2 ? "DefineFont2"
                                         : "DefineFont3";
    auto status = fontVersion == 1 ? readDefineFont(in, font) : readDefineFont2(in, font);
    if (!status)
        return inContext(tag, status.error());
    return font;
}

} // namespace swf
