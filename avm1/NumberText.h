#pragma once

// Numbers as text and text as numbers, the way the reference player does both. Pure
// functions without a VM, shared by the conversions and the built-ins.

#include <cstdint>
#include <string>
#include <string_view>

namespace avm1 {

// The NaN a failed conversion gives ("abc" as a number, undefined from SWF 7). The
// player compares NaNs by identity: a NaN equals the very same NaN (the NaN global
// with itself) but not one made elsewhere. Values keep a double's bits when copied,
// so a distinct bit pattern per source stands in for that identity.
double conversionNaN();

// The player's Number to String: NaN, Infinity, -Infinity; otherwise 15 significant
// digits with trailing zeros dropped, plain from 1e-5 up to below 1e15 and in the
// form "1.5e+21" / "5e-7" outside that range. -0 prints as "0".
std::string formatNumber(double number);

// String to Number by a movie version's rules:
// - SWF 4: the longest decimal prefix after leading white space; 0 when there is none.
// - SWF 5 on: leading white space, a sign, digits with an optional fraction and
//   exponent, and nothing after; a bare exponent marker at the end ("5e", "5e-") is
//   ignored. Anything else, the empty string included, is NaN.
// - SWF 6 on also: "0x" followed by an optional minus and hex digits, and a sign and
//   a leading 0 followed by octal digits, both taken as 32-bit integers (wrapping)
//   and only without leading white space.
double parseNumber(std::string_view text, int swfVersion);

} // namespace avm1
