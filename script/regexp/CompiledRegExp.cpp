#include "script/regexp/CompiledRegExp.h"

#include "script/Limits.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>
#include <string>

namespace script::regexp {

struct CompiledRegExp::Program {
    std::u16string source;
    RegExpFlags flags;
    TranslatedPattern pattern;
    // PCRE2's group numbers for the source's groups (index 1 on) and the hidden ones.
    std::vector<std::uint32_t> groupNumbers;
    std::vector<std::uint32_t> hiddenNumbers;
    // For repeats from one, the group marking where each repeat starts.
    std::vector<std::uint32_t> startNumbers;
    std::uint32_t pcreGroupCount = 0;
    pcre2_code* code = nullptr;
    pcre2_match_context* matchContext = nullptr;

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program()
    {
        pcre2_match_context_free(matchContext);
        pcre2_code_free(code);
    }
};

namespace {

PCRE2_SPTR pcreText(std::u16string_view text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

std::string pcreMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    std::string text;
    for (int i = 0; i < length; ++i)
        text += buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
    return text;
}

// The JIT matcher's stack, one per thread, grown on demand by PCRE2 up to the cap.
pcre2_jit_stack* threadJitStack(void*)
{
    struct Holder {
        pcre2_jit_stack* stack =
            pcre2_jit_stack_create(32 * 1024, limits::kRegExpJitStackBytes, nullptr);
        ~Holder() { pcre2_jit_stack_free(stack); }
    };
    thread_local Holder holder;
    return holder.stack;
}

// Fails an iteration that matched empty after the repeat had its minimum. The
// callout's string is the number of the hidden group spanning the iteration, with a
// + for a repeat from one, whose first iteration may be empty.
int emptyIterationCallout(pcre2_callout_block* block, void* data)
{
    const auto& program = *static_cast<const CompiledRegExp::Program*>(data);
    std::size_t hidden = 0;
    bool fromOne = false;
    for (PCRE2_SIZE i = 0; i < block->callout_string_length && i < 8; ++i) {
        const PCRE2_UCHAR c = block->callout_string[i];
        if (c == u'+')
            fromOne = true;
        else
            hidden = hidden * 10 + static_cast<std::size_t>(c - u'0');
    }
    if (hidden == 0 || hidden >= program.hiddenNumbers.size())
        return 0;
    const std::uint32_t n = program.hiddenNumbers[hidden];
    if (n == 0 || n >= block->capture_top)
        return 0;
    const PCRE2_SIZE* ov = block->offset_vector;
    if (ov[2 * n] != ov[2 * n + 1])
        return 0;
    if (fromOne) {
        const std::uint32_t start = program.startNumbers[hidden];
        if (start == 0 || start >= block->capture_top || ov[2 * start] == ov[2 * n])
            return 0;
    }
    return 1;
}

std::uint32_t groupNumber(const pcre2_code* code, char prefix, std::size_t n)
{
    std::u16string name(1, static_cast<char16_t>(prefix));
    for (char c : std::to_string(n))
        name += static_cast<char16_t>(c);
    const int number = pcre2_substring_number_from_name(code, pcreText(name));
    return number > 0 ? static_cast<std::uint32_t>(number) : 0;
}

} // namespace

swf::Result<CompiledRegExp> CompiledRegExp::compile(std::u16string_view source,
                                                    const RegExpFlags& flags)
{
    auto translated = translatePattern(source, flags);
    if (!translated)
        return translated.error();
    auto program = std::make_shared<Program>();
    program->source = std::u16string(source);
    program->flags = flags;
    program->pattern = std::move(translated).value();

    // Unset groups match empty in back references, as ECMAScript has it.
    std::uint32_t options = PCRE2_MATCH_UNSET_BACKREF;
    if (flags.ignoreCase)
        options |= PCRE2_CASELESS;
    pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
    if (!compileContext)
        return swf::makeError(swf::ErrorCode::TooLarge, "regular expression: out of memory");
    pcre2_set_max_pattern_length(compileContext, limits::kMaxRegExpTranslatedLength + 1);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const std::u16string& pcre = program->pattern.pcre;
    program->code = pcre2_compile(pcreText(pcre), pcre.size(), options, &errorCode, &errorOffset,
                                  compileContext);
    pcre2_compile_context_free(compileContext);
    if (!program->code)
        return swf::makeError(swf::ErrorCode::BadValue,
                              "regular expression: " + pcreMessage(errorCode));
    // Without a JIT for this machine the interpreter matches instead.
    (void)pcre2_jit_compile(program->code, PCRE2_JIT_COMPLETE);

    pcre2_pattern_info(program->code, PCRE2_INFO_CAPTURECOUNT, &program->pcreGroupCount);
    program->groupNumbers.assign(program->pattern.captureCount + 1, 0);
    for (std::size_t g = 1; g <= program->pattern.captureCount; ++g)
        program->groupNumbers[g] = groupNumber(program->code, 'g', g);
    program->hiddenNumbers.assign(program->pattern.hiddenCount + 1, 0);
    for (std::size_t h = 1; h <= program->pattern.hiddenCount; ++h)
        program->hiddenNumbers[h] = groupNumber(program->code, 'h', h);
    program->startNumbers.assign(program->pattern.hiddenCount + 1, 0);
    for (std::size_t h = 1; h <= program->pattern.hiddenCount; ++h)
        program->startNumbers[h] = groupNumber(program->code, 's', h);

    program->matchContext = pcre2_match_context_create(nullptr);
    if (!program->matchContext)
        return swf::makeError(swf::ErrorCode::TooLarge, "regular expression: out of memory");
    pcre2_set_match_limit(program->matchContext, limits::kRegExpMatchLimit);
    pcre2_set_heap_limit(program->matchContext, limits::kRegExpHeapLimitKiB);
    pcre2_jit_stack_assign(program->matchContext, threadJitStack, nullptr);
    pcre2_set_callout(program->matchContext, emptyIterationCallout, program.get());
    return CompiledRegExp(std::move(program));
}

const std::u16string& CompiledRegExp::source() const
{
    return m_program->source;
}

const RegExpFlags& CompiledRegExp::flags() const
{
    return m_program->flags;
}

std::size_t CompiledRegExp::captureCount() const
{
    return m_program->pattern.captureCount;
}

const std::vector<GroupName>& CompiledRegExp::groupNames() const
{
    return m_program->pattern.names;
}

ExecResult CompiledRegExp::exec(std::u16string_view subject, std::size_t start) const
{
    ExecResult result;
    if (start > subject.size())
        return result;
    const Program& program = *m_program;
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(program.code, nullptr);
    if (!data) {
        result.status = MatchStatus::LimitExceeded;
        return result;
    }
    const int rc = pcre2_match(program.code, pcreText(subject), subject.size(), start, 0, data,
                               program.matchContext);
    if (rc < 0) {
        pcre2_match_data_free(data);
        result.status =
            rc == PCRE2_ERROR_NOMATCH ? MatchStatus::NoMatch : MatchStatus::LimitExceeded;
        return result;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    const std::uint32_t pairs = pcre2_get_ovector_count(data);
    auto span = [&](std::uint32_t n) -> std::optional<Span> {
        if (n >= pairs || ovector[2 * n] == PCRE2_UNSET)
            return std::nullopt;
        return Span{ovector[2 * n], ovector[2 * n + 1]};
    };
    result.status = MatchStatus::Matched;
    result.match.groups.resize(program.pattern.captureCount + 1);
    result.match.groups[0] = span(0);
    for (std::size_t g = 1; g <= program.pattern.captureCount; ++g)
        result.match.groups[g] = span(program.groupNumbers[g]);
    std::vector<std::optional<Span>> hidden(program.pattern.hiddenCount + 1);
    for (std::size_t h = 1; h <= program.pattern.hiddenCount; ++h)
        hidden[h] = span(program.hiddenNumbers[h]);
    pcre2_match_data_free(data);

    // ECMAScript clears a repeated group's captures at each iteration; PCRE2 keeps
    // what earlier iterations set. What starts before the last iteration is stale.
    // Outer repeats first, so a stale inner repeat clears its captures too.
    for (auto scope = program.pattern.repeats.rbegin(); scope != program.pattern.repeats.rend();
         ++scope) {
        const std::optional<Span>& last = hidden[scope->hidden];
        auto stale = [&](const std::optional<Span>& s) {
            return s && (!last || s->begin < last->begin);
        };
        for (std::size_t g = scope->firstGroup; g <= scope->lastGroup; ++g)
            if (stale(result.match.groups[g]))
                result.match.groups[g].reset();
        for (std::size_t h = scope->firstHidden; h <= scope->lastHidden; ++h)
            if (stale(hidden[h]))
                hidden[h].reset();
    }
    return result;
}

} // namespace script::regexp
