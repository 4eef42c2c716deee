#pragma once

#include <QRect>
#include <QStringView>
#include <cstdint>
#include <optional>

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

// The primary screen as GetTaskbarRect reads it: its whole area and the part of it
// that the desktop's panels leave to windows.
struct ScreenAreas {
    QRect screen;
    QRect available;
};

// GetTaskbarRect's answer for a platform of that name and its primary screen, if any.
RECT taskbarRectOn(QStringView platformName, const std::optional<ScreenAreas>& primary);

// The band that the available area leaves free along one edge of the screen; where
// bands are free along several edges, the largest. All zeros for none.
RECT taskbarRectFrom(const QRect& screen, const QRect& available);

} // namespace mTaskBarSize
