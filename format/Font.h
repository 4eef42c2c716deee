#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Shape.h"
#include "Style.h"

#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct Glyph {
    Path outline;           // in the font's em units (see Font::emSize)
    std::uint16_t code = 0; // the character it draws (UCS-2, or the font's code page)
    std::int16_t advance = 0;
    Rect bounds;
};

struct KerningPair {
    std::uint16_t left = 0, right = 0;
    std::int16_t adjustment = 0;
};

// DefineFont, DefineFont2 and DefineFont3, with what DefineFontInfo and
// DefineFontInfo2 add later.
struct Font {
    std::string name;
    bool bold = false;
    bool italic = false;
    bool smallText = false;
    bool wideCodes = false;
    std::uint8_t language = 0;
    // Outlines are in units of 1/emSize of the em: 1024 for DefineFont and
    // DefineFont2, 20480 for DefineFont3.
    double emSize = 1024;
    std::vector<Glyph> glyphs;
    bool hasLayout = false;
    std::int16_t ascent = 0, descent = 0, leading = 0;
    std::vector<KerningPair> kerning;

    // The glyph index drawing `code`, or -1.
    int glyphForCode(std::uint16_t code) const;
};

// Reads the body after the font id; version 1, 2 or 3.
Result<Font> parseFont(ByteReader& in, int fontVersion);
// DefineFontInfo (1) and DefineFontInfo2 (2): names and codes for a DefineFont.
// Reads the body after the font id.
Status applyFontInfo(ByteReader& in, int infoVersion, Font& font);

} // namespace swf
