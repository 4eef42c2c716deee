#pragma once

#include "GradientFill.h"
#include "format/Filter.h"

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QTransform>
#include <cstdint>
#include <vector>

namespace render {

// One step of a compiled frame. Items hold everything they draw by value (Qt's shared
// copies), so a frame's list stays valid whatever the caches do meanwhile, and they
// only read it, so several band threads can draw one list at once.
struct PaintItem {
    enum class Kind : std::uint8_t {
        Fill,     // `path` through `transform`, filled with `brush`
        Stroke,   // `path` through `transform`, stroked with the cosmetic `pen`
        Layer,    // `image` composited at `origin` with `blend`
        PushClip, // narrows the clip to `path` through `transform` until PopClip
        PopClip,
    };

    Kind kind = Kind::Fill;
    QRect bounds; // the device pixels the item may touch
    QTransform transform;
    QPainterPath path;
    QBrush brush;
    std::shared_ptr<const GradientFill> gradient; // Fill: drawn instead of `brush`
    QPen pen;
    qreal opacity = 1;
    bool smooth = false;
    QImage image;
    QPoint origin;
    swf::BlendMode blend = swf::BlendMode::Normal;
};

using PaintList = std::vector<PaintItem>;

} // namespace render
