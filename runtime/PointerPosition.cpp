#include "PointerPosition.h"

#include "DisplayObject.h"
#include "PlayerContext.h"

#include <cmath>

namespace runtime {

LocalPoint pointerIn(const DisplayObject& object)
{
    const InputState& input = object.context().input();
    const swf::Matrix& view = input.viewMatrix();
    const double viewX = view.mapX(input.pointerX(), input.pointerY());
    const double viewY = view.mapY(input.pointerX(), input.pointerY());
    swf::Matrix toView = view * object.worldMatrix();
    // Halves go to the even pixel, as the reference's rounding does.
    toView.tx = std::nearbyint(toView.tx);
    toView.ty = std::nearbyint(toView.ty);
    swf::Matrix toLocal;
    if (!toView.invert(toLocal))
        return {viewX, viewY};
    // The way back keeps whole twips of offset too.
    toLocal.tx = std::nearbyint(toLocal.tx);
    toLocal.ty = std::nearbyint(toLocal.ty);
    return {toLocal.mapX(viewX, viewY), toLocal.mapY(viewX, viewY)};
}

} // namespace runtime
