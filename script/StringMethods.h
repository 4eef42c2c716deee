#pragma once

// The String methods that are pure functions of UTF-16 text and numbers, with
// ECMAScript's coercion of positions: the machine converts each argument to a Number
// (supplying ActionScript 3's defaults for missing ones, kToEnd where the method's
// default is 0x7FFFFFFF) and passes it here.
#include <cstdint>
#include <string>
#include <string_view>

namespace script {

// ActionScript 3's default for an end, a length or lastIndexOf's start: 0x7FFFFFFF.
inline constexpr double kToEnd = 2147483647.0;

// The first index at or after `position` (clamped to the text) where `search` starts,
// or -1.
std::int32_t indexOf(std::u16string_view text, std::u16string_view search, double position);
// The last index at or before `position` (NaN is the end) where `search` starts, or -1.
std::int32_t lastIndexOf(std::u16string_view text, std::u16string_view search, double position);

// substring(start, end): both clamped to the text (NaN is 0), swapped when reversed.
std::u16string_view substring(std::u16string_view text, double start, double end);
// substr(start, length): a negative start counts from the end; so does an end
// (start + length) before 0.
std::u16string_view substr(std::u16string_view text, double start, double length);
// slice(start, end): negative positions count from the end; empty when reversed.
std::u16string_view slice(std::u16string_view text, double start, double end);

// The code unit at `index` (its fraction dropped), or NaN outside the text.
double charCodeAt(std::u16string_view text, double index);
// The code unit at `index` as a one-unit string, or the empty string outside the text.
std::u16string_view charAt(std::u16string_view text, double index);
// One code unit from each code, taken modulo 2^16.
char16_t fromCharCode(double code);

// localeCompare as the reference does it: the difference of the first code units that
// differ; when one text begins the other, -1 for the shorter and 1 for the longer.
std::int32_t localeCompare(std::u16string_view text, std::u16string_view other);

} // namespace script
