#include "Twips.h"

#include <cmath>
#include <limits>

namespace windowing {

int toPixels(Twips twips)
{
    const double pixels = static_cast<double>(twips) / kTwipsPerPixel;
    if (std::isnan(pixels))
        return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (pixels >= kMax)
        return std::numeric_limits<int>::max();
    if (pixels <= kMin)
        return std::numeric_limits<int>::min();
    return static_cast<int>(std::nearbyint(pixels));
}

QRect toPixelRect(Twips left, Twips top, Twips width, Twips height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace windowing
