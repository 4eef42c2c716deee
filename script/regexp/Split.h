#pragma once

// String.split with a regular expression separator, as the reference splits.
#include "script/regexp/CompiledRegExp.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace script::regexp {

struct SplitResult {
    // LimitExceeded when a search ran out of its budget; `pieces` is then incomplete.
    MatchStatus status = MatchStatus::Matched;
    // The pieces as spans of the subject; an empty entry is a group that took no part
    // in its match (undefined to the script).
    std::vector<std::optional<Span>> pieces = {};
};

// Splits `subject` at each match, putting each match's groups after the piece before
// it, with at most `limit` pieces (the caller has made ToUint32 of the argument, with
// 2^32 - 1 for undefined). As the reference splits:
//   - an empty source splits between every code unit, as the empty string does;
//   - otherwise an empty match separates nothing (/x*/ leaves "abc" whole);
//   - an empty subject gives no pieces if the expression matches it, else itself;
//   - the limit is checked after each piece and each group, but reaching it among a
//     match's groups only stops that match's groups: the next piece still comes.
SplitResult splitByRegExp(const CompiledRegExp& regexp, std::u16string_view subject,
                          std::uint32_t limit);

} // namespace script::regexp
