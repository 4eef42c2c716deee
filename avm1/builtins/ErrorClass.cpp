// Error: new Error(message) keeps the message as given; toString answers the message,
// whatever it is. Called without new, Error makes nothing.
#include "Builtins.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value callError(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!call.isConstruct || !self)
        return Value();
    if (call.count() > 0 && !call.arg(0).isUndefined())
        vm.setMember(self, vm.names().message, call.arg(0));
    return Value();
}

Value toString(Vm& vm, const CallArgs& call)
{
    return vm.getMember(call.thisValue, vm.names().message);
}

} // namespace

void installError(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("Error", proto, callError);
    b.errorProto = proto;
    b.errorCtor = ctor;
    proto->defineValue(vm, "message", vm.strValue("Error"));
    proto->defineValue(vm, "name", vm.strValue("Error"));
    vm.defineMethod(proto, "toString", toString);
}

} // namespace avm1
