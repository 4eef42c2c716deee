#pragma once

// The global functions parseInt and parseFloat over their string argument: each reads
// the longest number at the start of the text (after white space) and ignores the
// rest. ActionScript 3 reads a leading 0 as a decimal digit, never as an octal prefix.
#include <cstdint>
#include <string_view>

namespace script {

// parseInt(text, radix), radix already converted to an integer: 0 means 10, or 16 when
// the digits start with 0x; outside 2..36 the result is NaN. Powers of two and radix
// 10 round exactly; other radices may be off in the last bits past 2^53.
double parseInt(std::u16string_view text, std::int32_t radix);

// parseFloat(text): an optional sign, then Infinity or a decimal literal; "0x1" is 0.
double parseFloat(std::u16string_view text);

} // namespace script
