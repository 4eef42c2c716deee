#include "TextNumbers.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDecimal(char c)
{
    return c >= '0' && c <= '9';
}

// The value of `c` as a digit of any radix up to 36, or 36 when it is none.
int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 36;
}

bool isHexMark(char c)
{
    return c == 'x' || c == 'X';
}

// "0", "-0", "+0" followed by nothing but octal digits, with nothing around it.
bool isOctalText(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i >= text.size() || text[i] != '0')
        return false;
    for (++i; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '7')
            return false;
    return true;
}

} // namespace

double parseIntText(std::string_view text, std::optional<double> radixArgument)
{
    int radix = 0;
    if (radixArgument) {
        const double r = std::trunc(*radixArgument);
        if (!(r >= 2 && r <= 36))
            return kNaN;
        radix = static_cast<int>(r);
    }
    std::size_t i = 0;
    bool hexPrefix = false;
    if (text.size() >= 2 && text[0] == '0' && isHexMark(text[1])) {
        hexPrefix = true;
        i = 2;
    } else if (text.size() >= 3 && (text[0] == '+' || text[0] == '-') && text[1] == '0' &&
               isHexMark(text[2])) {
        // The reference takes the sign and the zero for the prefix: the sign is lost and
        // the "x" is read as the first digit (so only radixes above 33 read anything).
        hexPrefix = true;
        i = 2;
    }
    if (radix == 0)
        radix = hexPrefix ? 16 : isOctalText(text) ? 8 : 10;

    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i]);
        if (digit >= radix)
            break;
        value = value * radix + digit;
        anyDigit = true;
    }
    if (!anyDigit)
        return kNaN;
    return negative ? -value : value;
}

double parseFloatText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The reference adds each fraction digit times a falling power of ten, which rounds
    // differently from a correctly rounded conversion (".1499999" is not 0.1499999), and
    // it skips points after the first, which then also rule out an exponent.
    double value = 0;
    double scale = 1;
    bool inFraction = false;
    bool extraPoint = false;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDecimal(c)) {
            anyDigit = true;
            if (inFraction) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.') {
            if (inFraction)
                extraPoint = true;
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return kNaN;
    if (!extraPoint && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        // The exponent is a 32-bit integer that silently wraps, as the reference's is.
        std::uint32_t exponent = 0;
        for (; i < text.size() && isDecimal(text[i]); ++i)
            exponent = exponent * 10u + static_cast<std::uint32_t>(text[i] - '0');
        std::int32_t signedExponent = static_cast<std::int32_t>(exponent);
        if (negativeExponent)
            signedExponent = static_cast<std::int32_t>(0u - exponent);
        if (signedExponent != 0 && value != 0)
            value *= std::pow(10.0, static_cast<double>(signedExponent));
    }
    return negative ? -value : value;
}

} // namespace avm1
