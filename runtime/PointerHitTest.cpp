#include "PointerHitTest.h"

#include "ButtonObject.h"
#include "ShapeHitTest.h"
#include "format/Limits.h"

#include <variant>

namespace runtime {

namespace {

bool takesPart(const DisplayObject& object)
{
    return object.visible() && !object.isMask() && !object.isUnloading();
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
        if (takesPart(*child) && covers(*child, x, y, level + 1))
            return true;
    }
    return false;
}

const DisplayObject* topmost(const ContainerObject& container, double x, double y,
                             const DisplayObject* exclude, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return nullptr;
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (&child == exclude || !takesPart(child))
            continue;
        if (child.kind() == ObjectKind::Sprite) {
            if (const DisplayObject* found =
                    topmost(static_cast<const ContainerObject&>(child), x, y, exclude, level + 1))
                return found;
        } else if (covers(child, x, y, level + 1)) {
            return &child;
        }
    }
    return nullptr;
}

} // namespace

bool coversPoint(const DisplayObject& object, double x, double y)
{
    return covers(object, x, y, 0);
}

const DisplayObject* topmostAt(const ContainerObject& root, double x, double y,
                               const DisplayObject* exclude)
{
    return topmost(root, x, y, exclude, 0);
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
            return hitTestShape(*shape, localX, localY);
    }
    const Bounds bounds = object.localBounds();
    return !bounds.empty && localX >= bounds.xMin && localX <= bounds.xMax &&
           localY >= bounds.yMin && localY <= bounds.yMax;
}

} // namespace runtime
