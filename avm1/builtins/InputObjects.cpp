// Key, Mouse and Accessibility: the objects scripts ask about input and assistive
// technology. Key answers from the player's keyboard state; the player broadcasts
// key and mouse events to the listeners of both (Engine's input side). No screen
// reader is ever active.
#include "Builtins.h"
#include "InputAccess.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "runtime/InputState.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

runtime::SpriteObject* mainTimeline(Vm& vm)
{
    ClipObject* root = asClip(vm.interpreter().rootClip());
    runtime::SpriteObject* sprite = root ? root->sprite() : nullptr;
    return sprite && sprite->isRoot() ? sprite : nullptr;
}

runtime::InputState* playerInput(Vm& vm)
{
    runtime::SpriteObject* root = mainTimeline(vm);
    return root ? &root->context().input() : nullptr;
}

namespace {

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

// Mouse.hide and Mouse.show: 1 when the pointer was showing before the call, else 0.
Value setPointerHidden(Vm& vm, bool hidden)
{
    runtime::InputState* input = playerInput(vm);
    if (!input)
        return Value(1);
    const bool wasShowing = !input->pointerHidden();
    input->setPointerHidden(hidden);
    return Value(wasShowing ? 1 : 0);
}

Value hidePointer(Vm& vm, const CallArgs&)
{
    return setPointerHidden(vm, true);
}

Value showPointer(Vm& vm, const CallArgs&)
{
    return setPointerHidden(vm, false);
}

// The key code argument; codes that are no whole number in range name no key.
int keyArgument(Vm& vm, const CallArgs& call)
{
    const double code = vm.toNumber(call.arg(0));
    if (!std::isfinite(code) || code < 0 || code >= runtime::key::Count)
        return -1;
    return static_cast<int>(code);
}

Value isDown(Vm& vm, const CallArgs& call)
{
    const int code = keyArgument(vm, call);
    const runtime::InputState* input = playerInput(vm);
    return Value(input && input->keyboard().isDown(code));
}

Value isToggled(Vm& vm, const CallArgs& call)
{
    const int code = keyArgument(vm, call);
    const runtime::InputState* input = playerInput(vm);
    return Value(input && input->keyboard().isToggled(code));
}

// Whether other movies may read the last key: this player loads one movie at a time.
Value returnsTrue(Vm&, const CallArgs&)
{
    return Value(true);
}

Value getCode(Vm& vm, const CallArgs&)
{
    const runtime::InputState* input = playerInput(vm);
    return Value(input ? input->keyboard().lastCode() : 0);
}

Value getAscii(Vm& vm, const CallArgs&)
{
    const runtime::InputState* input = playerInput(vm);
    return Value(input ? input->keyboard().lastAscii() : 0);
}

// Gives `object` the broadcaster's methods and listener list, as AsBroadcaster does
// for the player's own broadcasting objects.
void makeBroadcaster(Vm& vm, Object* object)
{
    const Value broadcaster = vm.getMember(vm.global(), vm.str("AsBroadcaster"));
    const Value arg(object);
    vm.callMethod(broadcaster, vm.str("initialize"), std::span<const Value>(&arg, 1));
}

// The key codes of the Key object, as the format's key codes number them.
constexpr struct {
    const char* name;
    int code;
} kKeyConstants[] = {
    {"ALT", runtime::key::Alt},
    {"BACKSPACE", runtime::key::Backspace},
    {"CAPSLOCK", runtime::key::CapsLock},
    {"CONTROL", runtime::key::Control},
    {"DELETEKEY", runtime::key::Delete},
    {"DOWN", runtime::key::Down},
    {"END", runtime::key::End},
    {"ENTER", runtime::key::Enter},
    {"ESCAPE", runtime::key::Escape},
    {"HOME", runtime::key::Home},
    {"INSERT", runtime::key::Insert},
    {"LEFT", runtime::key::Left},
    {"PGDN", runtime::key::PageDown},
    {"PGUP", runtime::key::PageUp},
    {"RIGHT", runtime::key::Right},
    {"SHIFT", runtime::key::Shift},
    {"SPACE", runtime::key::Space},
    {"TAB", runtime::key::Tab},
    {"UP", runtime::key::Up},
};

} // namespace

void installInputObjects(Vm& vm)
{
    constexpr std::uint16_t kBuiltIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;

    Object* key = vm.makeObject();
    makeBroadcaster(vm, key);
    vm.defineMethod(key, "getAscii", getAscii, kBuiltIn);
    vm.defineMethod(key, "getCode", getCode, kBuiltIn);
    vm.defineMethod(key, "isAccessible", returnsTrue, kBuiltIn);
    vm.defineMethod(key, "isDown", isDown, kBuiltIn);
    vm.defineMethod(key, "isToggled", isToggled, kBuiltIn);
    for (const auto& constant : kKeyConstants)
        key->defineValue(vm, constant.name, Value(constant.code),
                         kBuiltIn | PropertyFlag::ReadOnly);
    vm.global()->defineValue(vm, "Key", Value(key), PropertyFlag::DontEnum);

    Object* mouse = vm.makeObject();
    makeBroadcaster(vm, mouse);
    vm.defineMethod(mouse, "show", showPointer, kBuiltIn);
    vm.defineMethod(mouse, "hide", hidePointer, kBuiltIn);
    vm.global()->defineValue(vm, "Mouse", Value(mouse), PropertyFlag::DontEnum);

    Object* accessibility = vm.makeObject();
    vm.defineMethod(accessibility, "isActive", returnsFalse, kBuiltIn);
    vm.defineMethod(accessibility, "updateProperties", returnsUndefined, kBuiltIn);
    vm.defineMethod(accessibility, "sendEvent", returnsUndefined, kBuiltIn);
    vm.global()->defineValue(vm, "Accessibility", Value(accessibility), PropertyFlag::DontEnum);
}

} // namespace avm1
