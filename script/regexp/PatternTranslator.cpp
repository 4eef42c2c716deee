#include "script/regexp/PatternTranslator.h"

#include "script/Limits.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace script::regexp {
namespace {

using Range = std::pair<char16_t, char16_t>;
using Ranges = std::vector<Range>;

// \d, \w and \s as ranges. \s is the reference's set (space, tab, line feed, form feed,
// carriage return), narrower than ECMAScript's, which adds the vertical tab, no-break
// space and the other Unicode spaces and line terminators.
const Ranges& digitRanges()
{
    static const Ranges ranges{{u'0', u'9'}};
    return ranges;
}

const Ranges& wordRanges()
{
    static const Ranges ranges{{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};
    return ranges;
}

const Ranges& spaceRanges()
{
    static const Ranges ranges{{0x09, 0x0A}, {0x0C, 0x0D}, {0x20, 0x20}};
    return ranges;
}

// Sorted, overlapping and touching ranges joined.
Ranges normalized(Ranges ranges)
{
    std::sort(ranges.begin(), ranges.end());
    Ranges joined;
    for (const Range& r : ranges) {
        if (!joined.empty() &&
            static_cast<unsigned>(r.first) <= static_cast<unsigned>(joined.back().second) + 1)
            joined.back().second = std::max(joined.back().second, r.second);
        else
            joined.push_back(r);
    }
    return joined;
}

Ranges complement(const Ranges& sorted)
{
    Ranges out;
    unsigned next = 0;
    for (const Range& r : sorted) {
        if (r.first > next)
            out.emplace_back(static_cast<char16_t>(next), static_cast<char16_t>(r.first - 1));
        next = static_cast<unsigned>(r.second) + 1;
    }
    if (next <= 0xFFFF)
        out.emplace_back(static_cast<char16_t>(next), char16_t(0xFFFF));
    return out;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isOctal(char16_t c)
{
    return c >= u'0' && c <= u'7';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(char16_t c)
{
    return isAsciiLetter(c) || isDigit(c);
}

int hexValue(char16_t c)
{
    if (isDigit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool isNameStart(char16_t c)
{
    return isAsciiLetter(c) || c == u'_';
}

bool isNameChar(char16_t c)
{
    return isAsciiAlnum(c) || c == u'_';
}

// The white space PCRE2's extended mode skips, which the reference's x flag follows.
bool isExtendedSpace(char16_t c)
{
    return c == u' ' || (c >= 0x09 && c <= 0x0D);
}

void appendAscii(std::u16string& out, std::string_view text)
{
    for (char c : text)
        out += static_cast<char16_t>(c);
}

void appendNumber(std::u16string& out, std::size_t n)
{
    appendAscii(out, std::to_string(n));
}

// A code unit as PCRE2 reads it literally in and out of classes.
void appendCodeUnit(std::u16string& out, char16_t c)
{
    if (isAsciiAlnum(c)) {
        out += c;
        return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    appendAscii(out, "\\x{");
    for (int shift = 12; shift >= 0; shift -= 4)
        out += static_cast<char16_t>(kHex[(c >> shift) & 0xF]);
    out += u'}';
}

// A class escape or a single character: what one class atom denotes.
struct ClassAtom {
    std::optional<char16_t> single;
    Ranges set;
};

class Translator {
public:
    Translator(std::u16string_view source, const RegExpFlags& flags) : m_src(source), m_flags(flags)
    {}

    swf::Result<TranslatedPattern> run()
    {
        if (m_src.size() > limits::kMaxRegExpSourceLength)
            return swf::makeError(swf::ErrorCode::TooLarge, "regular expression: source too long");
        if (!prescan())
            return *m_error;
        if (!parseDisjunction(0))
            return *m_error;
        if (m_pos < m_src.size())
            return swf::makeError(swf::ErrorCode::BadValue, "regular expression: unmatched )");
        m_out.captureCount = m_nextGroup;
        m_out.hiddenCount = m_nextHidden;
        return std::move(m_out);
    }

private:
    bool fail(swf::ErrorCode code, std::string_view text)
    {
        if (!m_error)
            m_error = swf::makeError(code, "regular expression: " + std::string(text));
        return false;
    }

    bool atEnd() const { return m_pos >= m_src.size(); }
    char16_t peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_src.size() ? m_src[m_pos + ahead] : char16_t(0);
    }
    bool has(std::size_t ahead) const { return m_pos + ahead < m_src.size(); }

    // Skips white space and comments when the x flag is set: between any two tokens
    // outside classes.
    void skipExtended(std::size_t& pos) const
    {
        if (!m_flags.extended)
            return;
        while (pos < m_src.size()) {
            if (isExtendedSpace(m_src[pos])) {
                ++pos;
            } else if (m_src[pos] == u'#') {
                while (pos < m_src.size() && m_src[pos] != u'\n')
                    ++pos;
            } else {
                break;
            }
        }
    }
    void skipExtended() { skipExtended(m_pos); }

    // Counts the capturing groups and reads their names first: a back reference's
    // meaning depends on how many groups the whole source has (\10 is group ten only
    // when there are ten), and a named reference may come before its group.
    bool prescan()
    {
        std::size_t groups = 0;
        std::size_t pos = 0;
        while (true) {
            skipExtended(pos);
            if (pos >= m_src.size())
                break;
            const char16_t c = m_src[pos];
            if (c == u'\\') {
                pos += 2;
            } else if (c == u'[') {
                ++pos;
                if (pos < m_src.size() && m_src[pos] == u'^')
                    ++pos;
                while (pos < m_src.size() && m_src[pos] != u']')
                    pos += m_src[pos] == u'\\' ? 2 : 1;
                ++pos;
            } else if (c == u'(') {
                ++pos;
                if (pos >= m_src.size() || m_src[pos] != u'?') {
                    ++groups;
                } else if (pos + 2 < m_src.size() && m_src[pos + 1] == u'P' &&
                           m_src[pos + 2] == u'<') {
                    ++groups;
                    std::size_t end = pos + 3;
                    while (end < m_src.size() && isNameChar(m_src[end]))
                        ++end;
                    std::u16string name(m_src.substr(pos + 3, end - pos - 3));
                    if (!m_groupByName.emplace(name, groups).second)
                        return fail(swf::ErrorCode::BadValue, "two groups have the same name");
                }
            } else {
                ++pos;
            }
        }
        m_totalGroups = groups;
        return true;
    }

    bool parseDisjunction(std::size_t depth)
    {
        if (depth > limits::kMaxRegExpNesting)
            return fail(swf::ErrorCode::TooDeep, "groups nest too deep");
        while (true) {
            while (true) {
                skipExtended();
                if (atEnd() || peek() == u'|' || peek() == u')')
                    break;
                if (!parseTerm(depth))
                    return false;
                if (m_out.pcre.size() > limits::kMaxRegExpTranslatedLength)
                    return fail(swf::ErrorCode::TooLarge, "pattern too large");
            }
            if (atEnd() || peek() != u'|')
                return true;
            ++m_pos;
            m_out.pcre += u'|';
        }
    }

    // {n}, {n,} or {n,m} at `pos`: its bounds, or nothing when the brace is a literal.
    struct Bounds {
        std::uint64_t min = 0;
        std::optional<std::uint64_t> max;
        std::size_t end = 0;
    };
    std::optional<Bounds> braceQuantifier(std::size_t pos) const
    {
        if (pos >= m_src.size() || m_src[pos] != u'{')
            return std::nullopt;
        auto number = [&](std::size_t& at) -> std::optional<std::uint64_t> {
            const std::size_t start = at;
            std::uint64_t value = 0;
            while (at < m_src.size() && isDigit(m_src[at])) {
                value = std::min<std::uint64_t>(value * 10 + (m_src[at] - u'0'), 1ull << 40);
                ++at;
            }
            if (at == start)
                return std::nullopt;
            return value;
        };
        Bounds bounds;
        std::size_t at = pos + 1;
        const auto min = number(at);
        if (!min)
            return std::nullopt;
        bounds.min = *min;
        bounds.max = *min;
        if (at < m_src.size() && m_src[at] == u',') {
            ++at;
            bounds.max = number(at);
        }
        if (at >= m_src.size() || m_src[at] != u'}')
            return std::nullopt;
        bounds.end = at + 1;
        return bounds;
    }

    bool quantifierAt(std::size_t pos) const
    {
        if (pos >= m_src.size())
            return false;
        const char16_t c = m_src[pos];
        return c == u'*' || c == u'+' || c == u'?' || braceQuantifier(pos).has_value();
    }

    bool parseTerm(std::size_t depth)
    {
        const std::size_t atomStart = m_out.pcre.size();
        const std::size_t groupsBefore = m_nextGroup;
        const std::size_t hiddenBefore = m_nextHidden;
        bool quantifiable = true;
        bool group = false;
        const char16_t c = peek();
        switch (c) {
        case u'^':
            ++m_pos;
            // At the very start only (PCRE2's \A never matches past a nonzero start
            // offset, as ECMAScript's ^ never matches past 0), or after a line feed with
            // the m flag: the reference ends lines at \n only, not at \r, U+2028 or
            // U+2029 as ECMAScript does. A line feed ending the subject starts no line
            // (the reference's /^ */gm adds nothing after a final line feed).
            appendAscii(m_out.pcre, m_flags.multiline ? "(?:\\A|(?<=\\n)(?!\\z))" : "\\A");
            quantifiable = false;
            break;
        case u'$':
            ++m_pos;
            // At the very end only: PCRE2's $ would also match before a final newline.
            appendAscii(m_out.pcre, m_flags.multiline ? "(?![^\\n])" : "\\z");
            quantifiable = false;
            break;
        case u'\\':
            if (peek(1) == u'b' || peek(1) == u'B') {
                appendAscii(m_out.pcre, peek(1) == u'b' ? "\\b" : "\\B");
                m_pos += 2;
                quantifiable = false;
            } else if (!parseAtomEscape()) {
                return false;
            }
            break;
        case u'(':
            if (!parseGroup(depth, group))
                return false;
            break;
        case u'.':
            ++m_pos;
            // Every code unit but the line feed, or every one with the s flag.
            appendAscii(m_out.pcre, m_flags.dotAll ? "[\\x{0}-\\x{ffff}]" : "[^\\n]");
            break;
        case u'[':
            if (!parseClass())
                return false;
            break;
        case u'*':
        case u'+':
        case u'?':
            return fail(swf::ErrorCode::BadValue, "nothing to repeat");
        default:
            if (c == u'{' && braceQuantifier(m_pos))
                return fail(swf::ErrorCode::BadValue, "nothing to repeat");
            // Any other character stands for itself, ] } and a { that starts no
            // quantifier among them.
            ++m_pos;
            appendLiteral(c);
            break;
        }

        skipExtended();
        if (!quantifierAt(m_pos))
            return true;
        if (!quantifiable)
            return fail(swf::ErrorCode::BadValue, "nothing to repeat");
        std::u16string quantifier;
        bool repeatsMore = true;
        bool optional = false;
        bool fromOne = false;
        const char16_t q = peek();
        if (q == u'*' || q == u'+' || q == u'?') {
            quantifier += q;
            repeatsMore = q != u'?';
            optional = q != u'+';
            fromOne = q == u'+';
            ++m_pos;
        } else {
            const Bounds bounds = *braceQuantifier(m_pos);
            if (bounds.max && *bounds.max < bounds.min)
                return fail(swf::ErrorCode::BadValue, "numbers out of order in {} quantifier");
            if (bounds.min > limits::kMaxRegExpRepeat ||
                (bounds.max && *bounds.max > limits::kMaxRegExpRepeat))
                return fail(swf::ErrorCode::TooLarge, "number too big in {} quantifier");
            quantifier += u'{';
            appendNumber(quantifier, bounds.min);
            if (bounds.max != bounds.min) {
                quantifier += u',';
                if (bounds.max)
                    appendNumber(quantifier, *bounds.max);
            }
            quantifier += u'}';
            repeatsMore = !bounds.max || *bounds.max > 1;
            optional = bounds.min == 0;
            fromOne = bounds.min == 1;
            m_pos = bounds.end;
        }
        if (peek() == u'?' && has(0)) {
            quantifier += u'?';
            ++m_pos;
        }
        if (group && (repeatsMore || optional) && m_nextGroup > groupsBefore) {
            const std::size_t hidden = ++m_nextHidden;
            std::u16string open;
            // A repeat from one marks where it starts (the empty group sN), so the
            // callout can tell its first iteration from the others.
            if (fromOne && repeatsMore) {
                open += u"(?<s";
                appendNumber(open, hidden);
                open += u">)";
            }
            open += u"(?:(?<h";
            appendNumber(open, hidden);
            open += u'>';
            m_out.pcre.insert(atomStart, open);
            m_out.pcre += u')';
            // ECMAScript takes no empty iteration once a repeat has its minimum, so
            // the captures stay as the iteration before left them; the callout fails
            // such an iteration (CompiledRegExp's emptyIterationCallout): any of an
            // optional repeat, any but the first of a repeat from one. Repeats from
            // two or more keep PCRE2's way.
            if (optional || (fromOne && repeatsMore)) {
                m_out.pcre += u"(?C{";
                appendNumber(m_out.pcre, hidden);
                if (!optional)
                    m_out.pcre += u'+';
                m_out.pcre += u"})";
            }
            m_out.pcre += u')';
            m_out.repeats.push_back(RepeatScope{.hidden = hidden,
                                                .firstGroup = groupsBefore + 1,
                                                .lastGroup = m_nextGroup,
                                                .firstHidden = hiddenBefore + 1,
                                                .lastHidden = hidden - 1});
        }
        m_out.pcre += quantifier;
        skipExtended();
        if (quantifierAt(m_pos))
            return fail(swf::ErrorCode::BadValue, "nothing to repeat");
        return true;
    }

    bool parseGroup(std::size_t depth, bool& group)
    {
        ++m_pos;
        if (peek() == u'?') {
            const char16_t kind = peek(1);
            if (kind == u':' || kind == u'=' || kind == u'!') {
                m_out.pcre += u"(?";
                m_out.pcre += kind;
                m_pos += 2;
            } else if (kind == u'P' && peek(2) == u'<') {
                m_pos += 3;
                const std::size_t start = m_pos;
                if (!isNameStart(peek()))
                    return fail(swf::ErrorCode::BadValue, "bad group name");
                while (has(0) && isNameChar(peek()))
                    ++m_pos;
                if (peek() != u'>' || !has(0))
                    return fail(swf::ErrorCode::BadValue, "bad group name");
                const std::size_t number = openGroup();
                m_out.names.push_back(
                    GroupName{std::u16string(m_src.substr(start, m_pos - start)), number});
                ++m_pos;
            } else if (kind == u'P' && peek(2) == u'=') {
                // (?P=name): a reference to a named group, an atom of its own.
                m_pos += 3;
                const std::size_t start = m_pos;
                while (has(0) && isNameChar(peek()))
                    ++m_pos;
                const auto found =
                    m_groupByName.find(std::u16string(m_src.substr(start, m_pos - start)));
                if (found == m_groupByName.end() || peek() != u')' || !has(0))
                    return fail(swf::ErrorCode::BadValue,
                                "reference to a group name that does not exist");
                ++m_pos;
                appendBackReference(found->second);
                return true;
            } else if (kind == u'<' && (peek(2) == u'=' || peek(2) == u'!')) {
                return fail(swf::ErrorCode::BadValue, "look-behind is not supported");
            } else {
                return fail(swf::ErrorCode::BadValue, "unrecognized character after (?");
            }
        } else {
            openGroup();
        }
        // Any group may hold captures that a quantifier after it repeats.
        group = true;
        if (!parseDisjunction(depth + 1))
            return false;
        if (atEnd() || peek() != u')')
            return fail(swf::ErrorCode::BadValue, "missing )");
        ++m_pos;
        m_out.pcre += u')';
        return true;
    }

    std::size_t openGroup()
    {
        const std::size_t number = ++m_nextGroup;
        m_out.pcre += u"(?<g";
        appendNumber(m_out.pcre, number);
        m_out.pcre += u'>';
        return number;
    }

    void appendBackReference(std::size_t group)
    {
        m_out.pcre += u"\\k<g";
        appendNumber(m_out.pcre, group);
        m_out.pcre += u'>';
    }

    // A character outside a class. Under the i flag PCRE2 folds ASCII letters only,
    // as the reference documents: an accented capital and its small letter stay apart.
    void appendLiteral(char16_t c) { appendCodeUnit(m_out.pcre, c); }

    void appendClass(Ranges ranges, bool negate)
    {
        ranges = normalized(std::move(ranges));
        if (ranges.empty()) {
            appendAscii(m_out.pcre, negate ? "[\\x{0}-\\x{ffff}]" : "(?!)");
            return;
        }
        m_out.pcre += negate ? u"[^" : u"[";
        for (const Range& r : ranges) {
            appendCodeUnit(m_out.pcre, r.first);
            if (r.second != r.first) {
                m_out.pcre += u'-';
                appendCodeUnit(m_out.pcre, r.second);
            }
        }
        m_out.pcre += u']';
    }

    // \xHH and \uHHHH: the value, or nothing when the digits are not all there (then
    // the letter stands for itself).
    std::optional<char16_t> hexEscape(std::size_t digits)
    {
        unsigned value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            const int v = has(i) ? hexValue(peek(i)) : -1;
            if (v < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(v);
        }
        m_pos += digits;
        return static_cast<char16_t>(value);
    }

    // An octal escape's value from the digit at m_pos on: up to three digits, at most
    // 0377.
    char16_t octalEscape()
    {
        unsigned value = 0;
        const std::size_t most = peek() <= u'3' ? 3 : 2;
        for (std::size_t i = 0; i < most && has(0) && isOctal(peek()); ++i) {
            value = value * 8 + (peek() - u'0');
            ++m_pos;
        }
        return static_cast<char16_t>(value);
    }

    // Escapes that mean the same in and out of classes: the result is a character or
    // a set; `letter` is the character after the backslash, m_pos just past it.
    std::optional<ClassAtom> commonEscape(char16_t letter)
    {
        switch (letter) {
        case u'd':
            return ClassAtom{std::nullopt, digitRanges()};
        case u'D':
            return ClassAtom{std::nullopt, complement(digitRanges())};
        case u'w':
            return ClassAtom{std::nullopt, wordRanges()};
        case u'W':
            return ClassAtom{std::nullopt, complement(wordRanges())};
        case u's':
            return ClassAtom{std::nullopt, spaceRanges()};
        case u'S':
            return ClassAtom{std::nullopt, complement(spaceRanges())};
        case u'f':
            return ClassAtom{u'\f', {}};
        case u'n':
            return ClassAtom{u'\n', {}};
        case u'r':
            return ClassAtom{u'\r', {}};
        case u't':
            return ClassAtom{u'\t', {}};
        // ECMAScript's \v is the one character U+000B, not PCRE2's vertical space.
        case u'v':
            return ClassAtom{u'\v', {}};
        case u'c':
            if (has(0) && isAsciiLetter(peek())) {
                const char16_t control = static_cast<char16_t>(peek() % 32);
                ++m_pos;
                return ClassAtom{control, {}};
            }
            // \c without a letter is a backslash, and the c is read next.
            --m_pos;
            return ClassAtom{u'\\', {}};
        case u'x':
            if (auto value = hexEscape(2))
                return ClassAtom{*value, {}};
            return ClassAtom{u'x', {}};
        case u'u':
            if (auto value = hexEscape(4))
                return ClassAtom{*value, {}};
            return ClassAtom{u'u', {}};
        default:
            return std::nullopt;
        }
    }

    bool parseAtomEscape()
    {
        if (!has(1)) {
            ++m_pos;
            return fail(swf::ErrorCode::BadValue, "\\ at end of pattern");
        }
        const char16_t letter = peek(1);
        m_pos += 2;
        if (auto atom = commonEscape(letter)) {
            if (atom->single)
                appendLiteral(*atom->single);
            else
                appendClass(std::move(atom->set), false);
            return true;
        }
        if (isDigit(letter)) {
            --m_pos;
            appendDecimalEscape();
            return true;
        }
        // Every other escaped character stands for itself.
        appendLiteral(letter);
        return true;
    }

    // \0, \N and \NN outside classes, m_pos at the first digit. The longest run of
    // digits naming an existing group is a back reference (one to a group not set
    // yet, or not at all, matches empty); otherwise the digits are an octal escape,
    // and an 8 or 9 stands for itself.
    void appendDecimalEscape()
    {
        if (peek() == u'0' && !(has(1) && isDigit(peek(1)))) {
            ++m_pos;
            appendLiteral(0);
            return;
        }
        if (peek() != u'0') {
            std::size_t best = 0;
            std::size_t bestLength = 0;
            std::size_t value = 0;
            for (std::size_t i = 0; has(i) && isDigit(peek(i)) && i < 6; ++i) {
                value = value * 10 + (peek(i) - u'0');
                if (value <= m_totalGroups) {
                    best = value;
                    bestLength = i + 1;
                }
            }
            if (bestLength > 0) {
                m_pos += bestLength;
                appendBackReference(best);
                return;
            }
        }
        if (isOctal(peek())) {
            appendLiteral(octalEscape());
            return;
        }
        appendLiteral(peek());
        ++m_pos;
    }

    std::optional<ClassAtom> parseClassAtom()
    {
        if (peek() != u'\\') {
            const char16_t c = peek();
            ++m_pos;
            return ClassAtom{c, {}};
        }
        if (!has(1)) {
            ++m_pos;
            fail(swf::ErrorCode::BadValue, "\\ at end of pattern");
            return std::nullopt;
        }
        const char16_t letter = peek(1);
        m_pos += 2;
        // In a class \b is the backspace.
        if (letter == u'b')
            return ClassAtom{u'\b', {}};
        if (auto atom = commonEscape(letter))
            return atom;
        if (isDigit(letter)) {
            --m_pos;
            if (peek() == u'0' && !(has(1) && isDigit(peek(1)))) {
                ++m_pos;
                return ClassAtom{char16_t(0), {}};
            }
            if (isOctal(peek()))
                return ClassAtom{octalEscape(), {}};
            ++m_pos;
            return ClassAtom{letter, {}};
        }
        return ClassAtom{letter, {}};
    }

    // [...] and [^...]: the first ] closes the class, so [] matches nothing and [^]
    // any character. A - next to a class escape is a plain hyphen.
    bool parseClass()
    {
        ++m_pos;
        bool negate = false;
        if (peek() == u'^' && has(0)) {
            negate = true;
            ++m_pos;
        }
        Ranges ranges;
        auto add = [&](const ClassAtom& atom) {
            if (atom.single)
                ranges.emplace_back(*atom.single, *atom.single);
            else
                ranges.insert(ranges.end(), atom.set.begin(), atom.set.end());
        };
        while (true) {
            if (atEnd())
                return fail(swf::ErrorCode::BadValue, "missing terminating ] for character class");
            if (peek() == u']') {
                ++m_pos;
                break;
            }
            const auto first = parseClassAtom();
            if (!first)
                return false;
            if (peek() == u'-' && has(1) && peek(1) != u']') {
                ++m_pos;
                const auto last = parseClassAtom();
                if (!last)
                    return false;
                if (first->single && last->single) {
                    if (*last->single < *first->single)
                        return fail(swf::ErrorCode::BadValue,
                                    "range out of order in character class");
                    ranges.emplace_back(*first->single, *last->single);
                } else {
                    add(*first);
                    ranges.emplace_back(u'-', u'-');
                    add(*last);
                }
            } else {
                add(*first);
            }
        }
        appendClass(std::move(ranges), negate);
        return true;
    }

    std::u16string_view m_src;
    RegExpFlags m_flags;
    std::size_t m_pos = 0;
    TranslatedPattern m_out;
    std::size_t m_totalGroups = 0;
    std::size_t m_nextGroup = 0;
    std::size_t m_nextHidden = 0;
    std::map<std::u16string, std::size_t> m_groupByName;
    std::optional<swf::Error> m_error;
};

} // namespace

swf::Result<TranslatedPattern> translatePattern(std::u16string_view source,
                                                const RegExpFlags& flags)
{
    return Translator(source, flags).run();
}

} // namespace script::regexp
