#include "CaseMapping.h"

#include <unicode/uchar.h>

namespace script {

namespace {

bool assignedByCap(UChar32 c)
{
    UVersionInfo age{};
    u_charAge(c, age);
    if (age[0] != kCaseMappingUnicodeMajor)
        return age[0] < kCaseMappingUnicodeMajor;
    return age[1] <= kCaseMappingUnicodeMinor;
}

char16_t mapped(char16_t c, UChar32 (*map)(UChar32))
{
    const UChar32 result = map(c);
    if (result == c || result > 0xFFFF)
        return c;
    if (c >= 0x80 && (!assignedByCap(c) || !assignedByCap(result)))
        return c;
    return static_cast<char16_t>(result);
}

std::u16string mapAll(std::u16string_view text, char16_t (*unit)(char16_t))
{
    std::u16string out(text);
    for (char16_t& c : out)
        c = unit(c);
    return out;
}

} // namespace

// ASCII maps without a table look-up: most text is ASCII.
char16_t toUpperCaseUnit(char16_t c)
{
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    return mapped(c, u_toupper);
}

char16_t toLowerCaseUnit(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    return mapped(c, u_tolower);
}

std::u16string toUpperCase(std::u16string_view text)
{
    return mapAll(text, toUpperCaseUnit);
}

std::u16string toLowerCase(std::u16string_view text)
{
    return mapAll(text, toLowerCaseUnit);
}

} // namespace script
