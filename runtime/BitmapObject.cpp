#include "BitmapObject.h"

#include "Limits.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "format/Geometry.h"

namespace runtime {

BitmapObject::BitmapObject(PlayerContext& context, BitmapDataPtr bitmap, bool smoothing,
                           PixelSnapping snapping, const swf::Character* character)
    : DisplayObject(context, ObjectKind::Bitmap, character), m_bitmap(std::move(bitmap)),
      m_smoothing(smoothing), m_snapping(snapping)
{}

Bounds BitmapObject::localBounds() const
{
    Bounds bounds;
    if (m_bitmap->width() == 0 || m_bitmap->height() == 0)
        return bounds;
    bounds.include(0, 0);
    bounds.include(m_bitmap->width() * double(swf::Twips::kPerPixel),
                   m_bitmap->height() * double(swf::Twips::kPerPixel));
    return bounds;
}

std::shared_ptr<DisplayObject> SpriteObject::attachBitmap(BitmapDataPtr bitmap,
                                                          long long scriptDepth, bool smoothing,
                                                          PixelSnapping snapping)
{
    if (!bitmap || scriptDepth < limits::kMinScriptDepth || scriptDepth > limits::kMaxScriptDepth ||
        !context().canCreateObject())
        return nullptr;
    auto shown = std::make_shared<BitmapObject>(context(), bitmap, smoothing, snapping);
    shown->setMovieInstance(movieInstancePtr());
    bitmap->addViewer(shown);
    return placeForScript(shown, std::string(), scriptDepth);
}

} // namespace runtime
