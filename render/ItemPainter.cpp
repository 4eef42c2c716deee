#include "ItemPainter.h"

#include "BlendModes.h"
#include "ScratchFill.h"

#include <QPainter>
#include <utility>

namespace render {

void ItemPainter::paint(const PaintList& items, const QRegion& clip)
{
    const QRegion local = clip.translated(-m_origin) & QRegion(m_surface.rect());
    if (local.isEmpty())
        return;
    const QRect clipBounds = local.boundingRect().translated(m_origin);
    const QRegion region = local.translated(m_origin);
    const bool simpleRegion = region.rectCount() == 1;
    // The part of the clip an item's bounds reach, as a rectangle; empty when it
    // misses every rectangle of a scattered dirty area.
    auto reach = [&](const QRect& bounds) {
        const QRect coarse = bounds & clipBounds;
        if (simpleRegion || coarse.isEmpty())
            return coarse;
        return region.intersected(coarse).boundingRect();
    };
    const QTransform shift = QTransform::fromTranslate(-m_origin.x(), -m_origin.y());

    QPainter painter(&m_surface);
    painter.setRenderHint(QPainter::Antialiasing, m_quality != Quality::Low);
    painter.setClipRegion(local);
    if (m_background) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : local)
            painter.fillRect(rect, *m_background);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    ScratchFill& scratch = ScratchFill::forThisThread();
    const QRect frame = m_frame.isNull() ? m_surface.rect().translated(m_origin) : m_frame;
    int skipDepth = 0; // inside a mask that misses the clip: nothing to draw until it ends
    for (const PaintItem& item : items) {
        if (skipDepth > 0) {
            if (item.kind == PaintItem::Kind::PushClip)
                ++skipDepth;
            else if (item.kind == PaintItem::Kind::PopClip)
                --skipDepth;
            continue;
        }
        switch (item.kind) {
        case PaintItem::Kind::PushClip:
            if (reach(item.bounds).isEmpty()) {
                skipDepth = 1;
                break;
            }
            painter.save();
            painter.setTransform(item.transform * shift);
            painter.setClipPath(item.path, Qt::IntersectClip);
            break;
        case PaintItem::Kind::PopClip:
            painter.restore();
            break;
        case PaintItem::Kind::Fill:
        case PaintItem::Kind::Stroke: {
            const QRect area = reach(item.bounds);
            if (area.isEmpty())
                break;
            if (ScratchFill::worthIt(item)) {
                painter.resetTransform();
                painter.setOpacity(1);
                scratch.fill(painter, m_origin, item, item.bounds & frame, area, m_quality);
                break;
            }
            painter.setTransform(item.transform * shift);
            painter.setOpacity(item.opacity);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, item.smooth);
            if (item.kind == PaintItem::Kind::Fill)
                painter.fillPath(item.path, item.brush);
            else
                painter.strokePath(item.path, item.pen);
            break;
        }
        case PaintItem::Kind::Layer:
            if (!reach(item.bounds).isEmpty())
                drawLayer(painter, item, clipBounds);
            break;
        }
    }
}

void ItemPainter::drawLayer(QPainter& painter, const PaintItem& item, const QRect& clipBounds)
{
    painter.resetTransform();
    painter.setOpacity(1);
    const QPoint at = item.origin - m_origin;
    if (hasCompositionMode(item.blend)) {
        painter.setCompositionMode(compositionMode(item.blend));
        painter.drawImage(at, item.image);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    // Blend a copy of the backdrop by hand, then put it back through the painter so
    // that the clip (masks, bands, dirty areas) still decides which pixels change.
    const QRect area = (item.bounds & clipBounds).translated(-m_origin) & m_surface.rect();
    if (area.isEmpty())
        return;
    // The raster engine writes straight to the pixels, so the copy sees what is drawn.
    QImage backdrop = std::as_const(m_surface).copy(area);
    blendByHand(backdrop, backdrop.rect(), item.image, at - area.topLeft(), item.blend);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), backdrop);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace render
