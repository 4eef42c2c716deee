#pragma once

// String.replace with a replacement string: its $ patterns, and the replacing of one
// match or of all of them.
#include "script/regexp/CompiledRegExp.h"

#include <limits>
#include <string>
#include <string_view>

namespace script::regexp {

// Appends the replacement text for `match` in `subject`: $$ is $, $& the match, $`
// what precedes it, $' what follows it, $1 to $99 a group (empty when the group is
// not set). Two digits name a group when there are that many; otherwise one does.
// The reference reads $0N as group N and then copies the N itself ($02 gives the
// second group followed by "2"). Any other $ stands for itself; there is no $<name>.
// False, with `out` cut short, when it might grow past `limit` code units.
bool appendExpansion(std::u16string& out, std::u16string_view replacement,
                     std::u16string_view subject, const Match& match,
                     std::size_t limit = std::numeric_limits<std::size_t>::max());

struct ReplaceResult {
    // LimitExceeded when a search ran out of its budget; `text` is then incomplete.
    MatchStatus status = MatchStatus::Matched;
    std::u16string text = {};
};

// `subject` with its first match (from offset 0), or with every match when `global`,
// replaced by the expansion of `replacement`.
ReplaceResult replaceMatches(const CompiledRegExp& regexp, std::u16string_view subject,
                             std::u16string_view replacement, bool global);

} // namespace script::regexp
