// The engine's input side: the handlers the player's pointer, keys and focus reach
// (buttons' onPress and the like, focused objects' onKeyDown, the Mouse, Key and
// Selection listeners), and what the runtime asks of scripts to route input (which
// clips act as buttons, which objects are disabled or leave the tab order).
#include "Engine.h"
#include "runtime/DisplayObject.h"

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

std::optional<bool> Engine::tabEnabled(const runtime::DisplayObject& object) const
{
    const std::optional<Value> value = scriptProperty(object, "tabEnabled");
    if (!value)
        return std::nullopt;
    return m_vm->toBoolean(*value);
}

std::optional<double> Engine::tabIndex(const runtime::DisplayObject& object) const
{
    const std::optional<Value> value = scriptProperty(object, "tabIndex");
    if (!value)
        return std::nullopt;
    // -1 leaves the object out of the order, as no tabIndex does.
    const double index = m_vm->toNumber(*value);
    if (std::isnan(index) || index == -1)
        return std::nullopt;
    return index;
}

} // namespace avm1
