#include "PointerDrag.h"

#include "ContainerObject.h"
#include "PointerHitTest.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

// The point (stage twips) in the space of the object's parent; false when that space
// flattens the stage to a line.
bool toParentSpace(const DisplayObject& object, double& x, double& y)
{
    const ContainerObject* parent = object.parent();
    if (!parent)
        return true;
    swf::Matrix inverse;
    if (!parent->worldMatrix().invert(inverse))
        return false;
    const double px = inverse.mapX(x, y);
    y = inverse.mapY(x, y);
    x = px;
    return true;
}

const ContainerObject* rootOf(const DisplayObject& object)
{
    const DisplayObject* at = &object;
    while (at->parent())
        at = at->parent();
    return at->kind() == ObjectKind::Sprite ? static_cast<const ContainerObject*>(at) : nullptr;
}

// The nearest clip holding what lies at the point; the main timeline counts as none.
std::string clipUnder(const DisplayObject& dragged, double x, double y)
{
    const ContainerObject* root = rootOf(dragged);
    if (!root)
        return {};
    const DisplayObject* hit = topmostAt(*root, x, y, &dragged);
    // A clip found for what its scripts drew holds that itself.
    const DisplayObject* holder = hit && hit->kind() != ObjectKind::Sprite ? hit->parent() : hit;
    for (const DisplayObject* at = holder; at; at = at->parent()) {
        if (at->isRoot())
            break;
        if (at->kind() == ObjectKind::Sprite)
            return at->targetPath();
    }
    return {};
}

} // namespace

void PointerDrag::start(DisplayObject& object, bool lockCenter,
                        std::optional<Constraint> constraint, double x, double y)
{
    m_object = object.shared_from_this();
    m_lockCenter = lockCenter;
    m_constraint = constraint;
    m_offsetX = 0;
    m_offsetY = 0;
    if (!lockCenter && toParentSpace(object, x, y)) {
        m_offsetX = object.matrix().tx - x;
        m_offsetY = object.matrix().ty - y;
    }
    if (lockCenter)
        follow(x, y);
}

void PointerDrag::stop(double x, double y)
{
    std::shared_ptr<DisplayObject> object = m_object.lock();
    m_object.reset();
    if (!object)
        return;
    m_dropped = object;
    m_droppedOn = clipUnder(*object, x, y);
}

DisplayObject* PointerDrag::dragged() const
{
    DisplayObject* object = m_object.lock().get();
    return object && object->onStage() ? object : nullptr;
}

void PointerDrag::follow(double x, double y)
{
    DisplayObject* object = dragged();
    if (!object || !toParentSpace(*object, x, y))
        return;
    x += m_offsetX;
    y += m_offsetY;
    if (m_constraint) {
        const Constraint& box = *m_constraint;
        x = std::clamp(x, std::min(box.left, box.right), std::max(box.left, box.right));
        y = std::clamp(y, std::min(box.top, box.bottom), std::max(box.top, box.bottom));
    }
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    object->setX(x / swf::Twips::kPerPixel);
    object->setY(y / swf::Twips::kPerPixel);
}

std::string PointerDrag::dropTarget(const DisplayObject& object, double x, double y) const
{
    if (dragged() == &object)
        return clipUnder(object, x, y);
    if (m_dropped.lock().get() == &object)
        return m_droppedOn;
    return {};
}

} // namespace runtime
