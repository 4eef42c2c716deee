#include "ParseNumber.h"

#include "NumberScan.h"
#include "StringToNumber.h"

#include <limits>

namespace script {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The text after leading string spaces and a sign, and whether the sign was minus.
std::u16string_view skipSpaceAndSign(std::u16string_view text, bool& negative)
{
    std::size_t at = 0;
    while (at < text.size() && isStringSpace(text[at]))
        ++at;
    negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    return text.substr(at);
}

} // namespace

double parseInt(std::u16string_view text, std::int32_t radix)
{
    bool negative = false;
    std::u16string_view rest = skipSpaceAndSign(text, negative);
    if (radix != 0 && (radix < 2 || radix > 36))
        return kNaN;
    const bool hexPrefix =
        rest.size() >= 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X');
    if (radix == 0)
        radix = hexPrefix ? 16 : 10;
    if (radix == 16 && hexPrefix)
        rest.remove_prefix(2);
    std::size_t length = 0;
    while (length < rest.size() && scan::digitValue(rest[length]) < radix)
        ++length;
    if (length == 0)
        return kNaN;
    const double value = scan::digitsValue(rest.substr(0, length), radix);
    return negative ? -value : value;
}

double parseFloat(std::u16string_view text)
{
    bool negative = false;
    const std::u16string_view rest = skipSpaceAndSign(text, negative);
    double value = kNaN;
    if (scan::startsWithInfinity(rest)) {
        value = std::numeric_limits<double>::infinity();
    } else if (const std::size_t length = scan::decimalLength(rest); length > 0) {
        value = scan::decimalValue(rest.substr(0, length));
    }
    return negative ? -value : value;
}

} // namespace script
