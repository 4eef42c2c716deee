#pragma once

// The flags of an ActionScript 3 regular expression, as its constructor's second
// argument spells them.
#include <string>
#include <string_view>

namespace script::regexp {

struct RegExpFlags {
    // Callers keep lastIndex and advance it; the engine only matches from a position.
    bool global = false;
    // Caseless for the ASCII letters only, as the reference documents.
    bool ignoreCase = false;
    // ^ and $ also at line feeds (only: not at \r, U+2028 or U+2029).
    bool multiline = false;
    // . also matches the line feed, the one character it otherwise skips (the s flag).
    bool dotAll = false;
    // White space and # comments outside classes are ignored (the x flag).
    bool extended = false;
};

// The flags in `text`: each of g, i, m, s, x sets its flag, repeats count once, and
// every other character (upper case letters too) is ignored, as the reference does.
RegExpFlags parseRegExpFlags(std::u16string_view text);

// The flags as RegExp.toString() lists them after the source: in the order g i m s x.
std::u16string regExpFlagsText(const RegExpFlags& flags);

} // namespace script::regexp
