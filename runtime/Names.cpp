#include "Names.h"

namespace runtime {

namespace {

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool sameName(std::string_view a, std::string_view b, NameCase rule)
{
    if (a.size() != b.size())
        return false;
    if (rule == NameCase::Sensitive)
        return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace runtime
