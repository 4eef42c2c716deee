#pragma once

// The global escape and unescape over UTF-8 text.

#include <functional>
#include <string>
#include <string_view>

namespace script::url {

// Every byte but ASCII letters and digits as %XX (capital hexadecimal).
std::string escapeText(std::string_view text);

// %XX to the byte, "+" to a space. A "%" not followed by a hexadecimal digit is
// dropped with the character after it; one followed by a digit and a non-digit is
// dropped with both. Bytes that do not form UTF-8 are taken as Latin-1 characters.
std::string unescapeText(std::string_view text);

// "a=1&b=2" as name and value pairs, each unescaped; pairs without a name are skipped.
// `take` returns false to stop.
void forEachUrlVariable(
    std::string_view text,
    const std::function<bool(const std::string& name, const std::string& value)>& take);

} // namespace script::url
