#include "ImageEncoder.h"

#include <gif_lib.h>
#include <map>
#include <png.h>
#include <stdexcept>

namespace swfwriter {

std::vector<std::uint8_t> encodePng(const Image& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba;
    for (const Color& c : image.pixels)
        rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("PNG encoding failed");
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("PNG encoding failed");
    out.resize(size);
    return out;
}

namespace {

int writeOutput(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

void check(int status)
{
    if (status != GIF_OK)
        throw std::runtime_error("GIF encoding failed");
}

} // namespace

std::vector<std::uint8_t> encodeGif(const Image& image, bool interlaced)
{
    // Index 0 is the transparent colour; the others are given in order of appearance.
    std::vector<GifColorType> palette(256, GifColorType{0, 0, 0});
    std::map<std::uint32_t, GifPixelType> indexOf;
    std::vector<GifPixelType> indexes;
    for (const Color& c : image.pixels) {
        if (c.a == 0) {
            indexes.push_back(0);
            continue;
        }
        const std::uint32_t key = (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
        auto [it, added] = indexOf.emplace(key, static_cast<GifPixelType>(indexOf.size() + 1));
        if (added) {
            if (indexOf.size() > 255)
                throw std::runtime_error("GIF encoding: too many colours");
            palette[it->second] = GifColorType{c.r, c.g, c.b};
        }
        indexes.push_back(it->second);
    }

    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeOutput, &error);
    if (!gif)
        throw std::runtime_error("GIF encoding failed");
    ColorMapObject* map = GifMakeMapObject(256, palette.data());
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK;
    GraphicsControlBlock control{};
    control.TransparentColor = 0;
    GifByteType extension[4];
    const auto length = EGifGCBToExtension(&control, extension);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                   GIF_OK;
    ok =
        ok && EGifPutImageDesc(gif, 0, 0, image.width, image.height, interlaced, nullptr) == GIF_OK;
    // The encoder takes rows in the order they are stored: pass by pass when interlaced.
    static constexpr int kPassStart[] = {0, 4, 2, 1};
    static constexpr int kPassStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
        const int start = interlaced ? kPassStart[pass] : 0;
        const int step = interlaced ? kPassStep[pass] : 1;
        for (int y = start; ok && y < image.height; y += step)
            ok = EGifPutLine(gif, indexes.data() + std::size_t(y) * image.width, image.width) ==
                 GIF_OK;
    }
    GifFreeMapObject(map);
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    check(ok && closed ? GIF_OK : GIF_ERROR);
    return out;
}

} // namespace swfwriter
