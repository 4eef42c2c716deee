// libFuzzer target: a regular expression and a subject from the bytes (the first byte
// the flags, the second the pattern's length in code units, then UTF-16 code units),
// compiled and matched the ways the String and RegExp classes match. Any crash, hang,
// sanitizer report, or a match outside the subject is a finding; refused patterns and
// searches stopped by their budget are not.
#include "script/regexp/CompiledRegExp.h"
#include "script/regexp/MatchAll.h"
#include "script/regexp/Replacement.h"
#include "script/regexp/Split.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace script::regexp;

void checkMatch(const Match& match, std::size_t captureCount, std::size_t subjectSize)
{
    if (match.groups.size() != captureCount + 1 || !match.groups[0])
        __builtin_trap();
    for (const auto& group : match.groups)
        if (group && (group->begin > group->end || group->end > subjectSize))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    RegExpFlags flags;
    flags.global = data[0] & 1;
    flags.ignoreCase = data[0] & 2;
    flags.multiline = data[0] & 4;
    flags.dotAll = data[0] & 8;
    flags.extended = data[0] & 16;
    std::u16string units;
    for (std::size_t i = 2; i + 1 < size; i += 2)
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const std::size_t patternLength = std::min<std::size_t>(data[1], units.size());
    const std::u16string_view pattern = std::u16string_view(units).substr(0, patternLength);
    const std::u16string_view subject = std::u16string_view(units).substr(patternLength);

    auto compiled = CompiledRegExp::compile(pattern, flags);
    if (!compiled)
        return 0;
    const CompiledRegExp& re = *compiled;
    for (std::size_t start : {std::size_t(0), subject.size() / 2, subject.size()}) {
        const ExecResult found = re.exec(subject, start);
        if (found.matched()) {
            checkMatch(found.match, re.captureCount(), subject.size());
            if (found.match.whole().begin < start)
                __builtin_trap();
        }
    }
    const MatchList all = matchAll(re, subject);
    for (const Match& match : all.matches)
        checkMatch(match, re.captureCount(), subject.size());
    const SplitResult pieces =
        splitByRegExp(re, subject, data[0] >> 5 ? data[0] >> 5 : 0xFFFFFFFFu);
    for (const auto& piece : pieces.pieces)
        if (piece && (piece->begin > piece->end || piece->end > subject.size()))
            __builtin_trap();
    (void)replaceMatches(re, subject, u"<$1$&$`$'$02$$>", flags.global);
    return 0;
}
