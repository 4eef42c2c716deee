#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace windowing {

// The window's unit of length: 1/1440 inch, fixed at 15 to a logical pixel (96 dpi),
// whatever the screen's real resolution. Positions and sizes are single-precision, as
// the controls hold them. (The movie's twips, 20 to a pixel, are another type.)
using Twips = float;

inline constexpr int kTwipsPerPixel = 15;

// The nearest pixel, halves to even; values beyond the int range saturate and a value
// that is not a number gives 0.
int toPixels(Twips twips);
inline constexpr Twips fromPixels(int pixels)
{
    return static_cast<Twips>(pixels) * kTwipsPerPixel;
}
inline constexpr Twips fromPixels(double pixels)
{
    return static_cast<Twips>(pixels * kTwipsPerPixel);
}

QRect toPixelRect(Twips left, Twips top, Twips width, Twips height);

} // namespace windowing
