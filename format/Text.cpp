#include "Text.h"

#include "BitReader.h"
#include "ErrorContext.h"
#include "Limits.h"
#include "Records.h"

#include <algorithm>
#include <string>

namespace swf {

namespace {

// TEXTRECORD's first byte.
enum : std::uint8_t {
    kTextRecordType = 0x80,
    kHasFont = 0x08,
    kHasColor = 0x04,
    kHasYOffset = 0x02,
    kHasXOffset = 0x01,
};

// A glyph field is at most 32 bits wide.
constexpr unsigned kMaxFieldBits = 32;

// Reads one record after its first byte into `run`, which holds the state the records
// before it left: font, colour and height carry over, and so does the pen, x having
// moved on by the advances of the glyphs before.
Status readRecord(ByteReader& in, std::uint8_t flags, int textVersion, unsigned glyphBits,
                  unsigned advanceBits, TextRun& run)
{
    if (flags & kHasFont)
        run.fontId = in.u16();
    if (flags & kHasColor)
        run.color = textVersion >= 2 ? readRgba(in) : readRgb(in);
    if (flags & kHasXOffset)
        run.x = in.s16();
    if (flags & kHasYOffset)
        run.y = in.s16();
    if (flags & kHasFont)
        run.height = in.u16();
    const std::size_t count = in.u8();
    if (!in.ok())
        return makeError(ErrorCode::Truncated);
    // Every entry takes (glyphBits + advanceBits) bits; refuse a count the data
    // cannot hold before reserving for it.
    if (count * (glyphBits + advanceBits) > in.remaining() * 8)
        return makeError(ErrorCode::Truncated, "glyph count");
    run.glyphs.clear();
    run.glyphs.reserve(count);
    BitReader bits(in);
    for (std::size_t i = 0; i < count; ++i) {
        TextGlyph glyph;
        glyph.index = bits.ub(glyphBits);
        glyph.advance = bits.sb(advanceBits);
        run.glyphs.push_back(glyph);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "glyphs");
    return Ok{};
}

} // namespace

Result<StaticText> parseStaticText(ByteReader& in, int textVersion)
{
    if (textVersion < 1 || textVersion > 2)
        return makeError(ErrorCode::Unsupported, "text version");
    const std::string tag = textVersion == 1 ? "DefineText" : "DefineText2";
    StaticText text;
    text.bounds = readRect(in);
    text.matrix = readMatrix(in);
    const unsigned glyphBits = in.u8();
    const unsigned advanceBits = in.u8();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, tag + ": header");
    if (glyphBits > kMaxFieldBits || advanceBits > kMaxFieldBits)
        return makeError(ErrorCode::BadValue, tag + ": glyph bits");

    TextRun state;
    for (std::size_t index = 1;; ++index) {
        const std::uint8_t flags = in.u8();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, tag + ": end of records");
        // The records end at a zero byte. Leniency: any byte whose record type bit is
        // clear ends them too, since it cannot start a record.
        if (!(flags & kTextRecordType))
            break;
        if (auto record = readRecord(in, flags, textVersion, glyphBits, advanceBits, state);
            !record)
            return inContext(tag + ": text record " + std::to_string(index), record.error());
        text.runs.push_back(state);
        std::int64_t x = state.x;
        for (const TextGlyph& glyph : state.glyphs)
            x += glyph.advance;
        // Leniency: advances that carry the pen past the coordinate range leave it at
        // the range's edge.
        state.x = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(x, -limits::kMaxCoordinate, limits::kMaxCoordinate));
    }
    return text;
}

} // namespace swf
