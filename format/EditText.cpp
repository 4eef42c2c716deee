#include "ErrorContext.h"
#include "Records.h"
#include "Text.h"

namespace swf {

namespace {

// DefineEditText's two flag bytes, first byte in the high bits.
enum : std::uint16_t {
    kHasText = 0x8000,
    kWordWrap = 0x4000,
    kMultiline = 0x2000,
    kPassword = 0x1000,
    kReadOnly = 0x0800,
    kHasTextColor = 0x0400,
    kHasMaxLength = 0x0200,
    kHasFont = 0x0100,
    kHasFontClass = 0x0080,
    kAutoSize = 0x0040,
    kHasLayout = 0x0020,
    kNoSelect = 0x0010,
    kBorder = 0x0008,
    kWasStatic = 0x0004,
    kHtml = 0x0002,
    kUseOutlines = 0x0001,
};

} // namespace

Result<EditText> parseEditText(ByteReader& in)
{
    EditText text;
    text.bounds = readRect(in);
    const std::uint8_t high = in.u8();
    const std::uint16_t flags = static_cast<std::uint16_t>((high << 8) | in.u8());
    text.wordWrap = flags & kWordWrap;
    text.multiline = flags & kMultiline;
    text.password = flags & kPassword;
    text.readOnly = flags & kReadOnly;
    text.autoSize = flags & kAutoSize;
    text.noSelect = flags & kNoSelect;
    text.border = flags & kBorder;
    text.wasStatic = flags & kWasStatic;
    text.html = flags & kHtml;
    text.useOutlines = flags & kUseOutlines;
    if (flags & kHasFont)
        text.fontId = in.u16();
    if (flags & kHasFontClass)
        text.fontClass = in.cstring();
    if (flags & (kHasFont | kHasFontClass))
        text.height = in.u16();
    if (flags & kHasTextColor)
        text.color = readRgba(in);
    if (flags & kHasMaxLength)
        text.maxLength = in.u16();
    if (flags & kHasLayout) {
        const std::uint8_t align = in.u8();
        // Leniency: an alignment the format does not define aligns left.
        text.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        text.leftMargin = in.u16();
        text.rightMargin = in.u16();
        text.indent = in.u16();
        text.leading = in.s16();
    }
    text.variableName = in.cstring();
    if (flags & kHasText)
        text.initialText = in.cstring();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "DefineEditText");
    return text;
}

} // namespace swf
