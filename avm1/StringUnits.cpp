#include "StringUnits.h"

#include "String.h"
#include "Vm.h"

#include <algorithm>

namespace avm1 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(std::string_view text, std::size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// Decodes the character at `at`, returning its byte count. A byte that does not start
// a well-formed sequence stands for the Latin-1 character of its value. Encoded
// surrogates (three-byte forms that Java-made text holds) are taken as they are.
std::size_t decodeOne(std::string_view text, std::size_t at, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    codePoint = lead;
    if (lead < 0x80)
        return 1;
    auto next = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]) & 0x3F; };
    if (lead >= 0xC2 && lead <= 0xDF && isContinuation(text, at + 1)) {
        codePoint = (char32_t(lead & 0x1F) << 6) | next(1);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && isContinuation(text, at + 1) &&
        isContinuation(text, at + 2)) {
        const char32_t cp = (char32_t(lead & 0x0F) << 12) | (char32_t(next(1)) << 6) | next(2);
        if (cp >= 0x800) {
            codePoint = cp;
            return 3;
        }
        return 1;
    }
    if (lead >= 0xF0 && lead <= 0xF4 && isContinuation(text, at + 1) &&
        isContinuation(text, at + 2) && isContinuation(text, at + 3)) {
        const char32_t cp = (char32_t(lead & 0x07) << 18) | (char32_t(next(1)) << 12) |
                            (char32_t(next(2)) << 6) | next(3);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            codePoint = cp;
            return 4;
        }
    }
    return 1;
}

bool isSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

bool isAsciiText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char32_t upperOf(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 32;
    if (c == 0xFF)
        return 0x178;
    if (c <= 0x17F) {
        // Latin Extended-A pairs letters as upper then lower, except in two runs where
        // the pairs start on an odd code.
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool paired = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) ||
                            (c >= 0x14A && c <= 0x177) || oddPairs;
        if (paired && ((c % 2 == 1) != oddPairs))
            return c - 1;
        return c;
    }
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3C9))
        return c - 32;
    if (c == 0x3C2)
        return 0x3A3;
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 37;
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return c - 63;
    if (c >= 0x430 && c <= 0x44F)
        return c - 32;
    if (c >= 0x450 && c <= 0x45F)
        return c - 80;
    return c;
}

char32_t lowerOf(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c < 0xC0)
        return c;
    if (c <= 0xDE)
        return c == 0xD7 ? c : c + 32;
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool paired = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) ||
                            (c >= 0x14A && c <= 0x177) || oddPairs;
        if (paired && ((c % 2 == 0) != oddPairs))
            return c + 1;
        return c;
    }
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3A9))
        return c + 32;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

template <typename Map> std::string mapCase(std::string_view text, CharUnits units, Map map)
{
    std::string out;
    out.reserve(text.size());
    if (units == CharUnits::Bytes || isAsciiText(text)) {
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            out.push_back(byte < 0x80 ? static_cast<char>(map(byte)) : c);
        }
        return out;
    }
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        const std::size_t n = decodeOne(text, i, cp);
        const char32_t mapped = map(cp);
        if (mapped == cp)
            out.append(text.substr(i, n)); // malformed bytes stay as they were
        else
            appendUtf8(out, mapped);
        i += n;
    }
    return out;
}

// A surrogate's own three-byte form, which appendUtf8 never writes.
void appendSurrogate(std::string& out, char32_t unit)
{
    if (!isSurrogate(unit)) {
        appendUtf8(out, unit);
        return;
    }
    out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
    out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
}

} // namespace

std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp;
        i += decodeOne(utf8, i, cp);
        units += cp >= 0x10000 ? 2 : 1;
    }
    return units;
}

std::size_t unitLength(const String* text, CharUnits units)
{
    if (units == CharUnits::Bytes || text->isAscii())
        return text->size();
    return utf16Length(text->view());
}

std::u16string toUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp;
        i += decodeOne(utf8, i, cp);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            appendSurrogate(out, unit);
        }
    }
    return out;
}

namespace {

// The surrogate whose three-byte form starts at `at`, or 0.
char32_t surrogateAt(std::string_view text, std::size_t at)
{
    if (at + 3 > text.size() || static_cast<unsigned char>(text[at]) != 0xED)
        return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (second < 0xA0 || second > 0xBF || (third & 0xC0) != 0x80)
        return 0;
    return 0xD000 | (char32_t(second & 0x3F) << 6) | (third & 0x3F);
}

} // namespace

