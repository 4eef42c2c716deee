#include "ErrorContext.h"
#include "Font.h"

#include <algorithm>
#include <string>

namespace swf {

namespace {

// DefineFontInfo's flags byte (the top two bits are reserved).
enum : std::uint8_t {
    kSmallText = 0x20,
    kShiftJis = 0x10,
    kAnsi = 0x08,
    kItalic = 0x04,
    kBold = 0x02,
    kWideCodes = 0x01,
};

} // namespace

Status applyFontInfo(ByteReader& in, int infoVersion, Font& font)
{
    const char* tag = infoVersion == 2 ? "DefineFontInfo2" : "DefineFontInfo";
    if (infoVersion < 1 || infoVersion > 2)
        return makeError(ErrorCode::Unsupported, "font info version");
    const auto name = in.take(in.u8());
    const std::uint8_t flags = in.u8();
    const std::uint8_t language = infoVersion == 2 ? in.u8() : 0;
    if (!in.ok())
        return makeError(ErrorCode::Truncated, std::string(tag) + ": header");
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    font.smallText = flags & kSmallText;
    font.italic = flags & kItalic;
    font.bold = flags & kBold;
    // DefineFontInfo2's codes are always 16-bit.
    font.wideCodes = (flags & kWideCodes) || infoVersion == 2;
    if (infoVersion == 2)
        font.language = language;
    // Leniency: a code table shorter than the font names the glyphs it reaches; the
    // others keep the codes they had.
    const std::size_t codeBytes = font.wideCodes ? 2 : 1;
    const std::size_t codes = std::min(font.glyphs.size(), in.remaining() / codeBytes);
    for (std::size_t i = 0; i < codes; ++i)
        font.glyphs[i].code = font.wideCodes ? in.u16() : in.u8();
    in.skip(in.remaining());
    return Ok{};
}

} // namespace swf
