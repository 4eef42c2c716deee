#pragma once

// One ActionScript 3 regular expression, compiled once and matched many times. The
// source is translated (PatternTranslator) and compiled by PCRE2's 16-bit library in
// code unit mode, so strings with lone surrogates match like any others, and with its
// JIT where the machine has one. Copies share the compiled program; matching changes
// nothing, so one object may serve several callers.
#include "format/Result.h"
#include "script/regexp/Match.h"
#include "script/regexp/PatternTranslator.h"
#include "script/regexp/RegExpFlags.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace script::regexp {

enum class MatchStatus {
    Matched,
    NoMatch,
    // The attempt ran past the step or memory budget (script/Limits.h): a pattern that
    // backtracks catastrophically. Callers report it as an error rather than as
    // "no match".
    LimitExceeded,
};

struct ExecResult {
    MatchStatus status = MatchStatus::NoMatch;
    Match match = {};
    bool matched() const { return status == MatchStatus::Matched; }
};

class CompiledRegExp {
public:
    // The source as the script wrote it (between the slashes), and the flags. A
    // source that is no pattern gives BadValue with PCRE2's or the translator's words
    // as the detail; TooLarge and TooDeep for sources past the caps.
    static swf::Result<CompiledRegExp> compile(std::u16string_view source,
                                               const RegExpFlags& flags);

    const std::u16string& source() const;
    const RegExpFlags& flags() const;
    // Capturing groups in the source; Match::groups has one more entry (the whole).
    std::size_t captureCount() const;
    // (?P<name>...) groups, in source order, with their numbers.
    const std::vector<GroupName>& groupNames() const;

    // The first match starting at or after `start` (a code unit offset; past the end
    // there is none). Start-dependent anchors follow ECMAScript: ^ without the m flag
    // matches only at offset 0, whatever `start` is.
    ExecResult exec(std::u16string_view subject, std::size_t start) const;

    struct Program;

private:
    explicit CompiledRegExp(std::shared_ptr<const Program> program) : m_program(std::move(program))
    {}
    std::shared_ptr<const Program> m_program;
};

} // namespace script::regexp
