#pragma once

// Numbers as ActionScript 3 prints them: ECMAScript's layouts (String(n), toFixed,
// toPrecision, toExponential) over the exact decimal value of the double, with the
// reference's departures: magnitudes from 1e21 print 15 significant digits, and
// toPrecision never turns small numbers into exponents. (ActionScript 1 prints with
// 15 digits throughout: avm1/NumberText.)
#include <string>

namespace script {

// String(n): the shortest digits that read back as n.
std::string numberToString(double value);
// toFixed(digits), 0 <= digits <= 20: the value rounded at `digits` decimals, ties away
// from zero, in fixed notation at any magnitude. From about 1e19 the reference keeps
// fewer exact digits of the integer part (16 to 20, growing with `digits`, the rest
// zeros); this prints them all.
std::string numberToFixed(double value, int digits);
// toPrecision(precision), 1 <= precision <= 21: `precision` significant digits; an
// exponent only when the integer part would need more digits than that.
std::string numberToPrecision(double value, int precision);
// toExponential(digits), 0 <= digits <= 20: one digit, the point, `digits` more.
std::string numberToExponential(double value, int digits);
// toString(radix), 2 <= radix <= 36: integers exactly; fractions to 52 bits' worth.
std::string numberToRadix(double value, int radix);

} // namespace script
