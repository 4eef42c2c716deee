#pragma once

#include <cstdint>

namespace render {

// A run of interleaved 8-bit channels: an image's pixels or a single alpha plane.
struct PixelPlane {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;   // bytes from one row to the next
    int channels = 1; // bytes per pixel, all blurred alike
};

// The box width, in whole odd pixels, of a blur of `size` pixels; 1 leaves the image as is.
int boxWidth(double size);

// Blurs in place with a box of `boxX` by `boxY` pixels, `passes` times: separable
// running sums, one pass along the rows, one down the columns, so each costs the same
// whatever the box. Pixels outside the plane count as zero.
void boxBlur(const PixelPlane& plane, int boxX, int boxY, int passes);

} // namespace render
