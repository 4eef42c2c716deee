#include "BitmapItems.h"

#include "BitmapImages.h"
#include "QtConversions.h"

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

} // namespace

QRect addBitmapItem(const runtime::DrawCommand& command, const FrameContext& context,
                    const QRect& clip, PaintList& out)
{
    if (!command.bitmap || command.bitmap->width == 0 || command.bitmap->height == 0)
        return {};
    QImage image = BitmapImages::wrap(*command.bitmap);
    if (image.isNull())
        return {};
    qreal opacity = 1;
    if (alphaOnly(command.colorTransform)) {
        opacity = command.colorTransform.aMul / 256.0;
    } else {
        image = image.copy();
        BitmapImages::applyColorTransform(image, command.colorTransform);
    }
    if (opacity <= 0)
        return {};
    const QTransform transform = toQTransform(command.matrix) * context.view;
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
    item.brush.setTransform(QTransform::fromScale(swf::Twips::kPerPixel, swf::Twips::kPerPixel));
    item.opacity = opacity;
    item.smooth = command.smoothing && context.quality != Quality::Low;
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
