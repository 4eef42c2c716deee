#include "script/regexp/Split.h"

namespace script::regexp {

SplitResult splitByRegExp(const CompiledRegExp& regexp, std::u16string_view subject,
                          std::uint32_t limit)
{
    SplitResult result;
    if (limit == 0)
        return result;
    if (regexp.source().empty()) {
        for (std::size_t i = 0; i < subject.size() && result.pieces.size() < limit; ++i)
            result.pieces.push_back(Span{i, i + 1});
        return result;
    }
    if (subject.empty()) {
        const ExecResult found = regexp.exec(subject, 0);
        if (found.status == MatchStatus::LimitExceeded)
            result.status = MatchStatus::LimitExceeded;
        else if (!found.matched())
            result.pieces.push_back(Span{0, 0});
        return result;
    }
    std::size_t pieceStart = 0;
    std::size_t searchFrom = 0;
    // Every search moves searchFrom on by at least one code unit.
    while (searchFrom < subject.size()) {
        ExecResult found = regexp.exec(subject, searchFrom);
        if (found.status == MatchStatus::LimitExceeded) {
            result.status = MatchStatus::LimitExceeded;
            return result;
        }
        if (!found.matched())
            break;
        const Span whole = found.match.whole();
        if (whole.length() == 0) {
            searchFrom = whole.begin + 1;
            continue;
        }
        result.pieces.push_back(Span{pieceStart, whole.begin});
        if (result.pieces.size() >= limit)
            return result;
        for (std::size_t g = 1; g < found.match.groups.size(); ++g) {
            result.pieces.push_back(found.match.groups[g]);
            if (result.pieces.size() >= limit)
                break;
        }
        pieceStart = whole.end;
        searchFrom = whole.end;
    }
    if (result.pieces.size() < limit)
        result.pieces.push_back(Span{pieceStart, subject.size()});
    return result;
}

} // namespace script::regexp
