#include "BitmapOperations.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace runtime::bitmap {

namespace {

using pixel::premultiply;
using pixel::unpremultiply;

std::uint32_t channelShift(std::uint32_t channel)
{
    switch (channel) {
    case Red:
        return 16;
    case Green:
        return 8;
    case Blue:
        return 0;
    default:
        return 24;
    }
}

// x / 255 rounded down, for two 16-bit lanes at once (each at most 255 * 255).
constexpr std::uint32_t divide255(std::uint32_t lanes)
{
    return ((lanes + ((lanes >> 8) & 0x00FF00FFu) + 0x00010001u) >> 8) & 0x00FF00FFu;
}

// `over` painted on `under`, both premultiplied; what shows through is rounded down. The
// channels go two at a time; a premultiplied channel never exceeds its alpha, so the sums
// stay within their bytes.
std::uint32_t sourceOver(std::uint32_t over, std::uint32_t under)
{
    const std::uint32_t a = over >> 24;
    if (a == 255 || under == 0)
        return over;
    if (a == 0)
        return under;
    const std::uint32_t keep = 255 - a;
    const std::uint32_t redBlue = divide255((under & 0x00FF00FFu) * keep);
    const std::uint32_t alphaGreen = divide255((under >> 8 & 0x00FF00FFu) * keep);
    return over + (redBlue | alphaGreen << 8);
}

// A premultiplied pixel faded by `alpha`: every channel times the alpha in 8.8 fixed
// point (255 taken as 256, so an opaque mask keeps the pixel), truncated, as the
// reference fades through an alpha bitmap.
std::uint32_t fade(std::uint32_t premultiplied, std::uint32_t alpha)
{
    const std::uint32_t factor = alpha + (alpha >> 7);
    const std::uint32_t redBlue = ((premultiplied & 0x00FF00FFu) * factor >> 8) & 0x00FF00FFu;
    const std::uint32_t alphaGreen =
        ((premultiplied >> 8 & 0x00FF00FFu) * factor >> 8) & 0x00FF00FFu;
    return redBlue | alphaGreen << 8;
}

// The source rectangle's pixels, taken first when the source is the target itself so
// that overlapping copies read what was there before.
struct SourceRows {
    const std::uint32_t* base = nullptr;
    std::size_t stride = 0;
    std::vector<std::uint32_t> copy;

    SourceRows(const BitmapData& source, const BitmapData& target, const PixelRect& rect)
    {
        base = source.pixels() + static_cast<std::size_t>(rect.y) * source.width() + rect.x;
        stride = static_cast<std::size_t>(source.width());
        if (&source != &target)
            return;
        copy.resize(static_cast<std::size_t>(rect.width) * rect.height);
        for (int y = 0; y < rect.height; ++y)
            std::memcpy(copy.data() + static_cast<std::size_t>(y) * rect.width, base + y * stride,
                        sizeof(std::uint32_t) * rect.width);
        base = copy.data();
        stride = static_cast<std::size_t>(rect.width);
    }
    const std::uint32_t* row(int y) const { return base + static_cast<std::size_t>(y) * stride; }
};

// Runs `pixel(in, out)` over the copy: each source pixel (read before any write when
// the source is the target) with the target pixel at its place.
template <typename PerPixel>
void eachCopiedPixel(BitmapData& target, const BitmapData& source, const CopyArea& area,
                     PerPixel&& pixel)
{
    const PixelRect& r = area.source;
    const SourceRows rows(source, target, r);
    std::uint32_t* out = target.edit();
    for (int y = 0; y < r.height; ++y) {
        const std::uint32_t* in = rows.row(y);
        std::uint32_t* row =
            out + static_cast<std::size_t>(area.destY + y) * target.width() + area.destX;
        for (int x = 0; x < r.width; ++x)
            pixel(in[x], row[x]);
    }
}

} // namespace

CopyArea clipCopy(PixelRect sourceRect, int sourceWidth, int sourceHeight, int destX, int destY,
                  int destWidth, int destHeight)
{
    // 64-bit sums: the script's numbers may be anywhere in 32 bits.
    long long sx = sourceRect.x, sy = sourceRect.y;
    long long w = sourceRect.width, h = sourceRect.height;
    long long dx = destX, dy = destY;
    auto cutLow = [](long long& a, long long& b, long long& size) {
        const long long shift = std::max({0LL, -a, -b});
        a += shift;
        b += shift;
        size -= shift;
    };
    cutLow(sx, dx, w);
    cutLow(sy, dy, h);
    w = std::min({w, sourceWidth - sx, destWidth - dx});
    h = std::min({h, sourceHeight - sy, destHeight - dy});
    CopyArea area;
    if (w <= 0 || h <= 0)
        return area;
    area.source = {static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(w),
                   static_cast<int>(h)};
    area.destX = static_cast<int>(dx);
    area.destY = static_cast<int>(dy);
    return area;
}

PixelRect clipTo(const BitmapData& bitmap, PixelRect rect)
{
    const long long x0 = std::max<long long>(rect.x, 0);
    const long long y0 = std::max<long long>(rect.y, 0);
    const long long x1 =
        std::min<long long>(static_cast<long long>(rect.x) + rect.width, bitmap.width());
    const long long y1 =
        std::min<long long>(static_cast<long long>(rect.y) + rect.height, bitmap.height());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0),
            static_cast<int>(y1 - y0)};
}

void fillRect(BitmapData& target, PixelRect rect, std::uint32_t argb)
{
    const PixelRect area = clipTo(target, rect);
    if (area.empty())
        return;
    const std::uint32_t color = target.storedColor(argb);
    std::uint32_t* pixels = target.edit();
    for (int y = area.y; y < area.bottom(); ++y) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(y) * target.width();
        std::fill(row + area.x, row + area.right(), color);
    }
}

