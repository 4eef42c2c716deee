#pragma once

// ActionScript 3 regular expression source to a PCRE2 pattern with the same meaning.
// The two languages differ in many small ways (see the translator's cases); the
// translation spells every literal as a code unit and every class as ranges, so PCRE2
// reads nothing of its own syntax into the source. Capturing groups become named groups
// g1, g2, ... in source order; a repeated group holding captures is wrapped in a
// hidden group h1, h2, ... whose span tells which captures its last iteration set, and
// an optional repeat's iteration ends in a callout (?C{n}) naming that hidden group, so
// the matcher can refuse an iteration that matched empty.
#include "format/Result.h"
#include "script/regexp/RegExpFlags.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace script::regexp {

struct GroupName {
    std::u16string name;
    std::size_t group = 0;
    bool operator==(const GroupName&) const = default;
};

// A repeated group with captures inside: after a match, captures in it that start
// before its last iteration are stale (ECMAScript clears them on every iteration).
struct RepeatScope {
    std::size_t hidden = 0;     // the h group that spans the last iteration
    std::size_t firstGroup = 0; // the source's groups inside, first to last
    std::size_t lastGroup = 0;
    std::size_t firstHidden = 0; // hidden groups of repeats nested inside
    std::size_t lastHidden = 0;  // (firstHidden > lastHidden when none)
};

struct TranslatedPattern {
    std::u16string pcre = {};
    std::size_t captureCount = 0;
    std::size_t hiddenCount = 0;
    std::vector<GroupName> names = {};
    // Innermost first: a scope comes after every scope nested in it.
    std::vector<RepeatScope> repeats = {};
};

// The translation, or why the source is no pattern: BadValue for a syntax error,
// TooLarge and TooDeep for sources past the caps in script/Limits.h.
swf::Result<TranslatedPattern> translatePattern(std::u16string_view source,
                                                const RegExpFlags& flags);

} // namespace script::regexp
