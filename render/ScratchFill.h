#pragma once

#include "PaintItem.h"
#include "Quality.h"

#include <QImage>
#include <QPainter>
#include <vector>

namespace render {

// Fills a path with a brush other than an opaque colour, fast. QPainter blends such
// fills pixel by pixel through its general span pipeline, several times slower than
// its three fast paths: an opaque colour under an antialiased outline, a brush over a
// whole rectangle, and an image drawn untransformed. So the coverage is drawn as
// opaque black into one scratch image, the brush over the rectangle into another, the
// two multiplied here, and the result drawn onto the target as an image.
class ScratchFill {
public:
    ScratchFill() = default;
    ScratchFill(const ScratchFill&) = delete;
    ScratchFill& operator=(const ScratchFill&) = delete;

    // Each drawing thread keeps its scratch images from frame to frame.
    static ScratchFill& forThisThread();

    // True when `item` is better drawn here than by the painter directly.
    static bool worthIt(const PaintItem& item);

    // Draws `item` inside `area` (device pixels) onto `target`, whose top-left pixel is
    // at `origin` and which has no transform set. The scratch images start at `basis`,
    // which must not depend on how the frame is cut into bands (the item's bounds within
    // the image), so that every band computes each pixel alike.
    void fill(QPainter& target, QPoint origin, const PaintItem& item, const QRect& basis,
              const QRect& area, Quality quality);

private:
    // Scratch pixels, reused from item to item; each item's images lie over them
    // row after row at its own width, so that a small item touches little memory.
    std::vector<QRgb> m_coverage, m_colour;
};

} // namespace render
