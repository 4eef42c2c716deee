#pragma once

// Hexadecimal digits as number parsing (0x literals) and URL escapes read them.
namespace script {

// The value of `c` as a hexadecimal digit, either case; -1 when it is none.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace script
