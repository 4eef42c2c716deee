#include "script/regexp/Replacement.h"

#include "script/regexp/MatchAll.h"

#include <algorithm>

namespace script::regexp {
namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

void appendGroup(std::u16string& out, std::u16string_view subject, const Match& match,
                 std::size_t group)
{
    if (const auto& span = match.groups[group])
        out.append(subject.substr(span->begin, span->length()));
}

// What a $ pattern may add at most: one of the subject's pieces.
bool roomFor(const std::u16string& out, std::size_t length, std::size_t limit)
{
    return length <= limit && out.size() <= limit - length;
}

} // namespace

bool appendExpansion(std::u16string& out, std::u16string_view replacement,
                     std::u16string_view subject, const Match& match, std::size_t limit)
{
    const std::size_t groups = match.groups.size() - 1;
    const Span& whole = match.whole();
    std::size_t i = 0;
    while (i < replacement.size()) {
        // Every step adds one unit or one piece of the subject at most.
        if (!roomFor(out, std::max<std::size_t>(subject.size(), 1), limit))
            return false;
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out += c;
            ++i;
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out += u'$';
            i += 2;
        } else if (next == u'&') {
            out.append(subject.substr(whole.begin, whole.length()));
            i += 2;
        } else if (next == u'`') {
            out.append(subject.substr(0, whole.begin));
            i += 2;
        } else if (next == u'\'') {
            out.append(subject.substr(whole.end));
            i += 2;
        } else if (isDigit(next)) {
            const std::size_t first = static_cast<std::size_t>(next - u'0');
            const bool second = i + 2 < replacement.size() && isDigit(replacement[i + 2]);
            const std::size_t two =
                second ? first * 10 + static_cast<std::size_t>(replacement[i + 2] - u'0') : 0;
            if (first == 0) {
                if (second && two >= 1 && two <= groups) {
                    appendGroup(out, subject, match, two);
                    i += 2;
                } else {
                    out += u'$';
                    ++i;
                }
            } else if (second && two <= groups) {
                appendGroup(out, subject, match, two);
                i += 3;
            } else if (first <= groups) {
                appendGroup(out, subject, match, first);
                i += 2;
            } else {
                out += u'$';
                ++i;
            }
        } else {
            out += u'$';
            ++i;
        }
    }
    return true;
}

ReplaceResult replaceMatches(const CompiledRegExp& regexp, std::u16string_view subject,
                             std::u16string_view replacement, bool global)
{
    ReplaceResult result;
    std::vector<Match> matches;
    if (global) {
        MatchList list = matchAll(regexp, subject);
        result.status = list.status;
        matches = std::move(list.matches);
    } else {
        ExecResult found = regexp.exec(subject, 0);
        if (found.status == MatchStatus::LimitExceeded)
            result.status = MatchStatus::LimitExceeded;
        if (found.matched())
            matches.push_back(std::move(found.match));
    }
    std::size_t copied = 0;
    for (const Match& match : matches) {
        const Span& whole = match.whole();
        result.text.append(subject.substr(copied, whole.begin - copied));
        appendExpansion(result.text, replacement, subject, match);
        copied = whole.end;
    }
    result.text.append(subject.substr(copied));
    return result;
}

} // namespace script::regexp
