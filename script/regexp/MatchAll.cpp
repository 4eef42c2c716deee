#include "script/regexp/MatchAll.h"

namespace script::regexp {

std::size_t nextSearchStart(const Match& match)
{
    const Span& whole = match.whole();
    return whole.end == whole.begin ? whole.end + 1 : whole.end;
}

MatchList matchAll(const CompiledRegExp& regexp, std::u16string_view subject)
{
    MatchList list;
    std::size_t start = 0;
    // Each match moves `start` on by at least one code unit, so at most
    // subject.size() + 1 searches.
    while (start <= subject.size()) {
        ExecResult found = regexp.exec(subject, start);
        if (found.status == MatchStatus::LimitExceeded)
            list.status = MatchStatus::LimitExceeded;
        if (!found.matched())
            break;
        start = nextSearchStart(found.match);
        list.matches.push_back(std::move(found.match));
    }
    return list;
}

} // namespace script::regexp
