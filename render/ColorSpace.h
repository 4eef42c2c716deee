#pragma once

#include <cmath>

namespace render {

// sRGB channel values (0 to 1) to linear light and back, for gradients that
// interpolate in linear RGB.
inline double toLinear(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

inline double toSrgb(double linear)
{
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

} // namespace render
