#pragma once

// BitmapData's methods driven by a seed: noise, pixelDissolve and perlinNoise. The
// random numbers are the Park-Miller minimal standard generator (seed * 16807 mod
// 2^31 - 1), so a seed gives the same picture every time, as scripts rely on.

#include "BitmapData.h"

#include <cstdint>
#include <span>

namespace runtime::bitmap {

class ParkMiller {
public:
    // Seeds outside 1 to 2^31 - 2 are brought into it (0 is 1, -1 is 2).
    explicit ParkMiller(std::int64_t seed);
    std::uint32_t next();
    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state;
};

struct NoiseOptions {
    std::int64_t seed = 0;
    std::uint32_t low = 0, high = 255;
    std::uint32_t channels = 7; // 1 red, 2 green, 4 blue, 8 alpha
    bool grayScale = false;
};
void noise(BitmapData& target, const NoiseOptions& options);

// Copies pixels of the source rectangle (or fills them with `fillColor` when the source
// is the target) in an order the seed decides, every pixel once before any twice: the
// seed's own and `count` more. Returns the seed for the next call, which carries on
// where this one stopped.
std::int64_t pixelDissolve(BitmapData& target, const BitmapData& source, PixelRect sourceRect,
                           int destX, int destY, std::int64_t seed, std::int64_t count,
                           std::uint32_t fillColor);

struct PerlinOptions {
    double baseX = 0, baseY = 0;
    int octaves = 0;
    std::int64_t seed = 0;
    bool stitch = false;
    bool fractal = false;
    std::uint32_t channels = 7;
    bool grayScale = false;
    // Each octave's offset, in pixels; missing ones are 0.
    std::span<const double> offsets; // x0, y0, x1, y1...
};
void perlinNoise(BitmapData& target, const PerlinOptions& options);

} // namespace runtime::bitmap
