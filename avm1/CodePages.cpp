#include "CodePages.h"

#include "StringUnits.h"
#include "TextEncoding.h"

#include <iconv.h>
#include <string_view>

namespace avm1 {

namespace {

bool isShiftJisLead(std::uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isShiftJisTrail(std::uint8_t b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Shift-JIS that a western file would hardly be: every byte in a valid sequence, no
// half-width katakana (the range of Latin-1's accented capitals), and at least one
// character whose two bytes are both high (Latin-1 text puts a letter after an accent).
bool readsAsShiftJis(std::span<const std::uint8_t> bytes)
{
    bool japanese = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80)
            continue;
        if (!isShiftJisLead(b) || i + 1 >= bytes.size() || !isShiftJisTrail(bytes[i + 1]))
            return false;
        japanese |= bytes[i + 1] >= 0x80;
        ++i;
    }
    return japanese;
}

// Windows-1252's 0x80-0x9F; 0 where it has no character (read as Latin-1's control).
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string fromWindows1252(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        std::uint32_t unit = b;
        if (b >= 0x80 && b < 0xA0 && kWindows1252High[b - 0x80])
            unit = kWindows1252High[b - 0x80];
        appendUtf8(out, unit);
    }
    return out;
}

// Through the C library's converter; Windows-1252 where it has no Shift-JIS.
std::string fromShiftJis(std::span<const std::uint8_t> bytes)
{
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        converter = iconv_open("UTF-8", "SHIFT_JIS");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return fromWindows1252(bytes);
    // A Shift-JIS byte never takes more than three bytes of UTF-8.
    std::string out(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &to, &toLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1))
        return fromWindows1252(bytes);
    out.resize(out.size() - toLeft);
    return out;
}

} // namespace

LegacyEncoding detectLegacyEncoding(std::span<const std::uint8_t> bytes)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (isWellFormedUtf8(text))
        return LegacyEncoding::Utf8;
    return readsAsShiftJis(bytes) ? LegacyEncoding::ShiftJis : LegacyEncoding::Windows1252;
}

std::string codePageText(std::span<const std::uint8_t> bytes)
{
    switch (detectLegacyEncoding(bytes)) {
    case LegacyEncoding::Utf8:
        return std::string(bytes.begin(), bytes.end());
    case LegacyEncoding::ShiftJis:
        return fromShiftJis(bytes);
    case LegacyEncoding::Windows1252:
        break;
    }
    return fromWindows1252(bytes);
}

} // namespace avm1
