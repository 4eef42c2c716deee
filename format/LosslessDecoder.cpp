#include "Bitmap.h"
#include "Decompress.h"
#include "ImageDecoders.h"

#include <string>

namespace swf {

namespace {

enum BitmapFormat : std::uint8_t { ColorMapped8 = 3, Pix15 = 4, Pix24 = 5 };

// The layout of the inflated data, computed from the header alone.
struct Layout {
    std::size_t tableEntries = 0;
    std::size_t entryBytes = 0; // 3 (RGB) or 4 (RGBA)
    std::size_t rowBytes = 0;   // rows of colour-mapped and 15-bit images are padded to 32 bits
    std::size_t pixelBytes = 0;

    std::size_t tableBytes() const { return tableEntries * entryBytes; }
};

std::size_t paddedTo32Bits(std::size_t bytes)
{
    return (bytes + 3) & ~std::size_t(3);
}

Layout layoutOf(std::uint8_t format, std::uint32_t width, std::size_t tableEntries, bool withAlpha)
{
    Layout layout;
    switch (format) {
    case ColorMapped8:
        layout.tableEntries = tableEntries;
        layout.entryBytes = withAlpha ? 4 : 3;
        layout.pixelBytes = 1;
        layout.rowBytes = paddedTo32Bits(width);
        break;
    case Pix15:
        layout.pixelBytes = 2;
        layout.rowBytes = paddedTo32Bits(std::size_t(width) * 2);
        break;
    default:
        layout.pixelBytes = 4;
        layout.rowBytes = std::size_t(width) * 4;
        break;
    }
    return layout;
}

// DefineBitsLossless2 stores colours multiplied by alpha already. A colour channel
// above alpha cannot come from that product (a careless tool wrote straight colour):
// it is clamped, so that the premultiplied pixel stays valid for drawing.
std::uint32_t premultipliedFromFile(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    auto clamp = [a](std::uint8_t c) { return c > a ? a : c; };
    return image::packArgb(a, clamp(r), clamp(g), clamp(b));
}

std::uint8_t expand5(unsigned value)
{
    return static_cast<std::uint8_t>((value << 3) | (value >> 2));
}

void decodeRows(const ByteBuffer& data, std::uint8_t format, bool withAlpha, const Layout& layout,
                Bitmap& bitmap)
{
    // The colour table, as pixels. Both versions keep a table's colours as they are
    // stored: version 2's entries are premultiplied like its 32-bit pixels.
    std::vector<std::uint32_t> table(layout.tableEntries);
    for (std::size_t i = 0; i < layout.tableEntries; ++i) {
        const std::uint8_t* e = data.data() + i * layout.entryBytes;
        table[i] = withAlpha ? premultipliedFromFile(e[3], e[0], e[1], e[2])
                             : image::packArgb(255, e[0], e[1], e[2]);
    }
    for (std::uint32_t y = 0; y < bitmap.height; ++y) {
        const std::size_t rowStart = layout.tableBytes() + y * layout.rowBytes;
        std::uint32_t* out = bitmap.pixels.data() + std::size_t(y) * bitmap.width;
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            const std::size_t at = rowStart + x * layout.pixelBytes;
            if (at + layout.pixelBytes > data.size())
                return; // data cut short: the rest stays transparent
            const std::uint8_t* p = data.data() + at;
            switch (format) {
            case ColorMapped8:
                // An index past the table draws nothing rather than failing the image.
                out[x] = p[0] < table.size() ? table[p[0]] : 0;
                break;
            case Pix15: {
                // UB[1] reserved, then UB[5] each of red, green and blue, high bit first.
                const unsigned v = (unsigned(p[0]) << 8) | p[1];
                out[x] = image::packArgb(255, expand5((v >> 10) & 31), expand5((v >> 5) & 31),
                                         expand5(v & 31));
                break;
            }
            default:
                // PIX24 has a reserved byte where ARGB keeps alpha.
                out[x] = withAlpha ? premultipliedFromFile(p[0], p[1], p[2], p[3])
                                   : image::packArgb(255, p[1], p[2], p[3]);
                break;
            }
        }
    }
}

} // namespace

Result<Bitmap> decodeDefineBitsLossless(ByteReader& in, int losslessVersion, PixelBudget& budget)
{
    const bool withAlpha = losslessVersion == 2;
    const std::string what = withAlpha ? "DefineBitsLossless2" : "DefineBitsLossless";
    const std::uint8_t format = in.u8();
    const std::uint16_t width = in.u16();
    const std::uint16_t height = in.u16();
    const std::size_t tableEntries = format == ColorMapped8 ? std::size_t(in.u8()) + 1 : 0;
    if (!in.ok())
        return makeError(ErrorCode::Truncated, what + ": header");
    // Format 4 belongs to version 1 only; found in version 2 it is read the same way,
    // opaque, since its layout leaves no doubt.
    if (format != ColorMapped8 && format != Pix15 && format != Pix24)
        return makeError(ErrorCode::BadValue, what + ": BitmapFormat " + std::to_string(format));

    auto bitmap = image::allocateBitmap(width, height, budget, what);
    if (!bitmap || bitmap->pixels.empty())
        return bitmap;

    const Layout layout = layoutOf(format, width, tableEntries, withAlpha);
    const std::size_t expected = layout.tableBytes() + layout.rowBytes * height;
    // The inflated size is known from the header: inflation stops there, so no stream
    // can make it grow further.
    auto inflated = inflateZlib(in.rest(), expected, expected, expected);
    in.skip(in.remaining());
    if (!inflated)
        return inflated.error();
    const ByteBuffer& data = inflated->bytes;
    // A stream cut short or damaged part way keeps the rows decoded before the fault;
    // the missing pixels stay transparent. A stream that yields nothing, or not even
    // the colour table, is an error.
    if (data.empty() || data.size() < layout.tableBytes())
        return makeError(ErrorCode::DecompressionFailed, what + ": ZlibBitmapData");
    if (data.size() < expected)
        bitmap->complete = false;
    decodeRows(data, format, withAlpha, layout, *bitmap);
    return bitmap;
}

} // namespace swf