void copyPixels(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                int destY, AlphaSource alpha, bool mergeAlpha)
{
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return;
    // An alpha source without alpha changes nothing; an opaque target always blends, as
    // what it cannot keep of the source's alpha is what shows of its own pixels.
    const BitmapData* mask = alpha.bitmap && alpha.bitmap->transparent() ? alpha.bitmap : nullptr;
    const bool blend = mergeAlpha || !target.transparent();
    const PixelRect& r = area.source;
    const SourceRows rows(source, target, r);
    const std::uint32_t forced = target.transparent() ? 0 : 0xFF000000u;
    std::uint32_t* out = target.edit();
    for (int y = 0; y < r.height; ++y) {
        const std::uint32_t* in = rows.row(y);
        std::uint32_t* row =
            out + static_cast<std::size_t>(area.destY + y) * target.width() + area.destX;
        if (!mask) {
            if (!blend || !source.transparent()) {
                std::memcpy(row, in, sizeof(std::uint32_t) * r.width);
                continue;
            }
            for (int x = 0; x < r.width; ++x)
                row[x] = sourceOver(in[x], row[x]) | forced;
            continue;
        }
        // The alpha source lies over the source rectangle from (alpha.x, alpha.y); only
        // what it covers is copied, faded by its alpha.
        const long long ay = static_cast<long long>(alpha.y) + (r.y - sourceRect.y) + y;
        if (ay < 0 || ay >= mask->height())
            continue;
        for (int x = 0; x < r.width; ++x) {
            const long long ax = static_cast<long long>(alpha.x) + (r.x - sourceRect.x) + x;
            if (ax < 0 || ax >= mask->width())
                continue;
            const std::uint32_t p = fade(in[x], pixel::alpha(mask->at(int(ax), int(ay))));
            row[x] = (blend ? sourceOver(p, row[x]) : p) | forced;
        }
    }
}

void copyChannel(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                 int destY, std::uint32_t sourceChannel, std::uint32_t destChannel)
{
    // The target takes one channel (an opaque one keeps its alpha); a source mask that
    // names no single channel gives zeros.
    auto single = [](std::uint32_t c) { return c == Red || c == Green || c == Blue || c == Alpha; };
    if (!single(destChannel))
        return;
    const bool fromSource = single(sourceChannel);
    if (destChannel == Alpha && !target.transparent())
        return;
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return;
    const std::uint32_t from = channelShift(sourceChannel);
    const std::uint32_t to = channelShift(destChannel);
    eachCopiedPixel(target, source, area, [&](std::uint32_t in, std::uint32_t& out) {
        const std::uint32_t value = fromSource ? unpremultiply(in) >> from & 0xFF : 0;
        std::uint32_t color = unpremultiply(out);
        color = (color & ~(0xFFu << to)) | value << to;
        out = target.storedColor(color);
    });
}

void colorTransform(BitmapData& target, PixelRect rect, const ChannelTransform& transform)
{
    const PixelRect area = clipTo(target, rect);
    if (area.empty())
        return;
    std::uint32_t* pixels = target.edit();
    for (int y = area.y; y < area.bottom(); ++y) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(y) * target.width();
        for (int x = area.x; x < area.right(); ++x) {
            const std::uint32_t color = unpremultiply(row[x]);
            std::uint32_t out = 0;
            for (int c = 0; c < 4; ++c) {
                const std::uint32_t shift = c == 3 ? 24 : 16 - 8 * c;
                const double value =
                    (color >> shift & 0xFF) * transform.multiplier[c] + transform.offset[c];
                const double clamped = std::isnan(value) ? 0 : std::clamp(value, 0.0, 255.0);
                out |= static_cast<std::uint32_t>(clamped) << shift;
            }
            row[x] = target.storedColor(out);
        }
    }
}

void merge(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX, int destY,
           const std::array<std::int32_t, 4>& multipliers)
{
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return;
    eachCopiedPixel(target, source, area, [&](std::uint32_t in, std::uint32_t& out) {
        const std::uint32_t s = unpremultiply(in);
        const std::uint32_t d = unpremultiply(out);
        std::uint32_t color = 0;
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t shift = c == 3 ? 24 : 16 - 8 * c;
            const long long m = multipliers[c];
            const long long value =
                ((s >> shift & 0xFF) * m + (d >> shift & 0xFF) * (256 - m)) / 256;
            color |= static_cast<std::uint32_t>(value & 0xFF) << shift;
        }
        out = target.storedColor(color);
    });
}

void scroll(BitmapData& target, int dx, int dy)
{
    const CopyArea area =
        clipCopy(target.rect(), target.width(), target.height(), target.rect().x + dx,
                 target.rect().y + dy, target.width(), target.height());
    if (area.empty())
        return;
    copyPixels(target, target, area.source, area.destX, area.destY, {}, false);
}

void paletteMap(BitmapData& target, const BitmapData& source, PixelRect sourceRect, int destX,
                int destY, const PaletteTables& tables)
{
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return;
    constexpr std::uint32_t shifts[4] = {16, 8, 0, 24};
    eachCopiedPixel(target, source, area, [&](std::uint32_t in, std::uint32_t& out) {
        const std::uint32_t color = unpremultiply(in);
        std::uint32_t sum = 0;
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t value = color >> shifts[c] & 0xFF;
            sum += tables.tables[c] ? (*tables.tables[c])[value] : value << shifts[c];
        }
        out = target.storedColor(sum);
    });
}

} // namespace runtime::bitmap
