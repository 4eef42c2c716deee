#pragma once

// The integer conversions of numbers: ToInteger, ToInt32, ToUint32, ToUint16, and the
// text of int and uint values (plain decimal digits, a minus sign for negative ints).
#include <cstdint>
#include <string>
#include <string_view>

namespace script {

// NaN is 0; infinities stay; anything else loses its fraction toward zero (keeping
// the sign of -0.5, which becomes -0).
double toInteger(double value);

// The integer modulo 2^32 (NaN and infinities are 0), as signed or unsigned.
std::int32_t toInt32(double value);
std::uint32_t toUint32(double value);
// The integer modulo 2^16, as String.fromCharCode takes its codes.
std::uint16_t toUint16(double value);

std::u16string intToString(std::int32_t value);
std::u16string uintToString(std::uint32_t value);

// Text that is all ASCII (as the number printers make) widened to UTF-16.
std::u16string widenAscii(std::string_view ascii);

} // namespace script
