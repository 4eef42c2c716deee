#pragma once

#include "format/Geometry.h"

#include <QImage>
#include <QRect>
#include <QTransform>

namespace render {

// The keyboard focus's rectangle, drawn over the frame: a yellow frame three of the
// stage's pixels wide, inside the focused object's box.

// The box in the target's pixels, its edges on whole pixels.
QRect focusRectPixels(const swf::Rect& box, const QTransform& view);
// Paints it; `pixelScale` is the target's pixels per stage pixel.
void paintFocusRect(QImage& target, const QRect& box, double pixelScale);

} // namespace render
