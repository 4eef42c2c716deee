#include "Names.h"

#include "NameFolding.h"

namespace runtime {

bool sameLabel(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAsciiLetter(static_cast<unsigned char>(a[i])) !=
            foldAsciiLetter(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool sameName(std::string_view a, std::string_view b, NameCase rule)
{
    if (rule == NameCase::Sensitive)
        return a == b;
    if (isAsciiText(a) && isAsciiText(b))
        return sameLabel(a, b);
    return foldedName(a) == foldedName(b);
}

} // namespace runtime
