#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Decoded pixels, premultiplied ARGB in 32-bit words (0xAARRGGBB in native byte order,
// the layout of QImage::Format_ARGB32_Premultiplied), row by row without padding.
struct Bitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
    // False when the data ended early or was damaged part way: what was decoded stays,
    // and the pixels (or alpha values) past that point are transparent.
    bool complete = true;

    std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
};

// The budget of decoded pixels one movie may hold; every decoder charges it first.
class PixelBudget {
public:
    explicit PixelBudget(std::uint64_t pixels) : m_left(pixels) {}
    // False (and nothing charged) when the image would exceed the budget.
    bool charge(std::uint64_t pixels);

private:
    std::uint64_t m_left;
};

// Each decoder reads a tag body after its character id.

// DefineBits: JPEG data that needs the movie's JPEGTables (which may be empty).
Result<Bitmap> decodeDefineBits(std::span<const std::uint8_t> data,
                                std::span<const std::uint8_t> jpegTables, PixelBudget& budget);
// DefineBitsJPEG2, 3 and 4: JPEG, PNG or GIF data, with a zlib alpha plane for 3 and
// 4 (4 adds a deblocking value before the data).
Result<Bitmap> decodeDefineBitsJpeg(ByteReader& in, int jpegVersion, PixelBudget& budget);
// DefineBitsLossless (1) and DefineBitsLossless2 (2): colour-mapped, 15-bit and 24-bit
// formats, the second with alpha.
Result<Bitmap> decodeDefineBitsLossless(ByteReader& in, int losslessVersion, PixelBudget& budget);

} // namespace swf
