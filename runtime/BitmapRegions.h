#pragma once

// BitmapData's methods that look at which pixels match something: floodFill,
// threshold, getColorBoundsRect, hitTest and compare. Colours are compared
// unpremultiplied, as scripts see them.

#include "BitmapData.h"

#include <cstdint>
#include <memory>

namespace runtime::bitmap {

// Fills the pixels joined to (x, y) through sides that have its colour. Bounded: each
// pixel is visited once, with a work list no longer than the bitmap.
void floodFill(BitmapData& target, int x, int y, std::uint32_t argb);

enum class Comparison : std::uint8_t {
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    Equal,
    NotEqual
};

struct Threshold {
    Comparison operation = Comparison::Equal;
    std::uint32_t threshold = 0;
    std::uint32_t color = 0;
    std::uint32_t mask = 0xFFFFFFFFu;
    bool copySource = false;
};
// Sets the target's pixels whose source pixel passes (pixel & mask) op (threshold & mask)
// to `color`; the others take the source's pixel when copySource is on. Returns how
// many passed.
std::uint32_t threshold(BitmapData& target, const BitmapData& source, PixelRect sourceRect,
                        int destX, int destY, const Threshold& test);

// The smallest rectangle holding every pixel whose (pixel & mask) equals `color` (differs
// from it, when `findColor` is off); empty when there is none. Both are taken as the
// bitmap stores them, premultiplied, as the reference compares them.
PixelRect colorBounds(const BitmapData& bitmap, std::uint32_t mask, std::uint32_t color,
                      bool findColor);

// Whether a pixel of `rect` (in the bitmap's pixels) has at least `alphaThreshold`.
bool anyOpaqueIn(const BitmapData& bitmap, PixelRect rect, std::uint32_t alphaThreshold);
// Whether two bitmaps, the second placed at (dx, dy) of the first, have a pixel where
// both reach their thresholds.
bool opaqueOverlap(const BitmapData& first, std::uint32_t firstThreshold, const BitmapData& second,
                   int dx, int dy, std::uint32_t secondThreshold);

// compare(): null when the two are the same; otherwise a bitmap of their differences:
// 0 where a pixel is the same, the difference of the colour (its blue difference in
// every channel) at full alpha where the colours differ, and white with the alpha
// difference where only the alpha does. Sizes must match.
std::shared_ptr<BitmapData> compare(const BitmapData& first, const BitmapData& second);

} // namespace runtime::bitmap
