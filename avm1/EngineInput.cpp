// The engine's input side: the handlers the player's pointer, keys and focus reach
// (buttons' onPress and the like, focused objects' onKeyDown, the Mouse, Key and
// Selection listeners), and what the runtime asks of scripts to route input (which
// clips act as buttons, which objects are disabled or leave the tab order).
#include "Engine.h"
#include "runtime/DisplayObject.h"
#include "runtime/EditTextObject.h"

#include <array>
#include <cmath>

namespace avm1 {

namespace {

// The handlers that make a clip act as a button.
constexpr std::array<const char*, 7> kButtonHandlers{
    "onPress",   "onRelease",  "onReleaseOutside", "onRollOver",
    "onRollOut", "onDragOver", "onDragOut",
};

bool isFunction(const Value& value)
{
    Object* object = value.objectOrNull();
    return object && object->isFunction();
}

// The listener objects an event goes to, and the method it calls on them.
struct Listeners {
    const char* broadcaster;
    const char* method;
};

std::optional<Listeners> listenersFor(runtime::ClipEvent event)
{
    switch (event) {
    case runtime::ClipEvent::MouseMove:
        return Listeners{"Mouse", "onMouseMove"};
    case runtime::ClipEvent::MouseDown:
        return Listeners{"Mouse", "onMouseDown"};
    case runtime::ClipEvent::MouseUp:
        return Listeners{"Mouse", "onMouseUp"};
    case runtime::ClipEvent::KeyDown:
        return Listeners{"Key", "onKeyDown"};
    case runtime::ClipEvent::KeyUp:
        return Listeners{"Key", "onKeyUp"};
    default:
        return std::nullopt;
    }
}

} // namespace

std::size_t Engine::callMethodIfAny(Object* target, const char* name, std::span<const Value> args)
{
    if (!target || !name || !*name)
        return 0;
    Value fn;
    if (!m_vm->lookup(target, m_vm->str(name), fn) || !isFunction(fn))
        return 0;
    return callHandler(fn, target, args);
}

std::optional<Value> Engine::scriptProperty(const runtime::DisplayObject& object,
                                            const char* name) const
{
    ClipObject* clip = m_clips->find(object.id());
    Value value;
    if (!clip || !m_vm->lookup(clip, m_vm->str(name), value) || value.isUndefined())
        return std::nullopt;
    return value;
}

std::size_t Engine::runButtonEvent(const runtime::QueuedAction& action)
{
    if (!action.button)
        return 0;
    return callMethodIfAny(m_clips->wrap(action.button.get()),
                           runtime::buttonEventMethod(action.condition));
}

std::size_t Engine::runHandler(const runtime::QueuedAction& action)
{
    return callMethodIfAny(m_clips->wrap(action.target.get()),
                           runtime::clipEventMethod(action.event));
}

std::size_t Engine::runListeners(const runtime::QueuedAction& action)
{
    const std::optional<Listeners> listeners = listenersFor(action.event);
    if (!listeners)
        return 0;
    Object* broadcaster = m_vm->getMember(m_vm->global(), listeners->broadcaster).objectOrNull();
    const Value message = m_vm->strValue(listeners->method);
    return callMethodIfAny(broadcaster, "broadcastMessage", std::span<const Value>(&message, 1));
}

// The object losing the focus hears onKillFocus(new), the one taking it
// onSetFocus(old), then the Selection listeners onSetFocus(old, new).
std::size_t Engine::runFocusChange(const runtime::QueuedAction& action)
{
    const auto asValue = [&](const std::shared_ptr<runtime::DisplayObject>& object) {
        ClipObject* clip = object ? m_clips->wrap(object.get()) : nullptr;
        return clip ? Value(clip) : Value::null();
    };
    const Value previous = asValue(action.other);
    const Value next = asValue(action.button);
    std::size_t ran = 0;
    if (Object* losing = previous.objectOrNull())
        ran += callMethodIfAny(losing, "onKillFocus", std::span<const Value>(&next, 1));
    if (Object* taking = next.objectOrNull())
        ran += callMethodIfAny(taking, "onSetFocus", std::span<const Value>(&previous, 1));
    Object* selection = m_vm->getMember(m_vm->global(), "Selection").objectOrNull();
    const std::array<Value, 3> args{m_vm->strValue("onSetFocus"), previous, next};
    return ran + callMethodIfAny(selection, "broadcastMessage", args);
}

std::size_t Engine::runStageResize()
{
    Object* stage = m_vm->getMember(m_vm->global(), "Stage").objectOrNull();
    const Value message = m_vm->strValue("onResize");
    return callMethodIfAny(stage, "broadcastMessage", std::span<const Value>(&message, 1));
}

bool Engine::hasButtonHandler(const runtime::DisplayObject& object) const
{
    ClipObject* clip = m_clips->find(object.id());
    if (!clip)
        return false;
    for (const char* name : kButtonHandlers) {
        Value fn;
        if (m_vm->lookup(clip, m_vm->str(name), fn) && isFunction(fn))
            return true;
    }
    return false;
}

bool Engine::isDisabled(const runtime::DisplayObject& object) const
{
    const std::optional<Value> enabled = scriptProperty(object, "enabled");
    return enabled && !m_vm->toBoolean(*enabled);
}

bool Engine::usesHandCursor(const runtime::DisplayObject& object) const
{
    const std::optional<Value> hand = scriptProperty(object, "useHandCursor");
    return !hand || m_vm->toBoolean(*hand);
}

// A clip that was given a member named as a button handler is in the tab order even
// when the member is no function (or undefined): only its name counts.
std::optional<bool> Engine::tabEnabled(const runtime::DisplayObject& object) const
{
    if (const std::optional<Value> value = scriptProperty(object, "tabEnabled"))
        return m_vm->toBoolean(*value);
    if (object.kind() != runtime::ObjectKind::Sprite)
        return std::nullopt;
    ClipObject* clip = m_clips->find(object.id());
    if (!clip)
        return std::nullopt;
    for (const char* name : kButtonHandlers) {
        if (m_vm->hasProperty(clip, m_vm->str(name)))
            return true;
    }
    return std::nullopt;
}

std::optional<bool> Engine::tabChildren(const runtime::DisplayObject& clip) const
{
    const std::optional<Value> value = scriptProperty(clip, "tabChildren");
    if (!value)
        return std::nullopt;
    return m_vm->toBoolean(*value);
}

// The object's own _focusrect, when a script gave it one, else the movie's.
bool Engine::showsFocusRect(const runtime::DisplayObject& object) const
{
    if (const ClipObject* clip = m_clips->find(object.id()); clip && clip->focusRect())
        return *clip->focusRect();
    return m_clips->settings().focusRect;
}

// The Mouse listeners hear onMouseWheel(lines, the object under the pointer).
std::size_t Engine::runMouseWheel(const runtime::QueuedAction& action)
{
    Object* mouse = m_vm->getMember(m_vm->global(), "Mouse").objectOrNull();
    ClipObject* under = action.button ? m_clips->wrap(action.button.get()) : nullptr;
    const std::array<Value, 3> args{m_vm->strValue("onMouseWheel"),
                                    Value(static_cast<double>(action.wheelDelta)),
                                    under ? Value(under) : Value()};
    return callMethodIfAny(mouse, "broadcastMessage", args);
}

// The user changed a field's text: its variable takes the text, then the field tells
// its listeners (itself first) onChanged(field).
std::size_t Engine::runTextChanged(const runtime::QueuedAction& action)
{
    if (!action.target || action.target->kind() != runtime::ObjectKind::EditText)
        return 0;
    auto& field = static_cast<runtime::EditTextObject&>(*action.target);
    ClipObject* clip = m_clips->wrap(&field);
    if (!clip)
        return 0;
    m_clips->textBindings().textAssigned(*m_vm, *m_clips, field);
    const std::array<Value, 2> args{m_vm->strValue("onChanged"), Value(clip)};
    return callMethodIfAny(clip, "broadcastMessage", args);
}

// The user scrolled a field, or typed so that its scrolling changed: it tells its
// listeners (itself first) onScroller(field).
std::size_t Engine::runTextScrolled(const runtime::QueuedAction& action)
{
    if (!action.target || action.target->kind() != runtime::ObjectKind::EditText)
        return 0;
    ClipObject* clip = m_clips->wrap(action.target.get());
    if (!clip)
        return 0;
    const std::array<Value, 2> args{m_vm->strValue("onScroller"), Value(clip)};
    return callMethodIfAny(clip, "broadcastMessage", args);
}

std::optional<double> Engine::tabIndex(const runtime::DisplayObject& object) const
{
    std::optional<std::int32_t> index;
    if (object.kind() == runtime::ObjectKind::EditText) {
        index = static_cast<const runtime::EditTextObject&>(object).extras().tabIndex;
    } else if (const ClipObject* clip = m_clips->find(object.id())) {
        index = clip->tabIndex();
    }
    // -1 leaves the object out of the order, as no tabIndex does.
    if (!index || *index == -1)
        return std::nullopt;
    return *index;
}

} // namespace avm1
