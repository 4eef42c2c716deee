#include "NumberScan.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace script::scan {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

std::size_t digitRun(std::u16string_view text, std::size_t from)
{
    std::size_t at = from;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at - from;
}

// from_chars reports a value too large or too small for a double without giving one:
// the literal's magnitude (where its first nonzero digit stands) says which.
double outOfRange(std::u16string_view literal)
{
    long long magnitude = 0;
    bool seenNonZero = false;
    bool afterPoint = false;
    std::size_t at = 0;
    for (; at < literal.size() && literal[at] != u'e' && literal[at] != u'E'; ++at) {
        const char16_t c = literal[at];
        if (c == u'.') {
            afterPoint = true;
        } else if (!seenNonZero && c == u'0') {
            if (afterPoint)
                --magnitude;
        } else if (!seenNonZero) {
            seenNonZero = true;
        } else if (!afterPoint) {
            ++magnitude;
        }
    }
    if (!seenNonZero)
        return 0.0;
    long long exponent = 0;
    bool negative = false;
    if (at < literal.size()) {
        ++at;
        if (at < literal.size() && (literal[at] == u'+' || literal[at] == u'-'))
            negative = literal[at++] == u'-';
        // Saturate: past a million the answer is the same.
        for (; at < literal.size() && isDigit(literal[at]); ++at)
            if (exponent < 1000000)
                exponent = exponent * 10 + (literal[at] - u'0');
    }
    magnitude += negative ? -exponent : exponent;
    return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// Digits in a radix of 2^bits, rounded to nearest, ties to even, from the first 64
// significant bits and whether any bit past them is set.
double powerOfTwoValue(std::u16string_view digits, int bits)
{
    std::uint64_t top = 0;
    int kept = 0;
    long long dropped = 0;
    bool sticky = false;
    for (char16_t c : digits) {
        const int d = digitValue(c);
        for (int bit = bits - 1; bit >= 0; --bit) {
            const unsigned one = (d >> bit) & 1;
            if (kept == 0 && one == 0)
                continue;
            if (kept < 64) {
                top = (top << 1) | one;
                ++kept;
            } else {
                ++dropped;
                sticky = sticky || one;
            }
        }
    }
    if (kept <= 53)
        return static_cast<double>(top);
    const int shift = kept - 53;
    std::uint64_t mantissa = top >> shift;
    const std::uint64_t rest = top & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (sticky || (mantissa & 1))))
        ++mantissa;
    // Past 2^1100 the double is infinite whatever the digits.
    const long long scale = std::min<long long>(shift + dropped, 1100);
    return std::ldexp(static_cast<double>(mantissa), static_cast<int>(scale));
}

} // namespace

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    return 36;
}

std::size_t decimalLength(std::u16string_view text)
{
    const std::size_t whole = digitRun(text, 0);
    std::size_t at = whole;
    std::size_t fraction = 0;
    if (at < text.size() && text[at] == u'.') {
        fraction = digitRun(text, at + 1);
        if (whole == 0 && fraction == 0)
            return 0;
        at += 1 + fraction;
    }
    if (whole == 0 && fraction == 0)
        return 0;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        std::size_t exponentAt = at + 1;
        if (exponentAt < text.size() && (text[exponentAt] == u'+' || text[exponentAt] == u'-'))
            ++exponentAt;
        const std::size_t exponent = digitRun(text, exponentAt);
        if (exponent > 0)
            at = exponentAt + exponent;
    }
    return at;
}

double decimalValue(std::u16string_view literal)
{
    std::string ascii(literal.size(), '\0');
    for (std::size_t i = 0; i < literal.size(); ++i)
        ascii[i] = static_cast<char>(literal[i]);
    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range)
        return outOfRange(literal);
    return value;
}

double digitsValue(std::u16string_view digits, int radix)
{
    switch (radix) {
    case 2:
        return powerOfTwoValue(digits, 1);
    case 4:
        return powerOfTwoValue(digits, 2);
    case 8:
        return powerOfTwoValue(digits, 3);
    case 16:
        return powerOfTwoValue(digits, 4);
    case 32:
        return powerOfTwoValue(digits, 5);
    case 10:
        return decimalValue(digits);
    default:
        break;
    }
    double value = 0.0;
    for (char16_t c : digits)
        value = value * radix + digitValue(c);
    return value;
}

bool startsWithInfinity(std::u16string_view text)
{
    return text.substr(0, 8) == u"Infinity";
}

} // namespace script::scan
