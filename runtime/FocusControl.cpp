#include "FocusControl.h"

#include "ButtonTracker.h"
#include "EditTextObject.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "TabOrder.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace runtime {

namespace {

// Buttons and clips acting as buttons show the focus as the pointer over them would.
bool rollsWithFocus(const DisplayObject& object)
{
    return object.kind() != ObjectKind::EditText && ButtonTracker::takesPointer(object);
}

void queueChange(SpriteObject& root, FocusControl::Change change)
{
    QueuedAction action;
    action.kind = QueuedAction::Kind::FocusChange;
    action.target = root.shared_from_this();
    action.button = std::move(change.to);
    action.other = std::move(change.from);
    root.context().actions().push(std::move(action));
}

} // namespace

std::shared_ptr<DisplayObject> FocusControl::focused() const
{
    std::shared_ptr<DisplayObject> object = m_focused.lock();
    return object && object->onStage() ? object : nullptr;
}

bool FocusControl::keysReachFocus() const
{
    const std::shared_ptr<DisplayObject> object = focused();
    return object && m_keysReachFocus && object->kind() != ObjectKind::EditText;
}

std::optional<FocusControl::Change>
FocusControl::moveFocus(SpriteObject&, std::shared_ptr<DisplayObject> object, Cause cause)
{
    if (object && (object->isRoot() || !object->onStage()))
        object = nullptr;
    std::shared_ptr<DisplayObject> previous = focused();
    const bool byKeys = cause == Cause::Script || cause == Cause::Keyboard;
    if (byKeys || cause == Cause::Window) {
        if (previous && rollsWithFocus(*previous))
            ButtonTracker::transition(*previous, swf::OverUpToIdle);
    }
    if (byKeys && object) {
        if (rollsWithFocus(*object))
            ButtonTracker::transition(*object, swf::IdleToOverUp);
        if (object->kind() == ObjectKind::EditText) {
            auto& field = static_cast<EditTextObject&>(*object);
            field.setSelection(TextSelection{0, field.content().length()});
        }
    }
    m_focused = object;
    m_keysReachFocus = byKeys && object;
    if (m_keysReachFocus) {
        const ScriptEngine* engine = object->context().scriptEngine();
        m_showsRect = !engine || engine->showsFocusRect(*object);
    }
    if (previous == object)
        return std::nullopt;
    if (previous)
        previous->markContentChanged();
    if (object)
        object->markContentChanged();
    return Change{std::move(previous), std::move(object)};
}

bool FocusControl::setFocus(SpriteObject& root, std::shared_ptr<DisplayObject> object, Cause cause)
{
    std::optional<Change> change = moveFocus(root, std::move(object), cause);
    if (!change)
        return false;
    if (cause != Cause::Script)
        queueChange(root, std::move(*change));
    return true;
}

bool FocusControl::tab(SpriteObject& root, bool backwards)
{
    const std::vector<DisplayObject*> order = tabOrder(root);
    if (order.empty())
        return false;
    const std::shared_ptr<DisplayObject> current = focused();
    const auto at = std::find(order.begin(), order.end(), current.get());
    std::size_t next = 0;
    if (at == order.end())
        next = backwards ? order.size() - 1 : 0;
    else if (backwards)
        next = at == order.begin() ? order.size() - 1 : std::size_t(at - order.begin()) - 1;
    else
        next = (std::size_t(at - order.begin()) + 1) % order.size();
    setFocus(root, order[next]->shared_from_this(), Cause::Keyboard);
    return true;
}

void FocusControl::pointerMoved(const DisplayObject* pointedAt)
{
    const std::shared_ptr<DisplayObject> object = focused();
    if (!object || !m_keysReachFocus || !rollsWithFocus(*object))
        return;
    m_keysReachFocus = false;
    if (object.get() != pointedAt)
        ButtonTracker::transition(*object, swf::OverUpToIdle);
}

} // namespace runtime
