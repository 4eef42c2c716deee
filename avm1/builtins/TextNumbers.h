#pragma once

// The global parseInt and parseFloat over text, as the reference reads it.

#include <optional>
#include <string_view>

namespace avm1 {

// parseInt(text, radix). Without a radix, a leading "0x" means hexadecimal and a whole
// text of octal digits after a "0" (and an optional sign) means octal; leading blanks
// turn both off. NaN when no digit is read or the radix is outside 2 to 36.
double parseIntText(std::string_view text, std::optional<double> radix);

// parseFloat(text): decimal digits with one point, an optional exponent; NaN when no
// digit is read. "Infinity" is not a number to it.
double parseFloatText(std::string_view text);

} // namespace avm1
