#pragma once

// What BitmapData does to its pixels, one function per script method. Rectangles and
// points are the script's, already made whole numbers; each function clips them to the
// bitmaps involved, so any value is safe. Source and destination may be one bitmap.
// Channel masks are the script's: 1 red, 2 green, 4 blue, 8 alpha.

#include "BitmapData.h"

#include <array>
#include <cstdint>
#include <optional>

namespace runtime::bitmap {

enum Channel : std::uint32_t { Red = 1, Green = 2, Blue = 4, Alpha = 8 };

// A rectangle of `source` and where it lands in a destination, cut to both.
struct CopyArea {
    PixelRect source; // in the source's pixels
    int destX = 0, destY = 0;
    bool empty() const { return source.empty(); }
};
CopyArea clipCopy(PixelRect sourceRect, int sourceWidth, int sourceHeight, int destX, int destY,
                  int destWidth, int destHeight);

// The part of `rect` inside the bitmap.
PixelRect clipTo(const BitmapData& bitmap, PixelRect rect);

void fillRect(BitmapData& target, PixelRect rect, std::uint32_t argb);

// Copies the pixels; `mergeAlpha` blends them over what the target has, as an opaque
// target always does. A transparent alpha source (placed at its x, y over the source
// rectangle) fades them by its alpha, and only what it covers is copied.
struct AlphaSource {
    const BitmapData* bitmap = nullptr;
    int x = 0, y = 0;
};
void copyPixels(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                int destY, AlphaSource alpha, bool mergeAlpha);

// One channel of the source into one of the target; a source mask naming several or no
// channels copies zeros, a target mask naming several or none changes nothing.
void copyChannel(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                 int destY, std::uint32_t sourceChannel, std::uint32_t destChannel);

// A colour transform on the unpremultiplied channels: multipliers and offsets as the
// script gave them, red, green, blue, alpha.
struct ChannelTransform {
    std::array<double, 4> multiplier{1, 1, 1, 1};
    std::array<double, 4> offset{0, 0, 0, 0};
};
void colorTransform(BitmapData& target, PixelRect rect, const ChannelTransform& transform);

// Blends each channel: (source * multiplier + target * (256 - multiplier)) / 256.
void merge(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX, int destY,
           const std::array<std::int32_t, 4>& multipliers);

// Moves the picture by (dx, dy); what is uncovered keeps its old pixels.
void scroll(BitmapData& target, int dx, int dy);

// Each channel's value picks an entry of its table; the entries of the four are added.
// A missing table passes its channel through.
struct PaletteTables {
    std::array<std::optional<std::array<std::uint32_t, 256>>, 4> tables; // r, g, b, a
};
void paletteMap(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                int destY, const PaletteTables& tables);

} // namespace runtime::bitmap
