#pragma once

#include "Twips.h"

namespace windowing {

// The screen object: the primary screen's size in twips (15 to a pixel).
class ScreenObject {
public:
    Twips Width() const;
    Twips Height() const;
};

inline constexpr ScreenObject Screen{};

} // namespace windowing
