#pragma once

// Loaded text read "in the system's code page" (System.useCodepage): what the reference
// does with files that are not UTF-8. Text that is well-formed UTF-8 stays so; text that
// reads as Japanese Shift-JIS (CP932) is converted from it; anything else is read as
// Windows-1252, the western systems' code page.
#include <cstdint>
#include <span>
#include <string>

namespace avm1 {

enum class LegacyEncoding : std::uint8_t { Utf8, ShiftJis, Windows1252 };

// Which reading `bytes` get.
LegacyEncoding detectLegacyEncoding(std::span<const std::uint8_t> bytes);

// The bytes as UTF-8 in that reading.
std::string codePageText(std::span<const std::uint8_t> bytes);

} // namespace avm1
