#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Names as movies before SWF 7 compare them: each letter folded to its lowercase
// letter, as the Unicode 3.2 tables of that time's player had them. Text that is not
// UTF-8 (SWF 5 and older keep their bytes) folds its ASCII letters only.
char32_t foldNameLetter(char32_t c);
// The same for the ASCII letters alone, for the common all-ASCII names.
constexpr unsigned char foldAsciiLetter(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
std::string foldedName(std::string_view text);
bool isAsciiText(std::string_view text);

} // namespace runtime
