#include "NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace script {

namespace {

// A positive finite number as significant digits (no leading or trailing zeros) and the
// power of ten of the first: value = d.ddd x 10^exponent.
struct Digits {
    std::string digits;
    int exponent = 0;
};

Digits fromScientific(std::string_view text)
{
    Digits out;
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.')
            out.digits += c;
    // from_chars takes a minus sign but no plus.
    const std::size_t start = text[e + 1] == '+' ? e + 2 : e + 1;
    std::from_chars(text.data() + start, text.data() + text.size(), out.exponent);
    while (out.digits.size() > 1 && out.digits.back() == '0')
        out.digits.pop_back();
    return out;
}

// The shortest digits that read back as the value.
Digits shortestDigits(double value)
{
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific);
    return fromScientific(std::string_view(buffer.data(), end.ptr - buffer.data()));
}

// Every digit of the double's exact value: a double's expansion has at most 767
// significant digits.
Digits exactDigits(double value)
{
    std::array<char, 800> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific, 780);
    return fromScientific(std::string_view(buffer.data(), end.ptr - buffer.data()));
}

// Keeps `count` significant digits (at least one), rounding the exact value half away
// from zero: the dropped part is at least half exactly when its first digit is 5 or
// more, since the digits are exact.
Digits roundedTo(Digits d, int count)
{
    if (count <= 0) {
        // Rounding at or above the first digit's place: nothing, or one unit of the
        // place kept, which is only reached from a first digit of 5 or more there.
        if (count == 0 && d.digits[0] >= '5')
            return Digits{"1", d.exponent + 1};
        return Digits{"0", d.exponent};
    }
    if (static_cast<int>(d.digits.size()) <= count) {
        d.digits.append(static_cast<std::size_t>(count) - d.digits.size(), '0');
        return d;
    }
    const bool up = d.digits[static_cast<std::size_t>(count)] >= '5';
    d.digits.resize(static_cast<std::size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9')
            d.digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            ++d.exponent;
        }
    }
    return d;
}

std::string exponentText(int exponent)
{
    return std::string(exponent < 0 ? "e-" : "e+") + std::to_string(std::abs(exponent));
}

// d.ddd followed by the exponent.
std::string scientific(const Digits& d)
{
    std::string out(1, d.digits[0]);
    if (d.digits.size() > 1)
        out += "." + d.digits.substr(1);
    return out + exponentText(d.exponent);
}

// The digits laid out without an exponent, `decimals` places after the point.
std::string fixed(const Digits& d, int decimals)
{
    std::string integer;
    std::string fraction;
    const int n = d.exponent + 1; // digits before the point
    for (int i = 0; i < n; ++i)
        integer +=
            i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
    if (integer.empty())
        integer = "0";
    for (int i = 0; i < decimals; ++i) {
        const int at = n + i;
        fraction += at >= 0 && at < static_cast<int>(d.digits.size())
                        ? d.digits[static_cast<std::size_t>(at)]
                        : '0';
    }
    return decimals > 0 ? integer + "." + fraction : integer;
}

// NaN and the infinities, which every form prints the same; empty for other values.
std::string special(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    return {};
}

} // namespace

std::string numberToString(double value)
{
    if (std::string s = special(value); !s.empty())
        return s;
    if (value == 0)
        return "0";
    if (value < 0)
        return "-" + numberToString(-value);
    Digits d = shortestDigits(value);
    const int k = static_cast<int>(d.digits.size());
    const int n = d.exponent + 1;
    if (n > 21) {
        // The reference cuts large magnitudes to 15 digits, without rounding.
        if (k > 15)
            d.digits.resize(15);
        while (d.digits.size() > 1 && d.digits.back() == '0')
            d.digits.pop_back();
        return scientific(d);
    }
    if (k <= n)
        return d.digits + std::string(static_cast<std::size_t>(n - k), '0');
    if (n > 0)
        return d.digits.substr(0, static_cast<std::size_t>(n)) + "." +
               d.digits.substr(static_cast<std::size_t>(n));
    if (n > -6)
        return "0." + std::string(static_cast<std::size_t>(-n), '0') + d.digits;
    return scientific(d);
}

std::string numberToFixed(double value, int digits)
{
    if (std::string s = special(value); !s.empty())
        return s;
    if (value < 0)
        return "-" + numberToFixed(-value, digits);
    if (value == 0)
        return fixed(Digits{"0", 0}, digits);
    const Digits exact = exactDigits(value);
    // Significant digits down to the last decimal kept.
    const Digits rounded = roundedTo(exact, exact.exponent + 1 + digits);
    return fixed(rounded, digits);
}

std::string numberToPrecision(double value, int precision)
{
    if (std::string s = special(value); !s.empty())
        return s;
    if (value < 0)
        return "-" + numberToPrecision(-value, precision);
    Digits d = value == 0 ? Digits{std::string(static_cast<std::size_t>(precision), '0'), 0}
                          : roundedTo(exactDigits(value), precision);
    if (d.exponent >= precision)
        return scientific(d);
    // In fixed notation whatever the magnitude below 1: the reference never writes
    // an exponent there.
    return fixed(d, precision - 1 - d.exponent);
}

std::string numberToExponential(double value, int digits)
{
    if (std::string s = special(value); !s.empty())
        return s;
    if (value < 0)
        return "-" + numberToExponential(-value, digits);
    if (value == 0)
        return scientific(Digits{std::string(static_cast<std::size_t>(digits) + 1, '0'), 0});
    return scientific(roundedTo(exactDigits(value), digits + 1));
}

std::string numberToRadix(double value, int radix)
{
    if (radix == 10)
        return numberToString(value);
    if (std::string s = special(value); !s.empty())
        return s;
    if (value < 0)
        return "-" + numberToRadix(-value, radix);
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    double integer = std::floor(value);
    double fraction = value - integer;
    std::string whole;
    // Division by the radix is exact for the integers a double holds below 2^53, and
    // deterministic above, where the low digits are only approximate anyway.
    do {
        const double digit = std::fmod(integer, radix);
        whole.insert(whole.begin(), kDigits[static_cast<int>(digit)]);
        integer = std::floor(integer / radix);
    } while (integer > 0);
    if (fraction == 0)
        return whole;
    // As many digits as a double's 52 fraction bits fill, and no more.
    const int limit = static_cast<int>(std::ceil(52 / std::log2(radix)));
    std::string part;
    for (int i = 0; i < limit && fraction > 0; ++i) {
        fraction *= radix;
        const double digit = std::floor(fraction);
        part += kDigits[static_cast<int>(digit)];
        fraction -= digit;
    }
    while (!part.empty() && part.back() == '0')
        part.pop_back();
    return part.empty() ? whole : whole + "." + part;
}

} // namespace script
