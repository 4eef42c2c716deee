#pragma once

// Writing characters as UTF-8, as both machines keep their strings.
#include <string>

namespace script {

// A surrogate or a value past U+10FFFF is written as U+FFFD: a code point alone never
// makes a surrogate's three-byte form.
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace script
