#include "BitmapWriter.h"

#include <algorithm>
#include <stdexcept>
#include <zlib.h>

namespace swfwriter {

namespace {

std::size_t padded(std::size_t bytes)
{
    return (bytes + 3) & ~std::size_t(3);
}

} // namespace

std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> LosslessBitmap::body() const
{
    ByteWriter out;
    out.u16(id);
    out.u8(format);
    out.u16(width);
    out.u16(height);
    if (format == 3)
        out.u8(colorTableSize);
    auto compressed = zlibCompress(data);
    compressed.resize(std::min(compressed.size(), keepCompressed));
    out.bytes(compressed);
    return out.data();
}

LosslessBitmap LosslessBitmap::colorMapped(int version, int width, int height,
                                           const std::vector<Color>& table,
                                           const std::vector<std::uint8_t>& indexes)
{
    LosslessBitmap b;
    b.version = version;
    b.format = 3;
    b.width = static_cast<std::uint16_t>(width);
    b.height = static_cast<std::uint16_t>(height);
    b.colorTableSize = static_cast<std::uint8_t>(table.size() - 1);
    for (const Color& c : table) {
        b.data.insert(b.data.end(), {c.r, c.g, c.b});
        if (version == 2)
            b.data.push_back(c.a);
    }
    const std::size_t rowBytes = padded(std::size_t(width));
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        std::copy_n(indexes.begin() + std::ptrdiff_t(y) * width, width, row.begin());
        b.data.insert(b.data.end(), row.begin(), row.end());
    }
    return b;
}

LosslessBitmap LosslessBitmap::pix15(int width, int height,
                                     const std::vector<std::uint16_t>& pixels)
{
    LosslessBitmap b;
    b.format = 4;
    b.width = static_cast<std::uint16_t>(width);
    b.height = static_cast<std::uint16_t>(height);
    const std::size_t rowBytes = padded(std::size_t(width) * 2);
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint16_t v = pixels[std::size_t(y) * width + x];
            row[2 * x] = static_cast<std::uint8_t>(v >> 8);
            row[2 * x + 1] = static_cast<std::uint8_t>(v);
        }
        b.data.insert(b.data.end(), row.begin(), row.end());
    }
    return b;
}

LosslessBitmap LosslessBitmap::pix24(int version, const Image& image)
{
    LosslessBitmap b;
    b.version = version;
    b.format = 5;
    b.width = static_cast<std::uint16_t>(image.width);
    b.height = static_cast<std::uint16_t>(image.height);
    for (const Color& c : image.pixels)
        b.data.insert(b.data.end(), {version == 2 ? c.a : std::uint8_t(0), c.r, c.g, c.b});
    return b;
}

std::vector<std::uint8_t> defineBitsBody(std::uint16_t id, const std::vector<std::uint8_t>& jpeg)
{
    ByteWriter out;
    out.u16(id);
    out.bytes(jpeg);
    return out.data();
}

std::vector<std::uint8_t> defineBitsJpeg2Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData)
{
    return defineBitsBody(id, imageData);
}

std::vector<std::uint8_t> defineBitsJpeg3Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData,
                                              const std::vector<std::uint8_t>& alphaData)
{
    ByteWriter out;
    out.u16(id);
    out.u32(static_cast<std::uint32_t>(imageData.size()));
    out.bytes(imageData);
    out.bytes(alphaData);
    return out.data();
}

std::vector<std::uint8_t> defineBitsJpeg4Body(std::uint16_t id,
                                              const std::vector<std::uint8_t>& imageData,
                                              double deblock,
                                              const std::vector<std::uint8_t>& alphaData)
{
    ByteWriter out;
    out.u16(id);
    out.u32(static_cast<std::uint32_t>(imageData.size()));
    out.fixed8(deblock);
    out.bytes(imageData);
    out.bytes(alphaData);
    return out.data();
}

} // namespace swfwriter
