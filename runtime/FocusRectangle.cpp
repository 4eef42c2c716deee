#include "FocusRectangle.h"

#include "Bounds.h"
#include "ButtonObject.h"
#include "PlayerContext.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

// The records of the hit-test state, in the button's own twips.
Bounds hitAreaBounds(const ButtonObject& button)
{
    Bounds area;
    for (const swf::ButtonRecord& record : button.definition().records) {
        if (!(record.states & swf::ButtonHitTest))
            continue;
        const swf::Character* character = button.movie().character(record.characterId);
        if (!character)
            continue;
        Bounds own;
        if (const auto* shape = std::get_if<swf::Shape>(&character->data))
            own = Bounds::fromRect(shape->bounds);
        else if (const auto* text = std::get_if<swf::StaticText>(&character->data))
            own = Bounds::fromRect(text->bounds);
        if (!own.empty)
            area.include(own.transformed(record.matrix));
    }
    return area;
}

// Far past any stage, a box is as good as its edges there.
constexpr double kFarEdge = 1 << 30;

swf::Twips twips(double value)
{
    return swf::Twips{
        static_cast<std::int32_t>(std::lround(std::clamp(value, -kFarEdge, kFarEdge)))};
}

} // namespace

std::optional<swf::Rect> focusRectangle(const PlayerContext& context)
{
    const FocusControl& focus = context.input().focus();
    const std::shared_ptr<DisplayObject> object = focus.focused();
    if (!object || !focus.showsFocusRect())
        return std::nullopt;
    Bounds box;
    if (object->kind() == ObjectKind::Button)
        box = hitAreaBounds(static_cast<const ButtonObject&>(*object))
                  .transformed(object->worldMatrix());
    else
        box = object->boundsIn(nullptr);
    if (box.empty || !std::isfinite(box.xMin) || !std::isfinite(box.yMin) ||
        !std::isfinite(box.xMax) || !std::isfinite(box.yMax))
        return std::nullopt;
    return swf::Rect{twips(box.xMin), twips(box.xMax), twips(box.yMin), twips(box.yMax)};
}

} // namespace runtime
