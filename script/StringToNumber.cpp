#include "StringToNumber.h"

#include "NumberScan.h"

#include <cmath>
#include <limits>

namespace script {

bool isStringSpace(char16_t c)
{
    switch (c) {
    case 0x09: // tab
    case 0x0A: // line feed
    case 0x0B: // vertical tab
    case 0x0C: // form feed
    case 0x0D: // carriage return
    case 0x20:
    case 0xA0: // no-break space
    case 0x1680:
    case 0x180E: // a space separator in the Unicode of ECMAScript 3's day
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

std::u16string_view trimStringSpace(std::u16string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isStringSpace(text[begin]))
        ++begin;
    while (end > begin && isStringSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

double stringToNumber(std::u16string_view text)
{
    std::u16string_view rest = trimStringSpace(text);
    if (rest.empty())
        return 0.0;
    bool negative = false;
    if (rest[0] == u'+' || rest[0] == u'-') {
        negative = rest[0] == u'-';
        rest.remove_prefix(1);
    }
    double value = std::numeric_limits<double>::quiet_NaN();
    if (rest == u"Infinity") {
        value = std::numeric_limits<double>::infinity();
    } else if (rest.size() > 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X')) {
        const std::u16string_view digits = rest.substr(2);
        for (char16_t c : digits)
            if (scan::digitValue(c) >= 16)
                return std::numeric_limits<double>::quiet_NaN();
        value = scan::digitsValue(digits, 16);
    } else if (!rest.empty() && scan::decimalLength(rest) == rest.size()) {
        value = scan::decimalValue(rest);
    }
    return negative ? -value : value;
}

} // namespace script
