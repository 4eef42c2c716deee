#include "ButtonTracker.h"

#include "ButtonObject.h"
#include "PlayerContext.h"
#include "PointerHitTest.h"
#include "StageEvents.h"
#include "format/Limits.h"

#include <iterator>

namespace runtime {

namespace {

// The clip events a transition gives a clip acting as a button.
std::uint32_t buttonEventBits()
{
    std::uint32_t bits = 0;
    for (ClipEvent event :
         {ClipEvent::Press, ClipEvent::Release, ClipEvent::ReleaseOutside, ClipEvent::RollOver,
          ClipEvent::RollOut, ClipEvent::DragOver, ClipEvent::DragOut})
        bits |= clipEventBit(event);
    return bits;
}

std::shared_ptr<DisplayObject> lockOnStage(const std::weak_ptr<DisplayObject>& weak)
{
    std::shared_ptr<DisplayObject> object = weak.lock();
    // An object taken off the stage no longer takes part.
    return object && object->onStage() ? object : nullptr;
}

std::shared_ptr<DisplayObject> shared(DisplayObject* object)
{
    return object ? object->shared_from_this() : nullptr;
}

bool trackAsMenu(const DisplayObject* object)
{
    return object && object->kind() == ObjectKind::Button &&
           static_cast<const ButtonObject*>(object)->trackAsMenu();
}

ClipEvent clipEventFor(swf::ButtonCondition condition)
{
    switch (condition) {
    case swf::IdleToOverUp:
        return ClipEvent::RollOver;
    case swf::OverUpToIdle:
        return ClipEvent::RollOut;
    case swf::OverUpToOverDown:
        return ClipEvent::Press;
    case swf::OverDownToOverUp:
        return ClipEvent::Release;
    case swf::OutDownToIdle:
        return ClipEvent::ReleaseOutside;
    case swf::OverDownToOutDown:
    case swf::OverDownToIdle:
        return ClipEvent::DragOut;
    case swf::OutDownToOverDown:
    case swf::IdleToOverDown:
        return ClipEvent::DragOver;
    }
    return ClipEvent::RollOver;
}

bool hasButtonClipActions(const DisplayObject& clip)
{
    if (const auto* actions = clip.clipActions()) {
        const std::uint32_t bits = buttonEventBits();
        for (const swf::ClipAction& action : *actions) {
            if (action.events & bits)
                return true;
        }
    }
    return false;
}

DisplayObject* findTarget(ContainerObject& container, double x, double y, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return nullptr;
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible() || child.isMask() || child.isUnloading() ||
            child.isActiveScriptMask() || !maskAllows(child, x, y))
            continue;
        if (child.kind() == ObjectKind::Button) {
            auto& button = static_cast<ButtonObject&>(child);
            if (DisplayObject* inner = findTarget(button, x, y, level + 1))
                return inner;
            if (ButtonTracker::takesPointer(button) && button.hitTest(x, y))
                return &button;
        } else if (child.kind() == ObjectKind::Sprite) {
            if (ButtonTracker::takesPointer(child)) {
                if (coversPoint(child, x, y))
                    return &child;
            } else if (DisplayObject* found =
                           findTarget(static_cast<ContainerObject&>(child), x, y, level + 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

bool ButtonTracker::takesPointer(const DisplayObject& object)
{
    const ScriptEngine* engine = object.context().scriptEngine();
    if (engine && engine->isDisabled(object))
        return false;
    if (object.kind() == ObjectKind::Button)
        return static_cast<const ButtonObject&>(object).enabled();
    if (object.kind() != ObjectKind::Sprite || object.isRoot())
        return false;
    return hasButtonClipActions(object) || (engine && engine->hasButtonHandler(object));
}

bool ButtonTracker::transition(DisplayObject& object, swf::ButtonCondition condition)
{
    if (object.kind() == ObjectKind::Button)
        return static_cast<ButtonObject&>(object).transition(condition);
    queueClipEvent(object, clipEventFor(condition));
    return true;
}

DisplayObject* ButtonTracker::targetAt(ContainerObject& root, double x, double y)
{
    return findTarget(root, x, y, 0);
}

void ButtonTracker::Tracked::hold(const std::shared_ptr<DisplayObject>& held)
{
    object = held;
    parent = held && held->parent() ? held->parent()->shared_from_this()
                                    : std::shared_ptr<DisplayObject>();
    depth = held ? held->depth() : 0;
    characterId = held ? held->characterId() : 0;
}

std::shared_ptr<DisplayObject> ButtonTracker::Tracked::replacement() const
{
    const std::shared_ptr<DisplayObject> held = object.lock();
    if (held && held->onStage())
        return nullptr;
    const std::shared_ptr<DisplayObject> heldParent = parent.lock();
    if (!heldParent || characterId == 0 || !heldParent->onStage() ||
        (heldParent->kind() != ObjectKind::Sprite && heldParent->kind() != ObjectKind::Button))
        return nullptr;
    DisplayObject* standing = static_cast<ContainerObject&>(*heldParent).childAt(depth);
    if (!standing || standing == held.get() || standing->characterId() != characterId ||
        standing->isUnloading())
        return nullptr;
    return standing->shared_from_this();
}

std::shared_ptr<DisplayObject> ButtonTracker::hovered() const
{
    return lockOnStage(m_hovered.object);
}

std::shared_ptr<DisplayObject> ButtonTracker::pressed() const
{
    return lockOnStage(m_pressed.object);
}

std::shared_ptr<DisplayObject> ButtonTracker::pointedAt() const
{
    if (!m_down)
        return hovered();
    return m_pressedInside ? pressed() : nullptr;
}

void ButtonTracker::takeOver()
{
    const auto keepState = [](DisplayObject& object, ButtonTracking state) {
        if (object.kind() == ObjectKind::Button)
            static_cast<ButtonObject&>(object).takeTracking(state);
    };
    if (const std::shared_ptr<DisplayObject> pressedNow = m_pressed.replacement()) {
        m_pressed.hold(pressedNow);
        keepState(*pressedNow,
                  m_pressedInside ? ButtonTracking::OverDown : ButtonTracking::OutDown);
    }
    if (const std::shared_ptr<DisplayObject> hoveredNow = m_hovered.replacement()) {
        m_hovered.hold(hoveredNow);
        keepState(*hoveredNow, ButtonTracking::OverUp);
    }
}

void ButtonTracker::pointerMove(ContainerObject& root, double x, double y)
{
    DisplayObject* target = targetAt(root, x, y);
    takeOver();
    if (m_down)
        dragTo(target);
    else
        hover(target);
}

void ButtonTracker::pointerDown(ContainerObject& root, double x, double y)
{
    if (m_down)
        return;
    const std::shared_ptr<DisplayObject> target = shared(targetAt(root, x, y));
    takeOver();
    hover(target.get());
    m_down = true;
    m_hovered.reset();
    if (!target)
        return;
    transition(*target, swf::OverUpToOverDown);
    m_pressed.hold(target);
    m_pressedInside = true;
}

void ButtonTracker::pointerUp(ContainerObject& root, double x, double y)
{
    if (!m_down)
        return;
    // Held while the transitions below change the stage.
    const std::shared_ptr<DisplayObject> target = shared(targetAt(root, x, y));
    takeOver();
    dragTo(target.get());
    m_down = false;
    if (std::shared_ptr<DisplayObject> held = pressed()) {
        if (m_pressedInside) {
            transition(*held, swf::OverDownToOverUp);
            m_hovered.hold(held);
        } else {
            transition(*held, swf::OutDownToIdle);
        }
    }
    m_pressed.reset();
    // Released outside, the pointer may stand over another object.
    hover(target.get());
}

void ButtonTracker::hover(DisplayObject* target)
{
    std::shared_ptr<DisplayObject> current = hovered();
    if (current.get() == target)
        return;
    if (current)
        transition(*current, swf::OverUpToIdle);
    if (target)
        transition(*target, swf::IdleToOverUp);
    m_hovered.hold(shared(target));
}

void ButtonTracker::dragTo(DisplayObject* target)
{
    std::shared_ptr<DisplayObject> held = pressed();
    if (held && !trackAsMenu(held.get())) {
        if (target == held.get() && !m_pressedInside) {
            transition(*held, swf::OutDownToOverDown);
            m_pressedInside = true;
        } else if (target != held.get() && m_pressedInside) {
            transition(*held, swf::OverDownToOutDown);
            m_pressedInside = false;
        }
        return;
    }
    if (held && target != held.get()) {
        transition(*held, swf::OverDownToIdle);
        m_pressed.reset();
    }
    if (target && target != held.get() && trackAsMenu(target) &&
        transition(*target, swf::IdleToOverDown)) {
        m_pressed.hold(shared(target));
        m_pressedInside = true;
    }
}

} // namespace runtime
