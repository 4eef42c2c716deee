#pragma once

// Hexadecimal digits as number literals, escape and unescape and the URI functions
// read them.
#include "script/NumberScan.h"

namespace script {

// The value of `c` as a hexadecimal digit, either case; -1 when it is none.
inline int hexDigitValue(char16_t c)
{
    const int value = scan::digitValue(c);
    return value < 16 ? value : -1;
}

} // namespace script
