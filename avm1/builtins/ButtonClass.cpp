// Button: the class of buttons' script objects. Buttons have their display properties
// (_x, _alpha...) as clips do, but none of MovieClip's methods: their prototype holds
// getDepth and the two switches the pointer obeys.
#include "Builtins.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/ButtonObject.h"

namespace avm1 {

namespace {

Value constructButton(Vm&, const CallArgs&)
{
    return Value();
}

runtime::ButtonObject* thisButton(const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    ClipObject* live = clip ? clip->live() : nullptr;
    runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
    if (!object || object->kind() != runtime::ObjectKind::Button)
        return nullptr;
    return static_cast<runtime::ButtonObject*>(object);
}

// The depth as scripts number them; undefined on what is no button on the stage.
Value getDepth(Vm&, const CallArgs& call)
{
    runtime::ButtonObject* button = thisButton(call);
    return button ? Value(static_cast<double>(button->scriptDepth())) : Value();
}

// trackAsMenu: the DefineButton2 flag until a script sets it, by its truth.
Value getTrackAsMenu(Vm&, const CallArgs& call)
{
    runtime::ButtonObject* button = thisButton(call);
    return button ? Value(button->trackAsMenu()) : Value();
}

Value setTrackAsMenu(Vm& vm, const CallArgs& call)
{
    if (runtime::ButtonObject* button = thisButton(call))
        button->setTrackAsMenu(vm.toBoolean(call.arg(0)));
    return Value();
}

} // namespace

void installButton(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("Button", proto, constructButton);
    // Enumerable, as the reference's are.
    vm.defineMethod(proto, "getDepth", getDepth, 0);
    proto->defineValue(vm, "enabled", Value(true));
    proto->defineValue(vm, "useHandCursor", Value(true));
    defineAccessor(vm, proto, "trackAsMenu", getTrackAsMenu, setTrackAsMenu,
                   PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    vm.builtins().buttonProto = proto;
}

} // namespace avm1
