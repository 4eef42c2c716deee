#include "script/regexp/RegExpFlags.h"

namespace script::regexp {

RegExpFlags parseRegExpFlags(std::u16string_view text)
{
    RegExpFlags flags;
    for (char16_t c : text) {
        switch (c) {
        case u'g':
            flags.global = true;
            break;
        case u'i':
            flags.ignoreCase = true;
            break;
        case u'm':
            flags.multiline = true;
            break;
        case u's':
            flags.dotAll = true;
            break;
        case u'x':
            flags.extended = true;
            break;
        default:
            break;
        }
    }
    return flags;
}

std::u16string regExpFlagsText(const RegExpFlags& flags)
{
    std::u16string text;
    if (flags.global)
        text += u'g';
    if (flags.ignoreCase)
        text += u'i';
    if (flags.multiline)
        text += u'm';
    if (flags.dotAll)
        text += u's';
    if (flags.extended)
        text += u'x';
    return text;
}

} // namespace script::regexp
