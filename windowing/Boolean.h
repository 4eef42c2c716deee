#pragma once

#include <cstdint>

namespace windowing {

// The runtime's 16-bit Boolean: False is 0, True is -1, and any value other than 0
// counts as True.
using Boolean = std::int16_t;
inline constexpr Boolean False = 0;
inline constexpr Boolean True = -1;

inline constexpr bool isTrue(Boolean value)
{
    return value != False;
}

} // namespace windowing
