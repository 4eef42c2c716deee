#include "Bitmap.h"

#include "ImageDecoders.h"
#include "Limits.h"

#include <algorithm>
#include <string>

namespace swf {

bool PixelBudget::charge(std::uint64_t pixels)
{
    if (pixels > m_left)
        return false;
    m_left -= pixels;
    return true;
}

namespace image {

Result<Bitmap> allocateBitmap(std::uint32_t width, std::uint32_t height, PixelBudget& budget,
                              std::string_view what)
{
    if (width > limits::kMaxBitmapSide || height > limits::kMaxBitmapSide)
        return makeError(ErrorCode::TooLarge, std::string(what) + ": bitmap width or height");
    const std::uint64_t count = std::uint64_t(width) * height;
    if (count > limits::kMaxBitmapPixels)
        return makeError(ErrorCode::TooLarge, std::string(what) + ": bitmap pixel count");
    if (!budget.charge(count))
        return makeError(ErrorCode::TooLarge, std::string(what) + ": the movie's bitmaps in all");
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<std::size_t>(count), 0);
    return bitmap;
}

std::uint32_t premultiplied(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    auto scale = [a](std::uint8_t c) { return static_cast<std::uint8_t>((c * a + 127) / 255); };
    return packArgb(a, scale(r), scale(g), scale(b));
}

std::uint32_t scaleByAlpha(std::uint32_t pixel, std::uint8_t alpha)
{
    auto scale = [alpha](std::uint32_t c) { return (c * alpha + 127) / 255; };
    return (scale(pixel >> 24) << 24) | (scale((pixel >> 16) & 0xff) << 16) |
           (scale((pixel >> 8) & 0xff) << 8) | scale(pixel & 0xff);
}

bool isPng(std::span<const std::uint8_t> data)
{
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    return data.size() >= sizeof kSignature &&
           std::equal(std::begin(kSignature), std::end(kSignature), data.begin());
}

bool isGif(std::span<const std::uint8_t> data)
{
    // The format names GIF89a; the older GIF87a has the same image layout, so it is
    // accepted too.
    return data.size() >= 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' &&
           data[3] == '8' && (data[4] == '9' || data[4] == '7') && data[5] == 'a';
}

} // namespace image

} // namespace swf
