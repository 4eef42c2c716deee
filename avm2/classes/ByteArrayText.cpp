// ByteArray's text: UTF-8 as its readers decode it, and the named character sets of
// readMultiByte and writeMultiByte through the C library's converters.
#include "ByteArrayText.h"

#include <algorithm>
#include <cctype>
#include <iconv.h>

namespace avm2 {

std::u16string decodeUtf8Bytes(const std::uint8_t* data, std::size_t n, bool stopAtNul)
{
    std::u16string out;
    out.reserve(n);
    std::size_t i = 0;
    if (n >= 3 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf)
        i = 3;
    while (i < n) {
        const std::uint8_t b = data[i];
        if (b == 0 && stopAtNul)
            break;
        int extra = b >= 0xf0 && b < 0xf8 ? 3 : b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : 0;
        if (b >= 0xf8)
            extra = 0;
        std::uint32_t cp = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0fu : b & 0x1fu;
        bool valid = extra > 0;
        if (valid) {
            for (int k = 1; k <= extra; ++k) {
                if (i + static_cast<std::size_t>(k) >= n ||
                    (data[i + static_cast<std::size_t>(k)] & 0xc0) != 0x80) {
                    valid = false;
                    break;
                }
                cp = (cp << 6) | (data[i + static_cast<std::size_t>(k)] & 0x3fu);
            }
        }
        // Overlong forms and values past the last code point are not UTF-8.
        if (valid && ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
                      (extra == 3 && (cp < 0x10000 || cp > 0x10ffff))))
            valid = false;
        if (!valid) {
            out.push_back(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xd800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xdc00 + (cp & 0x3ff)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string encodeUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xd800 && cp < 0xdc00 && i + 1 < text.size() && text[i + 1] >= 0xdc00 &&
            text[i + 1] < 0xe000) {
            cp = 0x10000 + ((cp - 0xd800) << 10) + (text[i + 1] - 0xdc00u);
            ++i;
        }
        // A lone surrogate is written as its three-byte form, as the reference does.
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xc0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xe0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
        } else {
            out.push_back(static_cast<char>(0xf0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3f)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
        }
    }
    return out;
}

std::u16string decodeByteArrayText(const std::uint8_t* data, std::size_t n)
{
    const bool be = n >= 2 && data[0] == 0xfe && data[1] == 0xff;
    const bool le = n >= 2 && data[0] == 0xff && data[1] == 0xfe;
    if (!be && !le)
        return decodeUtf8Bytes(data, n, false);
    std::u16string out;
    for (std::size_t i = 2; i + 1 < n; i += 2)
        out.push_back(static_cast<char16_t>(be ? (data[i] << 8) | data[i + 1]
                                               : (data[i + 1] << 8) | data[i]));
    return out;
}

namespace {

// The converter's name for a character set the reference accepts; empty for UTF-8,
// which is decoded here as the other readers do.
std::string converterName(std::u16string_view charset)
{
    std::string name;
    for (char16_t c : charset)
        name.push_back(c < 0x80 ? static_cast<char>(std::tolower(static_cast<int>(c))) : '?');
    if (name == "utf-8" || name == "utf8" || name == "x-unicode20utf8")
        return {};
    if (name == "unicode" || name == "utf-16le" || name == "unicodefffe")
        return "UTF-16LE";
    if (name == "unicodefeff" || name == "utf-16be" || name == "utf-16")
        return "UTF-16BE";
    if (name == "shift-jis" || name == "shift_jis" || name == "x-sjis")
        return "SHIFT_JIS";
    return name;
}

bool convert(const std::string& from, const std::string& to, const char* in, std::size_t n,
             std::string& out)
{
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    char* src = const_cast<char*>(in);
    std::size_t left = n;
    char buffer[4096];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1) && room == sizeof buffer) {
            // An unconvertible or cut-off sequence: skip one byte.
            ++src;
            --left;
        }
    }
    iconv_close(cd);
    return true;
}

} // namespace

std::u16string decodeMultiByte(const std::uint8_t* data, std::size_t n, std::u16string_view charset)
{
    const std::string name = converterName(charset);
    std::string utf16le;
    std::u16string out;
    if (name.empty() || !convert(name, "UTF-16LE", reinterpret_cast<const char*>(data), n, utf16le))
        return decodeUtf8Bytes(data, n, true);
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        const auto c = static_cast<char16_t>(static_cast<std::uint8_t>(utf16le[i]) |
                                             (static_cast<std::uint8_t>(utf16le[i + 1]) << 8));
        if (c == 0)
            break;
        if (c == 0xfeff && out.empty() && i == 0)
            continue;
        out.push_back(c);
    }
    return out;
}

std::string encodeMultiByte(std::u16string_view text, std::u16string_view charset)
{
    const std::string name = converterName(charset);
    std::string out;
    if (name.empty())
        return encodeUtf8(text);
    std::string in;
    for (char16_t c : text) {
        in.push_back(static_cast<char>(c & 0xff));
        in.push_back(static_cast<char>(c >> 8));
    }
    if (!convert("UTF-16LE", name, in.data(), in.size(), out))
        return encodeUtf8(text);
    return out;
}

} // namespace avm2
