#include "ButtonTracker.h"

#include "ButtonObject.h"

#include <iterator>

namespace runtime {

namespace {

std::shared_ptr<ButtonObject> lockOnStage(const std::weak_ptr<ButtonObject>& weak)
{
    std::shared_ptr<ButtonObject> button = weak.lock();
    // A button taken off the stage no longer takes part.
    return button && button->onStage() ? button : nullptr;
}

std::shared_ptr<ButtonObject> shared(ButtonObject* button)
{
    return button ? std::static_pointer_cast<ButtonObject>(button->shared_from_this()) : nullptr;
}

ButtonObject* findButton(const ContainerObject& container, double x, double y)
{
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible() || child.isMask())
            continue;
        if (child.kind() == ObjectKind::Button) {
            auto& button = static_cast<ButtonObject&>(child);
            if (button.enabled() && button.hitTest(x, y))
                return &button;
        } else if (child.kind() == ObjectKind::Sprite) {
            if (ButtonObject* found = findButton(static_cast<ContainerObject&>(child), x, y))
                return found;
        }
    }
    return nullptr;
}

} // namespace

ButtonObject* ButtonTracker::buttonAt(ContainerObject& root, double x, double y)
{
    return findButton(root, x, y);
}

std::shared_ptr<ButtonObject> ButtonTracker::hovered() const
{
    return lockOnStage(m_hovered);
}

std::shared_ptr<ButtonObject> ButtonTracker::pressed() const
{
    return lockOnStage(m_pressed);
}

void ButtonTracker::pointerMove(ContainerObject& root, double x, double y)
{
    ButtonObject* target = buttonAt(root, x, y);
    if (m_down)
        dragTo(target);
    else
        hover(target);
}

void ButtonTracker::pointerDown(ContainerObject& root, double x, double y)
{
    if (m_down)
        return;
    const std::shared_ptr<ButtonObject> target = shared(buttonAt(root, x, y));
    hover(target.get());
    m_down = true;
    m_hovered.reset();
    if (!target)
        return;
    target->transition(swf::OverUpToOverDown);
    m_pressed = target;
}

void ButtonTracker::pointerUp(ContainerObject& root, double x, double y)
{
    if (!m_down)
        return;
    // Held while the transitions below change the stage.
    const std::shared_ptr<ButtonObject> target = shared(buttonAt(root, x, y));
    dragTo(target.get());
    m_down = false;
    if (std::shared_ptr<ButtonObject> held = pressed()) {
        if (held->tracking() == ButtonTracking::OverDown)
            held->transition(swf::OverDownToOverUp);
        else if (held->tracking() == ButtonTracking::OutDown)
            held->transition(swf::OutDownToIdle);
        if (held->tracking() == ButtonTracking::OverUp)
            m_hovered = held;
    }
    m_pressed.reset();
    // Released outside, the pointer may stand over another button.
    hover(target.get());
}

void ButtonTracker::hover(ButtonObject* target)
{
    std::shared_ptr<ButtonObject> current = hovered();
    if (current.get() == target)
        return;
    if (current && current->tracking() == ButtonTracking::OverUp)
        current->transition(swf::OverUpToIdle);
    if (target && target->tracking() == ButtonTracking::Idle)
        target->transition(swf::IdleToOverUp);
    m_hovered = shared(target);
}

void ButtonTracker::dragTo(ButtonObject* target)
{
    std::shared_ptr<ButtonObject> held = pressed();
    if (held && !held->trackAsMenu()) {
        if (target == held.get() && held->tracking() == ButtonTracking::OutDown)
            held->transition(swf::OutDownToOverDown);
        else if (target != held.get() && held->tracking() == ButtonTracking::OverDown)
            held->transition(swf::OverDownToOutDown);
        return;
    }
    if (held && target != held.get()) {
        held->transition(swf::OverDownToIdle);
        m_pressed.reset();
    }
    if (target && target != held.get() && target->trackAsMenu() &&
        target->transition(swf::IdleToOverDown))
        m_pressed = shared(target);
}

} // namespace runtime
