#include "BitmapRegions.h"

#include "BitmapOperations.h"

#include <algorithm>
#include <vector>

namespace runtime::bitmap {

using pixel::unpremultiply;

void floodFill(BitmapData& target, int x, int y, std::uint32_t argb)
{
    if (!target.contains(x, y))
        return;
    const int width = target.width();
    const std::uint32_t from = target.at(x, y);
    const std::uint32_t to = target.storedColor(argb);
    if (from == to)
        return;
    std::uint32_t* pixels = target.edit();
    // Each pixel is pushed at most once: it changes colour as it is pushed.
    std::vector<std::size_t> work;
    auto visit = [&](int px, int py) {
        const std::size_t at = static_cast<std::size_t>(py) * width + px;
        if (pixels[at] != from)
            return;
        pixels[at] = to;
        work.push_back(at);
    };
    visit(x, y);
    while (!work.empty()) {
        const std::size_t at = work.back();
        work.pop_back();
        const int px = static_cast<int>(at % width);
        const int py = static_cast<int>(at / width);
        if (px > 0)
            visit(px - 1, py);
        if (px + 1 < width)
            visit(px + 1, py);
        if (py > 0)
            visit(px, py - 1);
        if (py + 1 < target.height())
            visit(px, py + 1);
    }
}

namespace {

bool passes(Comparison operation, std::uint32_t value, std::uint32_t threshold)
{
    switch (operation) {
    case Comparison::Less:
        return value < threshold;
    case Comparison::LessOrEqual:
        return value <= threshold;
    case Comparison::Greater:
        return value > threshold;
    case Comparison::GreaterOrEqual:
        return value >= threshold;
    case Comparison::Equal:
        return value == threshold;
    case Comparison::NotEqual:
        return value != threshold;
    }
    return false;
}

} // namespace

std::uint32_t threshold(BitmapData& target, const BitmapData& source, PixelRect sourceRect,
                        int destX, int destY, const Threshold& test)
{
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return 0;
    const PixelRect& r = area.source;
    // Read before writing: the source may be the target.
    std::vector<std::uint32_t> in(static_cast<std::size_t>(r.width) * r.height);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            in[static_cast<std::size_t>(y) * r.width + x] = source.at(r.x + x, r.y + y);
    const std::uint32_t color = target.storedColor(test.color);
    const std::uint32_t limit = test.threshold & test.mask;
    std::uint32_t count = 0;
    std::uint32_t* out = target.edit();
    for (int y = 0; y < r.height; ++y) {
        std::uint32_t* row =
            out + static_cast<std::size_t>(area.destY + y) * target.width() + area.destX;
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t stored = in[static_cast<std::size_t>(y) * r.width + x];
            if (passes(test.operation, unpremultiply(stored) & test.mask, limit)) {
                row[x] = color;
                ++count;
            } else if (test.copySource) {
                row[x] = target.storedPixel(stored);
            }
        }
    }
    return count;
}

PixelRect colorBounds(const BitmapData& bitmap, std::uint32_t mask, std::uint32_t color,
                      bool findColor)
{
    // An opaque bitmap's alpha always takes part: its pixels and the colour sought are
    // both fully opaque there, whatever the mask says.
    const std::uint32_t stored = bitmap.storedColor(color);
    if (!bitmap.transparent())
        mask |= 0xFF000000u;
    int minX = bitmap.width(), minY = bitmap.height(), maxX = -1, maxY = -1;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const bool match = (bitmap.at(x, y) & mask) == stored;
            if (match != findColor)
                continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    // The reference reports nothing when the top-left pixel is the only one found: its
    // search starts from that corner and takes it for the "none" answer.
    if (maxX <= 0 && maxY <= 0)
        return {};
    return {minX, minY, maxX - minX + 1, maxY - minY + 1};
}

bool anyOpaqueIn(const BitmapData& bitmap, PixelRect rect, std::uint32_t alphaThreshold)
{
    const PixelRect area = clipTo(bitmap, rect);
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x)
            if (pixel::alpha(bitmap.at(x, y)) >= alphaThreshold)
                return true;
    return false;
}

bool opaqueOverlap(const BitmapData& first, std::uint32_t firstThreshold, const BitmapData& second,
                   int dx, int dy, std::uint32_t secondThreshold)
{
    const CopyArea area = clipCopy(second.rect(), second.width(), second.height(), dx, dy,
                                   first.width(), first.height());
    const PixelRect& r = area.source;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (pixel::alpha(second.at(r.x + x, r.y + y)) >= secondThreshold &&
                pixel::alpha(first.at(area.destX + x, area.destY + y)) >= firstThreshold)
                return true;
    return false;
}

std::shared_ptr<BitmapData> compare(const BitmapData& first, const BitmapData& second)
{
    auto result = std::make_shared<BitmapData>(first.width(), first.height(), true, 0);
    bool different = false;
    std::uint32_t* out = result->edit();
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const std::uint32_t a = unpremultiply(first.at(x, y));
            const std::uint32_t b = unpremultiply(second.at(x, y));
            std::uint32_t difference = 0;
            if ((a & 0xFFFFFF) != (b & 0xFFFFFF)) {
                const std::uint32_t blue = ((a & 0xFF) - (b & 0xFF)) & 0xFF;
                difference = 0xFF000000u | blue << 16 | blue << 8 | blue;
            } else if (a != b) {
                difference = (((a >> 24) - (b >> 24)) & 0xFF) << 24 | 0xFFFFFF;
            }
            if (difference != 0) {
                different = true;
                out[static_cast<std::size_t>(y) * first.width() + x] =
                    pixel::premultiply(difference);
            }
        }
    }
    return different ? result : nullptr;
}

} // namespace runtime::bitmap
