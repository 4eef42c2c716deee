#include "UriCoding.h"

#include "NumberScan.h"
#include "script/HexDigits.h"

#include <cstdint>

namespace script {

namespace {

constexpr std::u16string_view kUpperHex = u"0123456789ABCDEF";

bool isAsciiAlphanumeric(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool inSet(char16_t c, std::u16string_view set)
{
    return set.find(c) != std::u16string_view::npos;
}

void appendByte(std::u16string& out, unsigned byte)
{
    out += u'%';
    out += kUpperHex[(byte >> 4) & 0xF];
    out += kUpperHex[byte & 0xF];
}

// The byte of a %XX at `at`, or -1.
int escapedByte(std::u16string_view text, std::size_t at)
{
    if (at + 2 >= text.size() || text[at] != u'%')
        return -1;
    const int high = hexDigitValue(text[at + 1]);
    const int low = hexDigitValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// ECMAScript's uriReserved and '#': what encodeURI keeps and decodeURI leaves escaped.
constexpr std::u16string_view kReservedAndHash = u";/?:@&=+$,#";
constexpr std::u16string_view kUnreservedMarks = u"-_.!~*'()";

std::optional<std::u16string> encode(std::u16string_view text, std::u16string_view alsoKept)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isAsciiAlphanumeric(c) || inSet(c, kUnreservedMarks) || inSet(c, alsoKept)) {
            out += c;
            continue;
        }
        std::uint32_t point = c;
        if (c >= 0xDC00 && c <= 0xDFFF)
            return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return std::nullopt;
            point = 0x10000 + ((c - 0xD800u) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (point < 0x80) {
            appendByte(out, point);
        } else if (point < 0x800) {
            appendByte(out, 0xC0 | (point >> 6));
            appendByte(out, 0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            appendByte(out, 0xE0 | (point >> 12));
            appendByte(out, 0x80 | ((point >> 6) & 0x3F));
            appendByte(out, 0x80 | (point & 0x3F));
        } else {
            appendByte(out, 0xF0 | (point >> 18));
            appendByte(out, 0x80 | ((point >> 12) & 0x3F));
            appendByte(out, 0x80 | ((point >> 6) & 0x3F));
            appendByte(out, 0x80 | (point & 0x3F));
        }
    }
    return out;
}

std::optional<std::u16string> decode(std::u16string_view text, std::u16string_view keptEscaped)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            out += text[i];
            continue;
        }
        const int lead = escapedByte(text, i);
        if (lead < 0)
            return std::nullopt;
        if (lead < 0x80) {
            if (inSet(static_cast<char16_t>(lead), keptEscaped))
                out += text.substr(i, 3);
            else
                out += static_cast<char16_t>(lead);
            i += 2;
            continue;
        }
        // The count of octets is the count of leading one bits: 2, 3 or 4.
        int count = 0;
        std::uint32_t point = 0;
        if ((lead & 0xE0) == 0xC0) {
            count = 2;
            point = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            count = 3;
            point = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            count = 4;
            point = lead & 0x07;
        } else {
            return std::nullopt;
        }
        std::size_t at = i + 3;
        for (int k = 1; k < count; ++k, at += 3) {
            const int next = escapedByte(text, at);
            if (next < 0 || (next & 0xC0) != 0x80)
                return std::nullopt;
            point = (point << 6) | (next & 0x3F);
        }
        constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kSmallest[count] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return std::nullopt;
        if (point < 0x10000) {
            out += static_cast<char16_t>(point);
        } else {
            point -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (point >> 10));
            out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        }
        i = at - 1;
    }
    return out;
}

} // namespace

std::u16string escape(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (isAsciiAlphanumeric(c) || inSet(c, u"@*_+-./")) {
            out += c;
        } else if (c < 0x100) {
            appendByte(out, c);
        } else {
            out += u"%u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kUpperHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

std::u16string unescape(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'%' && i + 5 < text.size() && text[i + 1] == u'u') {
            int value = 0;
            bool valid = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int digit = hexDigitValue(text[k]);
                valid = valid && digit >= 0;
                value = value * 16 + (digit < 0 ? 0 : digit);
            }
            if (valid) {
                out += static_cast<char16_t>(value);
                i += 5;
                continue;
            }
        }
        if (c == u'%' && i + 2 < text.size()) {
            const int byte = escapedByte(text, i);
            if (byte >= 0) {
                out += static_cast<char16_t>(byte);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::optional<std::u16string> encodeURI(std::u16string_view text)
{
    return encode(text, kReservedAndHash);
}

std::optional<std::u16string> encodeURIComponent(std::u16string_view text)
{
    return encode(text, {});
}

std::optional<std::u16string> decodeURI(std::u16string_view text)
{
    return decode(text, kReservedAndHash);
}

std::optional<std::u16string> decodeURIComponent(std::u16string_view text)
{
    return decode(text, {});
}

} // namespace script
