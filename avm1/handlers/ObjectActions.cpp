// Objects: GetMember, SetMember, NewObject, NewMethod, InitArray, InitObject, TypeOf,
// Enumerate, Enumerate2, InstanceOf, CastOp, ImplementsOp, Extends.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipScope.h"
#include "avm1/Operators.h"
#include "avm1/SuperObject.h"

namespace avm1::handlers {

void doGetMember(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value nameValue = pop(in);
    const Value base = pop(in);
    String* name = vm.toString(nameValue);
    if (Object* o = base.objectOrNull(); o && o->objectClass() == ObjectClass::Super) {
        auto* super = static_cast<SuperObject*>(o);
        Object* from = super->base();
        push(in, from ? vm.getMember(from, name) : Value());
        return;
    }
    push(in, vm.getMember(base, name));
}

void doSetMember(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value value = pop(in);
    String* name = vm.toString(pop(in));
    const Value base = pop(in);
    vm.setMember(base, name, value);
}

void doNewObject(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    const std::vector<Value> args = popValues(in, popCount(in));
    const Value ctor = in.getVariable(frame, name);
    push(in, vm.construct(ctor, args));
    haltIfBaseRemoved(frame);
}

void doNewMethod(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value nameValue = pop(in);
    const Value base = pop(in);
    const std::vector<Value> args = popValues(in, popCount(in));
    Value ctor = base;
    if (!nameValue.isUndefined() && !(nameValue.isString() && nameValue.asString()->empty()))
        ctor = vm.getMember(base, vm.toString(nameValue));
    else if (!base.isObject() && !base.isNullish())
        vm.toObject(base); // a primitive is wrapped first, as any use of it as an object is

    push(in, vm.construct(ctor, args));
    if (!base.isNullish())
        haltIfBaseRemoved(frame);
}

void doInitArray(Interpreter& in, Activation&, const Instruction&)
{
    const std::vector<Value> values = popValues(in, popCount(in));
    push(in, Value(in.vm().makeArray(values)));
}

void doInitObject(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const double requested = vm.toNumber(pop(in));
    // A count of pairs the stack does not hold makes nothing and takes nothing, as in
    // the reference player.
    if (!(requested >= 0) || requested * 2 > static_cast<double>(vm.stack().size())) {
        push(in, Value());
        return;
    }
    const auto count = static_cast<std::size_t>(requested);
    Object* object = vm.makeObject();
    for (std::size_t i = 0; i < count; ++i) {
        const Value value = pop(in);
        String* name = vm.toString(pop(in));
        vm.setMember(object, name, value);
    }
    push(in, Value(object));
}

void doTypeOf(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().typeOf(pop(in))));
}

namespace {

void pushKeys(Interpreter& in, Object* object)
{
    Vm& vm = in.vm();
    // The end marker the loop compares against null (undefined == null holds).
    push(in, Value());
    if (!object)
        return;
    for (String* key : vm.enumerableKeys(object))
        push(in, Value(key));
}

} // namespace

void doEnumerate(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    pushKeys(in, in.getVariable(frame, name).objectOrNull());
}

void doEnumerate2(Interpreter& in, Activation&, const Instruction&)
{
    pushKeys(in, pop(in).objectOrNull());
}

void doInstanceOf(Interpreter& in, Activation&, const Instruction&)
{
    const Value ctor = pop(in);
    const Value object = pop(in);
    push(in, Value(instanceOf(in.vm(), object, ctor)));
}

void doCastOp(Interpreter& in, Activation&, const Instruction&)
{
    const Value object = pop(in);
    const Value ctor = pop(in);
    push(in, instanceOf(in.vm(), object, ctor) ? object : Value::null());
}

void doImplementsOp(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value ctor = pop(in);
    const std::vector<Value> interfaces = popValues(in, popCount(in));
    Object* fn = ctor.objectOrNull();
    if (!fn)
        return;
    Object* proto = storedPrototype(vm, *fn).objectOrNull();
    // A class's interfaces are declared once: a later ImplementsOp changes nothing. Each
    // interface is kept as its prototype is now (null when it has none, or when that is
    // a clip), so that instanceof compares prototypes, as the reference does.
    if (!proto || interfaces.empty() || !proto->interfaces().empty())
        return;
    for (const Value& v : interfaces) {
        Object* i = v.objectOrNull();
        Object* declared = i ? storedPrototype(vm, *i).objectOrNull() : nullptr;
        proto->interfaces().push_back(asClip(declared) ? nullptr : declared);
    }
}

void doExtends(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    Object* superclass = pop(in).objectOrNull();
    Object* subclass = pop(in).objectOrNull();
    if (!superclass || !subclass)
        return;
    Object* superProto = vm.getMember(superclass, vm.names().prototype).objectOrNull();
    Object* proto = vm.makeObject(superProto);
    proto->defineValue(vm.names().constructorOld, Value(superclass), PropertyFlag::DontEnum,
                       vm.caseRule());
    vm.setMember(subclass, vm.names().prototype, Value(proto));
}

} // namespace avm1::handlers
