#pragma once

#include "Bitmap.h"
#include "Result.h"

#include <cstdint>
#include <span>
#include <string_view>

// The image decoders behind the bitmap tags, and what they share. Internal to the
// format library: the tags' entry points are in Bitmap.h.
namespace swf::image {

// Checks a bitmap's size against the caps of Limits.h, charges the movie's budget and
// only then allocates the pixels, all transparent. `what` names the tag in errors. A
// bitmap with no pixels is allowed and costs nothing.
Result<Bitmap> allocateBitmap(std::uint32_t width, std::uint32_t height, PixelBudget& budget,
                              std::string_view what);

// One premultiplied pixel from straight colour and alpha.
std::uint32_t premultiplied(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
// One pixel from channels that are premultiplied already.
inline std::uint32_t packArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}
// Multiplies every channel of a premultiplied pixel by alpha / 255.
std::uint32_t scaleByAlpha(std::uint32_t pixel, std::uint8_t alpha);

bool isPng(std::span<const std::uint8_t> data);
bool isGif(std::span<const std::uint8_t> data);

// A JPEG image. `tables` is an optional tables-only stream read first (JPEGTables);
// `data` may begin with tables-only streams of its own before the image.
Result<Bitmap> decodeJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> data,
                          PixelBudget& budget, std::string_view what);
Result<Bitmap> decodePng(std::span<const std::uint8_t> data, PixelBudget& budget,
                         std::string_view what);
// The first image of a GIF, on its logical screen.
Result<Bitmap> decodeGif(std::span<const std::uint8_t> data, PixelBudget& budget,
                         std::string_view what);

} // namespace swf::image
