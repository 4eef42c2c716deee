#pragma once

// ToNumber of a string, as ActionScript 3 converts one: surrounding white space and
// line terminators dropped, nothing left reads as 0, then a decimal literal, Infinity
// or a hexadecimal integer, each with an optional sign (the reference takes "-0x10"
// as -16, where ECMAScript 3 gives NaN); anything else is NaN.
#include <string_view>

namespace script {

// White space and line terminators as string conversions skip them: tab, vertical tab,
// form feed, space, no-break space, the other space separators (Zs), LF, CR, U+2028,
// U+2029.
bool isStringSpace(char16_t c);

// `text` without the string spaces at either end.
std::u16string_view trimStringSpace(std::u16string_view text);

double stringToNumber(std::u16string_view text);

} // namespace script
