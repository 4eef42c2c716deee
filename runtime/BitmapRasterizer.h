#pragma once

// What BitmapData needs drawn that the engine cannot draw itself: display objects and
// transformed bitmaps (draw), and the filters (applyFilter). The renderer implements
// it; a host hands it out through Host::bitmapRasterizer(). Without one, draw does only
// what needs no rasterizing (a bitmap moved by whole pixels) and applyFilter nothing.
//
// Called on the thread that runs the movie, during a script; each call returns with
// the target's pixels written.

#include "BitmapData.h"
#include "DrawList.h"
#include "format/Filter.h"

namespace runtime {

class BitmapRasterizer {
public:
    virtual ~BitmapRasterizer() = default;

    // Paints `list` over the target's pixels inside `clip` (target pixels), laid over them
    // by `blend`. The list's matrices map to the target's twips: 20 to a pixel, as the
    // stage's are. `smoothing` samples bitmaps the list draws bilinearly.
    virtual void drawList(BitmapData& target, const DrawList& list, PixelRect clip, bool smoothing,
                          swf::BlendMode blend = swf::BlendMode::Normal) = 0;

    // Writes `source`'s `sourceRect` run through `filter` into the target at
    // (destX, destY), replacing what was there. Sizes in the filter are pixels.
    virtual void applyFilter(BitmapData& target, const BitmapData& source, PixelRect sourceRect,
                             int destX, int destY, const swf::Filter& filter) = 0;
};

} // namespace runtime
