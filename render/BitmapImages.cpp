#include "BitmapImages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace render {

namespace {

std::string keyFor(const swf::Bitmap& bitmap, const swf::ColorTransform& transform, int pad,
                   int level, std::uint64_t stamp)
{
    // A leading byte keeps stamps and addresses apart.
    std::string key(1 + sizeof(std::uint64_t) + sizeof(transform) + 2 * sizeof(int), '\0');
    const auto name =
        stamp ? stamp : static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&bitmap));
    char* out = key.data();
    *out++ = stamp ? 's' : 'a';
    std::memcpy(out, &name, sizeof(name));
    std::memcpy(out + sizeof(name), &transform, sizeof(transform));
    std::memcpy(out + sizeof(name) + sizeof(transform), &pad, sizeof(pad));
    std::memcpy(out + sizeof(name) + sizeof(transform) + sizeof(pad), &level, sizeof(level));
    return key;
}

} // namespace

BitmapImages::BitmapImages(std::size_t budgetBytes) : m_cache(budgetBytes) {}

QImage BitmapImages::wrap(const swf::Bitmap& bitmap)
{
    if (bitmap.width == 0 || bitmap.height == 0 || bitmap.width > (1u << 15) ||
        bitmap.height > (1u << 15) ||
        bitmap.pixels.size() < std::size_t(bitmap.width) * bitmap.height)
        return {};
    // The const constructor shares the buffer read-only: no copy is made.
    return QImage(reinterpret_cast<const uchar*>(bitmap.pixels.data()), int(bitmap.width),
                  int(bitmap.height), int(bitmap.width) * 4, QImage::Format_ARGB32_Premultiplied);
}

QImage BitmapImages::image(const swf::Bitmap& bitmap, const swf::ColorTransform& transform, int pad,
                           int level, std::uint64_t stamp)
{
    QImage source = wrap(bitmap);
    if (source.isNull() || (transform.isIdentity() && pad == 0 && level <= 0))
        return source;
    const std::string key = keyFor(bitmap, transform, pad, level, stamp);
    if (auto found = m_cache.find(key))
        return *found;
    QImage result = pad > 0 ? padEdges(source, pad) : source.copy();
    if (!transform.isIdentity())
        applyColorTransform(result, transform);
    if (level > 0)
        result = reduced(result, level);
    const std::size_t bytes = std::size_t(result.sizeInBytes());
    return *m_cache.insert(key, std::make_shared<const QImage>(std::move(result)), bytes);
}

void BitmapImages::applyColorTransform(QImage& image, const swf::ColorTransform& transform)
{
    if (transform.isIdentity())
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = qUnpremultiply(row[x]);
            const swf::Rgba mapped =
                transform.apply({std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)),
                                 std::uint8_t(qBlue(pixel)), std::uint8_t(qAlpha(pixel))});
            row[x] = qPremultiply(qRgba(mapped.r, mapped.g, mapped.b, mapped.a));
        }
    }
}

QImage BitmapImages::reduced(const QImage& image, int level)
{
    if (level <= 0 || image.isNull())
        return image;
    const int shift = std::min(level, 30);
    const QSize size(std::max(1, image.width() >> shift), std::max(1, image.height() >> shift));
    // Qt's smooth scaling averages the area each pixel covers when it shrinks.
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage BitmapImages::padEdges(const QImage& image, int pad)
{
    const int w = image.width(), h = image.height();
    QImage padded(w + 2 * pad, h + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    if (padded.isNull())
        return image.copy();
    for (int y = 0; y < padded.height(); ++y) {
        const int sourceY = std::clamp(y - pad, 0, h - 1);
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(sourceY));
        auto* out = reinterpret_cast<QRgb*>(padded.scanLine(y));
        std::fill(out, out + pad, in[0]);
        std::memcpy(out + pad, in, std::size_t(w) * 4);
        std::fill(out + pad + w, out + padded.width(), in[w - 1]);
    }
    return padded;
}

} // namespace render
