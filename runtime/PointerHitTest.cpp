#include "PointerHitTest.h"

#include "ButtonObject.h"
#include "PlayerContext.h"
#include "ShapeHitTest.h"
#include "ShapeObject.h"
#include "SpriteObject.h"
#include "StaticTextHitTest.h"
#include "format/Limits.h"

#include <variant>

namespace runtime {

namespace {

bool takesPart(const DisplayObject& object)
{
    return object.visible() && !object.isMask() && !object.isUnloading() &&
           !object.isActiveScriptMask();
}

// The live tree is never deeper than the nesting cap: objects past it are not made.
bool covers(const DisplayObject& object, double x, double y, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return false;
    if (object.kind() == ObjectKind::Button)
        return static_cast<const ButtonObject&>(object).hitTest(x, y);
    if (object.kind() != ObjectKind::Sprite)
        return leafCovers(object, x, y);
    for (const auto& [depth, child] : static_cast<const ContainerObject&>(object).children()) {
        if (takesPart(*child) && maskAllows(*child, x, y) && covers(*child, x, y, level + 1))
            return true;
    }
    return drawingCovers(object, x, y);
}

const DisplayObject* topmost(const ContainerObject& container, double x, double y,
                             const DisplayObject* exclude, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return nullptr;
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (&child == exclude || !takesPart(child) || !maskAllows(child, x, y))
            continue;
        if (child.kind() == ObjectKind::Sprite) {
            if (const DisplayObject* found =
                    topmost(static_cast<const ContainerObject&>(child), x, y, exclude, level + 1))
                return found;
            // What the clip's scripts drew lies below its children.
            if (drawingCovers(child, x, y))
                return &child;
        } else if (covers(child, x, y, level + 1)) {
            return &child;
        }
    }
    return nullptr;
}

} // namespace

bool maskAllows(const DisplayObject& object, double x, double y)
{
    const DisplayObject* mask = object.activeScriptMask();
    return !mask || covers(*mask, x, y, 0);
}

bool coversPoint(const DisplayObject& object, double x, double y)
{
    return covers(object, x, y, 0);
}

const DisplayObject* topmostAt(const ContainerObject& root, double x, double y,
                               const DisplayObject* exclude)
{
    return topmost(root, x, y, exclude, 0);
}

bool drawingCovers(const DisplayObject& object, double x, double y)
{
    if (object.kind() != ObjectKind::Sprite)
        return false;
    const Drawing* drawing = static_cast<const SpriteObject&>(object).drawing();
    const std::shared_ptr<const swf::Shape> shape = drawing ? drawing->shape() : nullptr;
    swf::Matrix inverse;
    if (!shape || !object.worldMatrix().invert(inverse))
        return false;
    return hitTestShape(*shape, inverse.mapX(x, y), inverse.mapY(x, y),
                        &object.context().hitTests());
}

bool leafCovers(const DisplayObject& object, double x, double y)
{
    swf::Matrix inverse;
    if (!object.worldMatrix().invert(inverse))
        return false;
    const double localX = inverse.mapX(x, y);
    const double localY = inverse.mapY(x, y);
    if (object.character()) {
        if (const auto* shape = std::get_if<swf::Shape>(&object.character()->data))
            return hitTestShape(*shape, localX, localY, &object.context().hitTests());
        if (const auto* morph = std::get_if<swf::MorphShape>(&object.character()->data))
            return hitTestShape(
                swf::morphShapeAt(*morph, static_cast<const ShapeObject&>(object).morphRatio()),
                localX, localY, &object.context().hitTests());
        // A text is hit on its letters.
        if (const auto* text = std::get_if<swf::StaticText>(&object.character()->data))
            return hitTestStaticText(*text, object.movie(), localX, localY,
                                     &object.context().hitTests());
    }
    const Bounds bounds = object.localBounds();
    return !bounds.empty && localX >= bounds.xMin && localX <= bounds.xMax &&
           localY >= bounds.yMin && localY <= bounds.yMax;
}

} // namespace runtime
