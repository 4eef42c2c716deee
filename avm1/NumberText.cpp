#include "NumberText.h"

#include "script/HexDigits.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

namespace avm1 {

double conversionNaN()
{
    // A quiet NaN with a payload no arithmetic or constant here produces.
    return std::bit_cast<double>(std::uint64_t{0x7FF8000000000001});
}

namespace {

// --- Formatting ------------------------------------------------------------------------

// Powers of ten by repeated squaring, as the player computes them: its last digit
// depends on the rounding errors of exactly this method (Number.MAX_VALUE prints as
// 1.79769313486231e+308, not ...232).
double powerOfTen(int exponent)
{
    double result = 1;
    double base = 10;
    while (exponent) {
        if (exponent & 1)
            result *= base;
        base *= base;
        exponent >>= 1;
    }
    return result;
}

// The number scaled to 15 digits before the point, given its decimal exponent: the
// player divides by the reciprocal of the power (and scales the smallest numbers in two
// steps so that the power stays finite). Its last digit depends on these roundings:
// sin(1) prints as 0.841470984807897 and 1.234567891234565e-6 as 1.23456789123457e-6.
double scaledToDigits(double magnitude, int exponent)
{
    const int shift = 14 - exponent;
    if (shift < 0)
        return magnitude / powerOfTen(-shift);
    if (shift <= 300)
        return magnitude / (1 / powerOfTen(shift));
    return (magnitude * powerOfTen(300)) / (1 / powerOfTen(shift - 300));
}

std::string fixedForm(const std::string& digits, int exponent)
{
    if (exponent < 0)
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return digits + std::string(integerDigits - digits.size(), '0');
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string exponentForm(const std::string& digits, int exponent)
{
    std::string out = digits.substr(0, 1);
    if (digits.size() > 1)
        out += "." + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    out += std::to_string(exponent < 0 ? -exponent : exponent);
    return out;
}

// --- Parsing ---------------------------------------------------------------------------

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct DecimalScan {
    std::size_t numberEnd = 0; // after the last character that is part of the value
    std::size_t textEnd = 0;   // after a trailing exponent marker without digits, too
    double value = 0;
};

// A decimal number at `start`: sign, digits, fraction, exponent. False without any
// digit. The exponent accumulates in 32 bits and wraps, as the player's does
// ("1e4294967297" is 10).
bool scanDecimal(std::string_view text, std::size_t start, DecimalScan& scan)
{
    std::size_t i = start;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t digitsStart = i;
    bool anyDigit = false;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return false;
    const std::size_t mantissaEnd = i;
    scan.numberEnd = scan.textEnd = mantissaEnd;
    std::int32_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '-' || text[j] == '+'))
            ++j;
        std::uint32_t magnitude = 0;
        const std::size_t exponentDigits = j;
        while (j < text.size() && isDigit(text[j]))
            magnitude = magnitude * 10 + static_cast<std::uint32_t>(text[j++] - '0');
        if (j > exponentDigits) {
            exponent = static_cast<std::int32_t>(negativeExponent ? 0u - magnitude : magnitude);
            scan.numberEnd = scan.textEnd = j;
        } else {
            scan.textEnd = j;
        }
    }
    std::string plain(text.substr(digitsStart, mantissaEnd - digitsStart));
    plain += 'e';
    plain += std::to_string(exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    scan.value = negative ? -value : value;
    return true;
}

double toInt32Wrapped(std::uint32_t magnitude, bool negative)
{
    return static_cast<double>(static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude));
}

// "0x1F", "0x-1F": the digits after the marker, all of them hex.
double parseHex(std::string_view text)
{
    std::size_t i = 2;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    if (i == text.size())
        return conversionNaN();
    std::uint32_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = script::hexDigitValue(text[i]);
        if (digit < 0)
            return conversionNaN();
        magnitude = magnitude * 16 + static_cast<std::uint32_t>(digit);
    }
    return toInt32Wrapped(magnitude, negative);
}

// "017", "-017": a sign, a 0 and octal digits only; false for anything else.
bool parseOctal(std::string_view text, double& out)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (text.size() - i < 2 || text[i] != '0')
        return false;
    std::uint32_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '7')
            return false;
        magnitude = magnitude * 8 + static_cast<std::uint32_t>(text[i] - '0');
    }
    out = toInt32Wrapped(magnitude, negative);
    return true;
}

} // namespace

std::string formatNumber(double number)
{
    if (std::isnan(number))
        return "NaN";
    if (std::isinf(number))
        return number > 0 ? "Infinity" : "-Infinity";
    if (number == 0)
        return "0";
    const bool negative = number < 0;
    const double magnitude = std::fabs(number);
    std::string sign = negative ? "-" : "";
    // Integers of up to 15 digits print exactly; the digit loop below would too.
    if (magnitude < 1e15 && std::trunc(magnitude) == magnitude)
        return sign + std::to_string(static_cast<std::uint64_t>(magnitude));

    int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    double scaled = scaledToDigits(magnitude, exponent);
    // log10 can be one off near powers of ten.
    for (int i = 0; i < 2 && (scaled >= 1e15 || scaled < 1e14); ++i) {
        exponent += scaled >= 1e15 ? 1 : -1;
        scaled = scaledToDigits(magnitude, exponent);
    }
    // Exact: below 2^50 a double has no bits finer than an eighth.
    auto digits = static_cast<std::uint64_t>(std::floor(scaled + 0.5));
    if (digits >= 1000000000000000ull) {
        digits = (digits + 5) / 10;
        ++exponent;
    }
    std::string text = std::to_string(digits);
    while (text.size() > 1 && text.back() == '0')
        text.pop_back();
    if (exponent >= -5 && exponent < 15)
        return sign + fixedForm(text, exponent);
    return sign + exponentForm(text, exponent);
}

double parseNumber(std::string_view text, int swfVersion)
{
    if (swfVersion < 5) {
        // SWF 4 players read what number they could and took 0 for the rest.
        std::size_t i = 0;
        while (i < text.size() && isSpace(text[i]))
            ++i;
        DecimalScan scan;
        return scanDecimal(text, i, scan) ? scan.value : 0.0;
    }
    if (swfVersion >= 6) {
        if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            return parseHex(text);
        double octal = 0;
        if (parseOctal(text, octal))
            return octal;
    }
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    DecimalScan scan;
    if (!scanDecimal(text, i, scan) || scan.textEnd != text.size())
        return conversionNaN();
    return scan.value;
}

} // namespace avm1
