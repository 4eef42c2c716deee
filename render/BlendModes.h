#pragma once

#include "format/Filter.h"

#include <QImage>
#include <QPainter>

namespace render {

// Blend modes QPainter has a composition mode for.
bool hasCompositionMode(swf::BlendMode mode);
QPainter::CompositionMode compositionMode(swf::BlendMode mode);

// The others (Subtract, Invert, Alpha, Erase), written by hand: blends `layer`, whose
// top-left lies at `layerOffset` of `backdrop`, into `backdrop` inside `area`.
void blendByHand(QImage& backdrop, const QRect& area, const QImage& layer, QPoint layerOffset,
                 swf::BlendMode mode);

} // namespace render
