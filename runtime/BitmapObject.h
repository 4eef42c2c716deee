#pragma once

#include "BitmapData.h"
#include "DisplayObject.h"
#include "PixelSnapping.h"

namespace runtime {

// A script's bitmap shown in a clip (attachBitmap), or a bitmap character a timeline
// places: its pixels from the clip's origin, one pixel a pixel. It draws whatever the bitmap holds
// at each frame: the bitmap marks it changed with every change of its pixels.
class BitmapObject : public DisplayObject {
public:
    BitmapObject(PlayerContext& context, BitmapDataPtr bitmap, bool smoothing,
                 PixelSnapping snapping = PixelSnapping::Auto,
                 const swf::Character* character = nullptr);

    const BitmapData& bitmap() const { return *m_bitmap; }
    std::shared_ptr<const swf::Bitmap> pixels() const { return m_bitmap->snapshot(); }
    bool smoothing() const { return m_smoothing; }
    PixelSnapping pixelSnapping() const { return m_snapping; }

    Bounds localBounds() const override;

private:
    BitmapDataPtr m_bitmap;
    bool m_smoothing;
    PixelSnapping m_snapping;
};

} // namespace runtime
