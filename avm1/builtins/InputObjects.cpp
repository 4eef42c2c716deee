// Key, Mouse and Accessibility: the objects scripts ask about input and assistive
// technology. Until the player sends keys and the pointer to scripts, no key is down
// and no screen reader is active; the objects and their methods are all there, so
// scripts that look for them, add listeners or read the key constants run as authored.
#include "Builtins.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsZero(Vm&, const CallArgs&)
{
    return Value(0);
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
    {"ALT", 18},    {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46},
    {"DOWN", 40},   {"END", 35},      {"ENTER", 13},    {"ESCAPE", 27},  {"HOME", 36},
    {"INSERT", 45}, {"LEFT", 37},     {"PGDN", 34},     {"PGUP", 33},    {"RIGHT", 39},
    {"SHIFT", 16},  {"SPACE", 32},    {"TAB", 9},       {"UP", 38},
};

} // namespace

void installInputObjects(Vm& vm)
{
    constexpr std::uint16_t kBuiltIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;

    Object* key = vm.makeObject();
    makeBroadcaster(vm, key);
    vm.defineMethod(key, "getAscii", returnsZero, kBuiltIn);
    vm.defineMethod(key, "getCode", returnsZero, kBuiltIn);
    vm.defineMethod(key, "isDown", returnsFalse, kBuiltIn);
    vm.defineMethod(key, "isToggled", returnsFalse, kBuiltIn);
    for (const auto& constant : kKeyConstants)
        key->defineValue(vm, constant.name, Value(constant.code),
                         kBuiltIn | PropertyFlag::ReadOnly);
    vm.global()->defineValue(vm, "Key", Value(key), PropertyFlag::DontEnum);

    Object* mouse = vm.makeObject();
    makeBroadcaster(vm, mouse);
    vm.defineMethod(mouse, "show", returnsUndefined, kBuiltIn);
    vm.defineMethod(mouse, "hide", returnsUndefined, kBuiltIn);
    vm.global()->defineValue(vm, "Mouse", Value(mouse), PropertyFlag::DontEnum);

    Object* accessibility = vm.makeObject();
    vm.defineMethod(accessibility, "isActive", returnsFalse, kBuiltIn);
    vm.defineMethod(accessibility, "updateProperties", returnsUndefined, kBuiltIn);
    vm.defineMethod(accessibility, "sendEvent", returnsUndefined, kBuiltIn);
    vm.global()->defineValue(vm, "Accessibility", Value(accessibility), PropertyFlag::DontEnum);
}

} // namespace avm1
