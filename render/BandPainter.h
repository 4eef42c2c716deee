#pragma once

#include "PaintItem.h"
#include "Quality.h"

#include <QColor>
#include <QImage>
#include <QRegion>

namespace render {

// Draws a compiled frame into the dirty part of the stage image. The area is cut into
// horizontal bands, each drawn on its own thread by its own painter on its own rows of
// the image (no copies): a pixel's value depends only on the items, never on the band,
// so the result is the same whatever the number of threads.
class BandPainter {
public:
    // `threads` 1 draws on the calling thread alone.
    static void paint(QImage& target, const PaintList& items, const QRegion& dirty,
                      const QColor& background, Quality quality, int threads);
};

} // namespace render
