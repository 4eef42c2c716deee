#include "FieldAtPointer.h"

#include "ButtonObject.h"
#include "ButtonTracker.h"
#include "EditTextObject.h"
#include "PointerHitTest.h"
#include "format/Limits.h"

#include <algorithm>

namespace runtime {

namespace {

// The point in the field's own twips.
bool toLocal(const DisplayObject& object, double x, double y, double& localX, double& localY)
{
    swf::Matrix inverse;
    if (!object.worldMatrix().invert(inverse))
        return false;
    localX = inverse.mapX(x, y);
    localY = inverse.mapY(x, y);
    return true;
}

bool boxHolds(const EditTextObject& field, double x, double y)
{
    double localX = 0;
    double localY = 0;
    if (!toLocal(field, x, y, localX, localY))
        return false;
    const swf::Rect& box = field.definition().bounds;
    return localX >= box.xMin.value && localX <= box.xMax.value && localY >= box.yMin.value &&
           localY <= box.yMax.value;
}

// What takes the press: a field, or a button (any non-field means no field).
const DisplayObject* pressTarget(ContainerObject& container, double x, double y, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return nullptr;
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible() || child.isMask() || child.isUnloading())
            continue;
        switch (child.kind()) {
        case ObjectKind::EditText: {
            const auto& field = static_cast<const EditTextObject&>(child);
            if (!field.definition().noSelect && boxHolds(field, x, y))
                return &child;
            break;
        }
        case ObjectKind::Button:
            if (ButtonTracker::takesPointer(child) &&
                static_cast<const ButtonObject&>(child).hitTest(x, y))
                return &child;
            break;
        case ObjectKind::Sprite:
            if (ButtonTracker::takesPointer(child)) {
                if (coversPoint(child, x, y))
                    return &child;
            } else if (const DisplayObject* inner =
                           pressTarget(static_cast<ContainerObject&>(child), x, y, level + 1)) {
                return inner;
            }
            break;
        default:
            break;
        }
    }
    return nullptr;
}

} // namespace

EditTextObject* fieldAt(ContainerObject& root, double x, double y)
{
    const DisplayObject* found = topmostAt(root, x, y, nullptr);
    if (!found || found->kind() != ObjectKind::EditText)
        return nullptr;
    auto* field = const_cast<EditTextObject*>(static_cast<const EditTextObject*>(found));
    return boxHolds(*field, x, y) ? field : nullptr;
}

EditTextObject* selectableFieldAt(ContainerObject& root, double x, double y)
{
    const DisplayObject* target = pressTarget(root, x, y, 0);
    if (!target || target->kind() != ObjectKind::EditText)
        return nullptr;
    return const_cast<EditTextObject*>(static_cast<const EditTextObject*>(target));
}

} // namespace runtime