void joinSurrogateHalves(std::string& utf8)
{
    std::size_t at = utf8.find('\xED');
    if (at == std::string::npos)
        return;
    std::string out(utf8.substr(0, at));
    while (at < utf8.size()) {
        const char32_t high = surrogateAt(utf8, at);
        const char32_t low = high >= 0xD800 && high <= 0xDBFF ? surrogateAt(utf8, at + 3) : 0;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
            at += 6;
        } else {
            out.push_back(utf8[at++]);
        }
    }
    utf8 = std::move(out);
}

std::string withoutLoneSurrogates(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        if (surrogateAt(utf8, at) != 0) {
            appendUtf8(out, kReplacement);
            at += 3;
        } else {
            out.push_back(utf8[at++]);
        }
    }
    return out;
}

UnitText::UnitText(const String* text, CharUnits units)
{
    decode(text->view(), text->isAscii(), units);
}

UnitText::UnitText(std::string_view utf8, CharUnits units)
{
    decode(utf8, units == CharUnits::Bytes || isAsciiText(utf8), units);
}

void UnitText::decode(std::string_view utf8, bool ascii, CharUnits units)
{
    m_bytes = utf8;
    m_wide = units == CharUnits::Utf16 && !ascii;
    if (m_wide)
        m_units = toUtf16(utf8);
}

std::string UnitText::slice(std::size_t start, std::size_t end) const
{
    end = std::min(end, size());
    if (start >= end)
        return {};
    if (!m_wide)
        return std::string(m_bytes.substr(start, end - start));
    return fromUtf16(std::u16string_view(m_units).substr(start, end - start));
}

std::int64_t UnitText::find(const UnitText& needle, std::size_t from) const
{
    if (from > size())
        return -1;
    std::size_t at;
    if (!m_wide && !needle.m_wide) {
        at = m_bytes.find(needle.m_bytes, from);
    } else {
        const std::u16string wideNeedle = needle.m_wide ? needle.m_units : toUtf16(needle.m_bytes);
        at = m_wide ? std::u16string_view(m_units).find(wideNeedle, from) : std::string::npos;
    }
    return at == std::string::npos ? -1 : static_cast<std::int64_t>(at);
}

std::int64_t UnitText::findLast(const UnitText& needle, std::size_t from) const
{
    std::size_t at;
    if (!m_wide && !needle.m_wide) {
        at = m_bytes.rfind(needle.m_bytes, from);
    } else {
        const std::u16string wideNeedle = needle.m_wide ? needle.m_units : toUtf16(needle.m_bytes);
        at = m_wide ? std::u16string_view(m_units).rfind(wideNeedle, from) : std::string::npos;
    }
    return at == std::string::npos ? -1 : static_cast<std::int64_t>(at);
}

std::uint32_t scriptCharCode(std::uint16_t unit, CharUnits units)
{
    if (units == CharUnits::Utf16 && isSurrogate(unit))
        return kReplacement;
    return unit;
}

std::uint32_t firstCharCode(const String* text, CharUnits units)
{
    if (text->empty())
        return 0;
    if (units == CharUnits::Bytes || text->isAscii())
        return static_cast<unsigned char>(text->view()[0]);
    char32_t cp;
    decodeOne(text->view(), 0, cp);
    return cp >= 0x10000 ? kReplacement : cp;
}

std::string charFromCode(std::uint32_t code, CharUnits units)
{
    std::string out;
    if (units == CharUnits::Bytes) {
        if (const auto byte = static_cast<char>(code & 0xFF); byte != 0)
            out.push_back(byte);
        return out;
    }
    if (const char32_t unit = code & 0xFFFF; unit != 0)
        appendUtf8(out, unit);
    return out;
}

std::string extractUnits(const String* text, std::int32_t index, std::int32_t count,
                         CharUnits units)
{
    const UnitText all(text, units);
    const std::size_t start = index > 1 ? static_cast<std::size_t>(index) - 1 : 0;
    if (count < 0)
        return all.slice(start, all.size());
    return all.slice(start, start + static_cast<std::size_t>(count));
}

std::string toUpperText(std::string_view text, CharUnits units)
{
    return mapCase(text, units, upperOf);
}

std::string toLowerText(std::string_view text, CharUnits units)
{
    return mapCase(text, units, lowerOf);
}

double Vm::stringLength(const String* text)
{
    return static_cast<double>(unitLength(text, charUnitsFor(m_swfVersion)));
}

} // namespace avm1
