#pragma once

// The pixels scripts make and change (BitmapData): premultiplied ARGB words, as the
// renderer and the decoded movie bitmaps keep them, so a bitmap is shown without a
// conversion. Colours cross the boundary unpremultiplied (0xAARRGGBB as scripts write
// them); the conversions round as the reference does, so that a colour read back is
// the one it would give.
//
// A bitmap is shared: scripts hold it, clips show it (attachBitmap), fills paint with it.
// The pixels are copied on write while a snapshot of them is out, so a draw list keeps
// the picture it was built with whatever scripts do meanwhile. Each change bumps the
// version and the content of every display object showing the bitmap.

#include "format/Bitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace runtime {

class DisplayObject;

namespace pixel {

constexpr std::uint32_t alpha(std::uint32_t argb)
{
    return argb >> 24;
}

// 0xAARRGGBB to its premultiplied form: each channel times alpha / 255, rounded.
constexpr std::uint32_t premultiply(std::uint32_t argb)
{
    const std::uint32_t a = argb >> 24;
    if (a == 255)
        return argb;
    if (a == 0)
        return 0;
    auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | scale(argb >> 16 & 0xFF) << 16 | scale(argb >> 8 & 0xFF) << 8 |
           scale(argb & 0xFF);
}

// The premultiplied form back to a colour: each channel times 255 / alpha, rounded with
// halves going down.
constexpr std::uint32_t unpremultiply(std::uint32_t premultiplied)
{
    const std::uint32_t a = premultiplied >> 24;
    if (a == 255)
        return premultiplied;
    if (a == 0)
        return 0;
    const std::uint32_t reciprocal = 255 * 256 / a;
    auto scale = [reciprocal](std::uint32_t c) {
        const std::uint32_t value = (c * reciprocal + 127) >> 8;
        return value > 255 ? 255u : value;
    };
    return a << 24 | scale(premultiplied >> 16 & 0xFF) << 16 |
           scale(premultiplied >> 8 & 0xFF) << 8 | scale(premultiplied & 0xFF);
}

} // namespace pixel

// A rectangle of pixels; empty when either side is not positive.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

class BitmapData {
public:
    // Every pixel `argb` (an opaque bitmap drops its alpha). Sizes are the caller's to
    // check against limits::kMaxBitmapSide and kMaxBitmapPixels.
    BitmapData(int width, int height, bool transparent, std::uint32_t argb);
    // A copy of a decoded bitmap (loadBitmap); opaque when every pixel is.
    explicit BitmapData(const swf::Bitmap& source);
    ~BitmapData();
    BitmapData(const BitmapData&) = delete;
    BitmapData& operator=(const BitmapData&) = delete;

    // The pixels of every bitmap alive in the process, against limits::kMaxLiveBitmapPixels.
    static std::uint64_t livePixels();

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool transparent() const { return m_transparent; }
    PixelRect rect() const { return {0, 0, m_width, m_height}; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // dispose(): the pixels go; every operation after it does nothing.
    bool disposed() const { return m_disposed; }
    void dispose();

    // Premultiplied pixels, row after row.
    const std::uint32_t* pixels() const { return m_image->pixels.data(); }
    std::uint32_t at(int x, int y) const
    {
        return m_image->pixels[static_cast<std::size_t>(y) * m_width + x];
    }
    // The colour at (x, y) unpremultiplied; 0 outside.
    std::uint32_t argbAt(int x, int y) const;
    // Sets (x, y) to a colour (alpha dropped for an opaque bitmap); nothing outside.
    void setArgb(int x, int y, std::uint32_t argb);

    // The pixels for writing: an operation takes them once, writes, and so counts as
    // one change. Premultiplied; an opaque bitmap's writers keep alpha at 255.
    std::uint32_t* edit();
    // The pixels as they are now, for a draw list or a renderer: never changed after.
    std::shared_ptr<const swf::Bitmap> snapshot() const { return m_image; }
    // Bumped by every change: whoever keeps something made from the pixels compares it.
    std::uint64_t version() const { return m_version; }
    // Unlike any other bitmap's, now or before, and changed with the pixels: a key for
    // what is made from them that outlives the bitmap.
    std::uint64_t stamp() const { return m_stamp; }

    // A display object that shows the pixels: it is marked changed with them.
    void addViewer(const std::shared_ptr<DisplayObject>& viewer);

    // The colour the bitmap stores for `argb`: premultiplied, opaque if it is.
    std::uint32_t storedColor(std::uint32_t argb) const
    {
        return m_transparent ? pixel::premultiply(argb) : (argb | 0xFF000000u);
    }
    // The same for a premultiplied pixel copied in: an opaque bitmap keeps it as it
    // shows over black.
    std::uint32_t storedPixel(std::uint32_t premultiplied) const
    {
        return m_transparent ? premultiplied : (premultiplied | 0xFF000000u);
    }

private:
    void changed();

    int m_width = 0;
    int m_height = 0;
    bool m_transparent = true;
    bool m_disposed = false;
    std::uint64_t m_version = 0;
    std::uint64_t m_stamp = 0;
    std::shared_ptr<swf::Bitmap> m_image;
    std::vector<std::weak_ptr<DisplayObject>> m_viewers;
};

using BitmapDataPtr = std::shared_ptr<BitmapData>;

} // namespace runtime
