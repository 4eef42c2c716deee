#include "BitmapItems.h"

#include "BitmapImages.h"
#include "QtConversions.h"

#include <cmath>

namespace render {

namespace {

QRectF ownRect(const swf::Bitmap& bitmap)
{
    return QRectF(0, 0, double(bitmap.width) * swf::Twips::kPerPixel,
                  double(bitmap.height) * swf::Twips::kPerPixel);
}

bool alphaOnly(const swf::ColorTransform& t)
{
    return t.rMul == 256 && t.gMul == 256 && t.bMul == 256 && t.rAdd == 0 && t.gAdd == 0 &&
           t.bAdd == 0 && t.aAdd == 0 && t.aMul >= 0 && t.aMul <= 256;
}

// A name for the pixels an object draws now: its id and content version, mixed so that
// no two of them meet.
std::uint64_t stampOf(const runtime::DrawCommand& command)
{
    std::uint64_t h = command.objectId * 0x9E3779B97F4A7C15ull ^ command.contentVersion;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return h | 1;
}

QImage imageFor(const runtime::DrawCommand& command, const swf::ColorTransform& transform, int pad,
                BitmapImages& images)
{
    if (transform.isIdentity() && pad == 0)
        return BitmapImages::wrap(*command.bitmap);
    if (command.objectId != 0)
        return images.image(*command.bitmap, transform, pad, 0, stampOf(command));
    // Pixels of no object have no name to be cached by: made afresh.
    QImage image = BitmapImages::wrap(*command.bitmap);
    if (image.isNull())
        return image;
    image = pad > 0 ? BitmapImages::padEdges(image, pad) : image.copy();
    BitmapImages::applyColorTransform(image, transform);
    return image;
}

// The bitmap's corner on a whole device pixel, as its snapping asks: Auto only when it
// is drawn one pixel a device pixel (each bitmap pixel is 20 twips) and not turned.
QTransform snapped(const QTransform& transform, runtime::PixelSnapping snapping)
{
    constexpr double kUnit = 1.0 / swf::Twips::kPerPixel;
    const bool plain = std::abs(transform.m11() - kUnit) < 1e-6 &&
                       std::abs(transform.m22() - kUnit) < 1e-6 && transform.m12() == 0 &&
                       transform.m21() == 0;
    if (snapping == runtime::PixelSnapping::Never ||
        (snapping == runtime::PixelSnapping::Auto && !plain))
        return transform;
    return QTransform(transform.m11(), transform.m12(), transform.m21(), transform.m22(),
                      std::round(transform.dx()), std::round(transform.dy()));
}

} // namespace

QRect addBitmapItem(const runtime::DrawCommand& command, const FrameContext& context,
                    BitmapImages& images, const QRect& clip, PaintList& out)
{
    if (!command.bitmap || command.bitmap->width == 0 || command.bitmap->height == 0)
        return {};
    qreal opacity = 1;
    swf::ColorTransform colors = command.colorTransform;
    if (alphaOnly(colors)) {
        opacity = colors.aMul / 256.0;
        colors = {};
    }
    if (opacity <= 0)
        return {};
    const bool smooth = command.smoothing && context.quality != Quality::Low;
    const int pad = smooth ? 1 : 0;
    const QImage image = imageFor(command, colors, pad, images);
    if (image.isNull())
        return {};
    const QTransform transform =
        snapped(toQTransform(command.matrix) * context.view, command.pixelSnapping);
    const QRectF rect = ownRect(*command.bitmap);
    const QRect bounds = deviceBounds(rect, transform) & clip;
    if (bounds.isEmpty())
        return {};
    PaintItem item;
    item.kind = PaintItem::Kind::Fill;
    item.path.addRect(rect);
    item.transform = transform;
    item.bounds = bounds;
    item.brush = QBrush(image);
    // A padded image starts `pad` pixels before the bitmap's origin.
    item.brush.setTransform(
        QTransform().scale(swf::Twips::kPerPixel, swf::Twips::kPerPixel).translate(-pad, -pad));
    item.opacity = opacity;
    item.smooth = smooth;
    out.push_back(std::move(item));
    return bounds;
}

QPainterPath bitmapOutline(const runtime::DrawCommand& command, const FrameContext& context)
{
    QPainterPath path;
    if (command.bitmap)
        path.addRect(ownRect(*command.bitmap));
    return (toQTransform(command.matrix) * context.view).map(path);
}

} // namespace render
