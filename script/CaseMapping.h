#pragma once

// String.toUpperCase and toLowerCase (and their locale forms, which the reference
// treats alike): each UTF-16 code unit through Unicode's simple one-to-one case mapping,
// so the length never changes ("ß" stays, U+0587 stays). The reference's tables are
// older than the Unicode the system's ICU has: mappings that reach a character Unicode
// added after kCaseMappingUnicode (Georgian capitals of 11.0, Cherokee small letters of
// 8.0) are left out, so "ა" stays "ა" as in the reference.
#include <string>
#include <string_view>

namespace script {

// The Unicode version whose characters case mapping may reach: the one current when
// the reference's virtual machine appeared (5.0, 2006).
inline constexpr int kCaseMappingUnicodeMajor = 5;
inline constexpr int kCaseMappingUnicodeMinor = 0;

char16_t toUpperCaseUnit(char16_t c);
char16_t toLowerCaseUnit(char16_t c);

std::u16string toUpperCase(std::u16string_view text);
std::u16string toLowerCase(std::u16string_view text);

} // namespace script
