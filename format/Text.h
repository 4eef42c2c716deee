#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct TextGlyph {
    std::uint32_t index = 0; // into the font's glyphs
    std::int32_t advance = 0;
};

// One run of DefineText, with the state carried over from earlier runs resolved: every
// run names its font, colour, position and height.
struct TextRun {
    CharacterId fontId = 0;
    Rgba color;
    std::int32_t x = 0, y = 0; // the first glyph's origin, twips
    std::uint16_t height = 0;  // twips
    std::vector<TextGlyph> glyphs;
};

// DefineText and DefineText2.
struct StaticText {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;
};

// Reads the body after the character id; version 1 (RGB) or 2 (RGBA).
Result<StaticText> parseStaticText(ByteReader& in, int textVersion);

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

// DefineEditText.
// CSMTextSettings: how the authoring tool asked a text to be anti-aliased.
struct TextRendering {
    bool advanced = false;    // the "advanced" anti-aliasing rather than "normal"
    std::uint8_t gridFit = 0; // 0 none, 1 pixel, 2 subpixel
    float thickness = 0;
    float sharpness = 0;
};

struct EditText {
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false; // draw with the font's embedded glyphs
    std::optional<CharacterId> fontId;
    std::string fontClass;
    std::uint16_t height = 240; // twips
    Rgba color{0, 0, 0, 255};
    std::optional<std::uint16_t> maxLength;
    TextAlign align = TextAlign::Left;
    std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    std::int16_t leading = 0;
    std::string variableName;
    std::string initialText;                // as stored: UTF-8 from version 6 on, HTML when `html`
    std::optional<TextRendering> rendering; // from a CSMTextSettings tag
};

Result<EditText> parseEditText(ByteReader& in);

} // namespace swf
