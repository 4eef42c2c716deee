#include "ImageDecoders.h"

#include <png.h>
#include <string>
#include <vector>

namespace swf::image {

namespace {

// Frees libpng's state on every way out.
struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

Error pngError(const png_image& image, std::string_view what)
{
    return makeError(ErrorCode::BadValue, std::string(what) + ": PNG data (" + image.message + ")");
}

} // namespace

// libpng's simplified interface reports errors through its return values, so no jump
// crosses our frames. It hands out straight (not premultiplied) 8-bit RGBA.
Result<Bitmap> decodePng(std::span<const std::uint8_t> data, PixelBudget& budget,
                         std::string_view what)
{
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data.data(), data.size()))
        return pngError(png.image, what);
    auto bitmap = allocateBitmap(png.image.width, png.image.height, budget, what);
    if (!bitmap)
        return bitmap.error();
    if (bitmap->pixels.empty())
        return bitmap;
    png.image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(png.image));
    if (!png_image_finish_read(&png.image, nullptr, rgba.data(), 0, nullptr))
        return pngError(png.image, what);
    for (std::size_t i = 0; i < bitmap->pixels.size(); ++i) {
        const std::uint8_t* p = rgba.data() + 4 * i;
        bitmap->pixels[i] = premultiplied(p[0], p[1], p[2], p[3]);
    }
    return bitmap;
}

} // namespace swf::image
