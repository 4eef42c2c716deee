#include "String.h"

#include "script/Utf8.h"

namespace avm2 {

std::string String::utf8() const
{
    return avm2::utf8(m_text);
}

std::u16string utf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t n = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
        }
        if (n > 1) {
            if (i + n > text.size()) {
                cp = 0xFFFD;
                n = 1;
            } else {
                cp = c & (0x7F >> n);
                bool ok = true;
                for (std::size_t k = 1; k < n; ++k) {
                    const auto d = static_cast<unsigned char>(text[i + k]);
                    if ((d & 0xC0) != 0x80)
                        ok = false;
                    cp = (cp << 6) | (d & 0x3F);
                }
                if (!ok) {
                    cp = 0xFFFD;
                    n = 1;
                }
            }
        }
        i += n;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp));
        }
    }
    return out;
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        script::appendUtf8(out, cp); // a lone surrogate becomes U+FFFD
    }
    return out;
}

} // namespace avm2
