#pragma once

#include <QRect>
#include <cstdint>

// The taskbar's rectangle.
namespace mTaskBarSize {

// Left, Top, Right and Bottom in the desktop's pixels, right and bottom exclusive.
struct RECT {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    friend bool operator==(const RECT&, const RECT&) = default;
};

// The desktop panel on the primary screen, or all zeros when there is none or the
// platform cannot tell. Asks anew on every call.
RECT GetTaskbarRect();

// The band that the available area leaves free along one edge of the screen; where
// bands are free along several edges, the largest. All zeros for none.
RECT taskbarRectFrom(const QRect& screen, const QRect& available);

} // namespace mTaskBarSize
