#include "Bitmap.h"
#include "Decompress.h"
#include "ImageDecoders.h"

#include <string>

namespace swf {

namespace {

// DefineBitsJPEG3 and 4: one zlib-compressed alpha byte a pixel, multiplied into the
// decoded colours so that the bitmap is premultiplied like every other.
Status applyAlphaPlane(std::span<const std::uint8_t> compressed, Bitmap& bitmap,
                       const std::string& what)
{
    // Some tools write the tag with no alpha data at all: the image is then opaque.
    if (compressed.empty())
        return Ok{};
    const std::size_t expected = bitmap.pixels.size();
    auto inflated = inflateZlib(compressed, expected, expected, expected);
    if (!inflated)
        return inflated.error();
    const ByteBuffer& alpha = inflated->bytes;
    if (alpha.empty() && expected > 0)
        return makeError(ErrorCode::DecompressionFailed, what + ": BitmapAlphaData");
    // An alpha plane cut short leaves the pixels it does not reach transparent, as a
    // cut lossless image does.
    if (alpha.size() < expected)
        bitmap.complete = false;
    for (std::size_t i = 0; i < expected; ++i)
        bitmap.pixels[i] = image::scaleByAlpha(bitmap.pixels[i], i < alpha.size() ? alpha[i] : 0);
    return Ok{};
}

} // namespace

Result<Bitmap> decodeDefineBits(std::span<const std::uint8_t> data,
                                std::span<const std::uint8_t> jpegTables, PixelBudget& budget)
{
    return image::decodeJpeg(jpegTables, data, budget, "DefineBits");
}

Result<Bitmap> decodeDefineBitsJpeg(ByteReader& in, int jpegVersion, PixelBudget& budget)
{
    if (jpegVersion < 2 || jpegVersion > 4)
        return makeError(ErrorCode::Unsupported, "DefineBitsJPEG version");
    const std::string what = "DefineBitsJPEG" + std::to_string(jpegVersion);
    std::span<const std::uint8_t> imageData;
    std::span<const std::uint8_t> alphaData;
    if (jpegVersion >= 3) {
        const std::uint32_t alphaDataOffset = in.u32();
        // DeblockParam asks for a smoothing of block edges that this player leaves out.
        if (jpegVersion == 4)
            in.u16();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, what + ": header");
        if (alphaDataOffset > in.remaining())
            return makeError(ErrorCode::Truncated, what + ": AlphaDataOffset");
        imageData = in.take(alphaDataOffset);
        alphaData = in.take(in.remaining());
    } else {
        imageData = in.take(in.remaining());
    }

    // From version 8 on the image may be PNG or GIF89a, told apart by their signatures.
    // Older movies cannot hold those signatures in JPEG data, so every version is
    // checked the same way. Such images keep their own transparency: the alpha plane
    // applies to JPEG data only.
    if (image::isPng(imageData))
        return image::decodePng(imageData, budget, what);
    if (image::isGif(imageData))
        return image::decodeGif(imageData, budget, what);
    auto bitmap = image::decodeJpeg({}, imageData, budget, what);
    if (!bitmap || jpegVersion == 2)
        return bitmap;
    if (auto applied = applyAlphaPlane(alphaData, *bitmap, what); !applied)
        return applied.error();
    return bitmap;
}

} // namespace swf
