// Button: the class of buttons' script objects. Buttons have their display properties
// (_x, _alpha...) as clips do, but none of MovieClip's methods: their prototype holds
// getDepth and the two switches the pointer obeys.
#include "Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

namespace avm1 {

namespace {

Value constructButton(Vm&, const CallArgs&)
{
    return Value();
}

// The depth as scripts number them; undefined on what is no button on the stage.
Value getDepth(Vm&, const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    ClipObject* live = clip ? clip->live() : nullptr;
    runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
    if (!object || object->kind() != runtime::ObjectKind::Button)
        return Value();
    return Value(static_cast<double>(object->scriptDepth()));
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
    vm.builtins().buttonProto = proto;
}

} // namespace avm1
