// Boolean: called it converts (and with nothing answers undefined), with new it wraps.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "avm1/Vm.h"

#include <optional>

namespace avm1 {

namespace {

Value callBoolean(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    return Value(vm.toBoolean(call.arg(0)));
}

Value constructBoolean(Vm& vm, const CallArgs& call)
{
    const bool value = call.count() > 0 && vm.toBoolean(call.arg(0));
    if (vm.throwing())
        return Value();
    auto* object =
        vm.heap().make<PrimitiveObject>(instancePrototype(vm, call, vm.builtins().booleanProto),
                                        ObjectClass::Boolean, Value(value));
    markConstructed(vm, object, call.callee);
    return Value(object);
}

// The Boolean a method works on; none for anything but a Boolean or a Boolean object.
std::optional<bool> thisBoolean(const CallArgs& call)
{
    if (call.thisValue.isBoolean())
        return call.thisValue.asBoolean();
    if (const Value primitive = wrappedPrimitive(call.thisObject(), ObjectClass::Boolean);
        primitive.isBoolean())
        return primitive.asBoolean();
    return std::nullopt;
}

Value valueOf(Vm& /*vm*/, const CallArgs& call)
{
    const std::optional<bool> value = thisBoolean(call);
    return value ? Value(*value) : Value();
}

Value toString(Vm& vm, const CallArgs& call)
{
    const std::optional<bool> value = thisBoolean(call);
    if (!value)
        return Value();
    return Value(*value ? vm.names().trueName : vm.names().falseName);
}

} // namespace

void installBoolean(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("Boolean", proto, callBoolean, constructBoolean);
    b.booleanProto = proto;
    b.booleanCtor = ctor;
    // In the order of the reference's native table (ASnative 107).
    vm.defineMethod(proto, "valueOf", valueOf, PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    vm.defineMethod(proto, "toString", toString, PropertyFlag::DontEnum | PropertyFlag::DontDelete);
}

} // namespace avm1
