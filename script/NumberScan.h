#pragma once

// The pieces ToNumber, parseInt and parseFloat share: finding a decimal literal in
// text and turning runs of digits into the nearest double.
#include <cstddef>
#include <string_view>

namespace script::scan {

// The value of a digit in radices up to 36 ('a' and 'A' are 10), or 36 for any other
// character.
int digitValue(char16_t c);

// The length of the longest prefix of `text` that is a decimal literal without a sign:
// digits, an optional point and digits, an optional exponent. 0 when there is none.
std::size_t decimalLength(std::u16string_view text);

// The double nearest to a decimal literal that decimalLength accepted whole.
double decimalValue(std::u16string_view literal);

// The double nearest to the digits in `radix`, 2 <= radix <= 36, each digit valid.
// Exact rounding for powers of two and for radix 10; other radices add digit by digit.
double digitsValue(std::u16string_view digits, int radix);

// "Infinity" at the start of `text`.
bool startsWithInfinity(std::u16string_view text);

} // namespace script::scan
