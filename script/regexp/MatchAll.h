#pragma once

// Every match of a regular expression through a subject, as String.match and a global
// String.replace walk it: each search starts where the last match ended, one further
// after an empty match, so the walk always ends.
#include "script/regexp/CompiledRegExp.h"

#include <string_view>
#include <vector>

namespace script::regexp {

struct MatchList {
    // Matched when the walk ended normally (with or without matches), LimitExceeded
    // when one search ran out of its budget; `matches` then holds those before it.
    MatchStatus status = MatchStatus::Matched;
    std::vector<Match> matches = {};
};

MatchList matchAll(const CompiledRegExp& regexp, std::u16string_view subject);

// Where the search after `match` starts.
std::size_t nextSearchStart(const Match& match);

} // namespace script::regexp
