#include "ScriptRasterizer.h"

#include "BlendModes.h"
#include "LayerFilters.h"
#include "runtime/BitmapOperations.h"

#include <QPainter>

namespace render {

namespace {

// The target's pixels as an image to paint on, written in place.
QImage wrapForWriting(runtime::BitmapData& target)
{
    return QImage(reinterpret_cast<uchar*>(target.edit()), target.width(), target.height(),
                  target.width() * 4, QImage::Format_ARGB32_Premultiplied);
}

} // namespace

ScriptRasterizer::ScriptRasterizer()
{
    // Each draw is a new picture: nothing of the last one is reused but the caches.
    m_renderer.setPartialRedraw(false);
    m_renderer.setBackgroundOverride(QColor(Qt::transparent));
}

void ScriptRasterizer::drawList(runtime::BitmapData& target, const runtime::DrawList& list,
                                runtime::PixelRect clip, bool /*smoothing*/, swf::BlendMode blend)
{
    clip = runtime::bitmap::clipTo(target, clip);
    if (clip.empty() || list.commands.empty())
        return;
    // Drawn apart first, then laid over what the bitmap holds.
    QImage layer(clip.width, clip.height, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    const double toPixels = 1.0 / swf::Twips::kPerPixel;
    const QTransform view =
        QTransform::fromScale(toPixels, toPixels) * QTransform::fromTranslate(-clip.x, -clip.y);
    m_renderer.render(list, layer, view, Quality::High);
    QImage pixels = wrapForWriting(target);
    if (blend == swf::BlendMode::Normal || blend == swf::BlendMode::Layer ||
        hasCompositionMode(blend)) {
        QPainter painter(&pixels);
        painter.setCompositionMode(compositionMode(blend));
        painter.drawImage(clip.x, clip.y, layer);
        return;
    }
    blendByHand(pixels, QRect(clip.x, clip.y, clip.width, clip.height), layer,
                QPoint(clip.x, clip.y), blend);
}

void ScriptRasterizer::applyFilter(runtime::BitmapData& target, const runtime::BitmapData& source,
                                   runtime::PixelRect sourceRect, int destX, int destY,
                                   const swf::Filter& filter)
{
    const runtime::bitmap::CopyArea area = runtime::bitmap::clipCopy(
        sourceRect, source.width(), source.height(), destX, destY, target.width(), target.height());
    if (area.empty())
        return;
    const runtime::PixelRect& r = area.source;
    const std::vector<swf::Filter> filters{filter};
    const QMargins margins = filterMargins(filters, 1.0);
    QImage layer(r.width + margins.left() + margins.right(),
                 r.height + margins.top() + margins.bottom(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull())
        return;
    layer.fill(Qt::transparent);
    for (int y = 0; y < r.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(layer.scanLine(y + margins.top()));
        for (int x = 0; x < r.width; ++x)
            row[x + margins.left()] = source.at(r.x + x, r.y + y);
    }
    applyFilters(layer, filters, 1.0);
    std::uint32_t* out = target.edit();
    for (int y = 0; y < r.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(layer.scanLine(y + margins.top()));
        std::uint32_t* dest =
            out + static_cast<std::size_t>(area.destY + y) * target.width() + area.destX;
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t p = row[x + margins.left()];
            dest[x] = target.storedPixel(p);
        }
    }
}

} // namespace render
