#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <vector>

// Encoders for the image data that bitmap tags carry, built on the same libraries the
// player decodes with. Tests make their images at run time with these.
namespace swfwriter {

// Straight (not premultiplied) colours, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;

    static Image filled(int width, int height, Color c);
    Color& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Color& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

enum class JpegColor { Rgb, Grayscale, Cmyk };

// A whole JPEG stream (SOI to EOI); alpha is ignored. Grayscale stores the green
// channel; Cmyk writes Adobe-style inverted inks whose colours decode back to the
// image's RGB.
std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality = 95,
                                     JpegColor color = JpegColor::Rgb);

// The same image as a tables-only stream and an abbreviated image stream that needs
// those tables, the way JPEGTables and DefineBits split it.
struct SplitJpeg {
    std::vector<std::uint8_t> tables;
    std::vector<std::uint8_t> image;
};
SplitJpeg encodeJpegSplit(const Image& image, int quality = 95);

// The four bytes (FF D9 FF D8) old tools put before a JPEG stream.
std::vector<std::uint8_t> withErroneousHeader(const std::vector<std::uint8_t>& jpeg);

// A PNG file with an alpha channel.
std::vector<std::uint8_t> encodePng(const Image& image);

// A GIF89a file; pixels with alpha 0 use the transparent colour. At most 255 other
// colours. Interlaced files store their rows in four passes.
std::vector<std::uint8_t> encodeGif(const Image& image, bool interlaced = false);

} // namespace swfwriter
