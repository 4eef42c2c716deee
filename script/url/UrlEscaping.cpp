#include "UrlEscaping.h"

#include "script/HexDigits.h"

#include <cstdint>

namespace script::url {

namespace {

bool isAlphanumeric(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the UTF-8 sequence at `i`, or 0 when the bytes there are not one.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

std::string asUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceAt(bytes, i);
        if (length) {
            out.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
    return out;
}

} // namespace

std::string escapeText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (isAlphanumeric(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

std::string unescapeText(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '+') {
            bytes.push_back(' ');
            ++i;
            continue;
        }
        if (c != '%') {
            bytes.push_back(c);
            ++i;
            continue;
        }
        ++i;
        if (i >= text.size())
            break;
        const int high = script::hexDigitValue(text[i++]);
        if (high < 0)
            continue;
        if (i >= text.size())
            break;
        const int low = script::hexDigitValue(text[i++]);
        if (low < 0)
            continue;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return asUtf8(bytes);
}

void forEachUrlVariable(
    std::string_view text,
    const std::function<bool(const std::string& name, const std::string& value)>& take)
{
    while (!text.empty()) {
        const std::size_t end = text.find('&');
        const std::string_view pair = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::size_t equals = pair.find('=');
        const std::string name = unescapeText(pair.substr(0, equals));
        if (name.empty())
            continue;
        const std::string value = equals == std::string_view::npos
                                      ? std::string()
                                      : unescapeText(pair.substr(equals + 1));
        if (!take(name, value))
            return;
    }
}

} // namespace script::url
