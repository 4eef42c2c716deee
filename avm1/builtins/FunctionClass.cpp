// Function: the constructor (whose instances are plain objects inheriting
// Function.prototype, as the reference makes them) and Function.prototype.call and
// apply. Function.prototype itself is made with Object.prototype (ObjectClass.cpp).
#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"

#include <vector>

namespace avm1 {

namespace {

// new Function() is the fresh object Vm::construct made. Called, Function answers its
// first argument as it is, or with none a new object that inherits nothing.
Value callFunctionConstructor(Vm& vm, const CallArgs& call)
{
    if (call.isConstruct)
        return call.thisValue;
    if (call.count() > 0)
        return call.arg(0);
    Object* bare = vm.makeObject(nullptr);
    bare->setHasPrototypeProperty(false);
    return Value(bare);
}

// The "this" call and apply pass: undefined and null mean _global, primitives their
// wrappers (made by the wrapper class _global holds now).
Value receiver(Vm& vm, Value thisArgument)
{
    if (thisArgument.isObject())
        return thisArgument;
    if (thisArgument.isNullish())
        return Value(vm.global());
    Object* wrapped = vm.toObject(thisArgument);
    return Value(wrapped ? wrapped : vm.global());
}

Value callMethod(Vm& vm, const CallArgs& call)
{
    const Value self = receiver(vm, call.arg(0));
    if (vm.throwing())
        return Value();
    const std::span<const Value> rest =
        call.count() > 1 ? call.args.subspan(1) : std::span<const Value>();
    return vm.call(call.thisValue, self, rest);
}

// apply(thisArgument, array): the elements of an array, an arguments object or any
// object with a length become the arguments; anything else passes none.
Value applyMethod(Vm& vm, const CallArgs& call)
{
    const Value self = receiver(vm, call.arg(0));
    if (vm.throwing())
        return Value();
    // A call's arguments live on the operand stack, so the stack's cap bounds them.
    std::vector<Value> args = elementsOf(vm, call.arg(1).objectOrNull(), limits::kMaxStackValues);
    if (vm.throwing())
        return Value();
    return vm.call(call.thisValue, self, args);
}

} // namespace

void installFunction(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* proto = b.functionProto;
    NativeFunction* ctor = vm.defineClass("Function", proto, callFunctionConstructor);
    b.functionCtor = ctor;
    // Object and Function were made before Function existed: they name it now, as every
    // constructor does (Object's read-only, as the reference has it).
    b.objectCtor->defineValue(vm, "constructor", Value(ctor), PropertyFlag::DontEnum);
    makeReadOnly(b.objectCtor, {"constructor"});
    ctor->defineValue(vm, "constructor", Value(ctor), PropertyFlag::DontEnum);
    // The global Function arrived with SWF 6: older movies do not see it.
    if (Property* p =
            b.global->properties().find(std::string_view("Function"), CaseRule::Sensitive))
        p->flags |= VersionFlag::SinceSwf6;
    const std::uint16_t builtIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    vm.defineMethod(proto, "call", callMethod, builtIn);
    vm.defineMethod(proto, "apply", applyMethod, builtIn);
}

} // namespace avm1
