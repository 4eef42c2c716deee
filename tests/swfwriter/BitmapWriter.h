#pragma once

#include "ImageEncoder.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// Bodies of the bitmap tags, character id included.
namespace swfwriter {

// zlib data of `bytes`, as the lossless bitmaps and alpha planes store it.
std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& bytes);

// DefineBitsLossless (version 1, tag 20) and DefineBitsLossless2 (version 2, tag 36).
struct LosslessBitmap {
    std::uint16_t id = 1;
    int version = 1;
    std::uint8_t format = 5; // 3 colour-mapped, 4 PIX15, 5 PIX24 or ARGB
    std::uint16_t width = 0, height = 0;
    std::uint8_t colorTableSize = 0; // BitmapColorTableSize: entries less one, format 3
    // The uncompressed data exactly as stored: colour table, then padded rows.
    std::vector<std::uint8_t> data;
    // Keeps only the first bytes of the zlib stream, for tests of damaged data.
    std::size_t keepCompressed = std::numeric_limits<std::size_t>::max();

    std::uint16_t tagCode() const { return version == 2 ? 36 : 20; }
    std::vector<std::uint8_t> body() const;

    // Colour-mapped: the table (RGB, or RGBA for version 2, written as given) and one
    // index a pixel; rows are padded to 32 bits.
    static LosslessBitmap colorMapped(int version, int width, int height,
                                      const std::vector<Color>& table,
                                      const std::vector<std::uint8_t>& indexes);
    // PIX15: 0RRRRRGG GGGBBBBB words, high byte first; rows padded to 32 bits.
    static LosslessBitmap pix15(int width, int height, const std::vector<std::uint16_t>& pixels);
    // PIX24 (version 1: reserved byte, R, G, B) or ARGB (version 2), values as given:
    // version 2 expects premultiplied colours.
    static LosslessBitmap pix24(int version, const Image& image);
};

// DefineBits (tag 6): JPEG data that needs the movie's JPEGTables (tag 8).
std::vector<std::uint8_t> defineBitsBody(std::uint16_t id, const std::vector<std::uint8_t>& jpeg);
// DefineBitsJPEG2 (tag 21): JPEG, PNG or GIF data.
std::vector<std::uint8_t> defineBitsJpeg2Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData);
// DefineBitsJPEG3 (tag 35): AlphaDataOffset, the image data, then the alpha data as
// given (compress it with zlibCompress, or pass damaged bytes).
std::vector<std::uint8_t> defineBitsJpeg3Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData,
                                              const std::vector<std::uint8_t>& alphaData);
// DefineBitsJPEG4 (tag 90): as 3 with DeblockParam (8.8) before the data.
std::vector<std::uint8_t> defineBitsJpeg4Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData,
                                              double deblock,
                                              const std::vector<std::uint8_t>& alphaData);

} // namespace swfwriter
