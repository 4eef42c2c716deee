// Functions: DefineFunction, DefineFunction2, CallFunction, CallMethod, Return.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipScope.h"
#include "avm1/ScriptFunction.h"
#include "avm1/SuperObject.h"
#include "avm1/builtins/NativeHelpers.h"

namespace avm1::handlers {

namespace {

void defineFunction(Interpreter& in, Activation& frame, const Instruction& ins)
{
    Vm& vm = in.vm();
    const FunctionDef& def = frame.block->functions[ins.operand];
    auto* fn = vm.heap().make<ScriptFunction>(vm.builtins().functionProto, &def, frame.swfVersion);
    // SWF 5 functions have no closures: their bodies see only the timeline they run on.
    if (frame.swfVersion >= 6) {
        if (frame.closure)
            fn->closure() = *frame.closure;
        if (frame.locals)
            fn->closure().push_back(frame.locals);
    }
    // Objects of enclosing with blocks stay in the function's scope.
    for (const auto& with : frame.withStack)
        fn->closure().push_back(with.object);
    fn->setDefiningTarget(frame.target);
    fn->setConstantPool(frame.constantPool);
    Object* proto = vm.makeObject();
    proto->defineValue(vm.names().constructor, Value(fn), PropertyFlag::DontEnum, vm.caseRule());
    // A function's prototype can be replaced but not deleted.
    fn->defineValue(vm.names().prototype, Value(proto),
                    PropertyFlag::DontEnum | PropertyFlag::DontDelete, vm.caseRule());
    // Every function names Function as its maker in a property of its own, as the
    // built-in constructors do (a SWF 5 function inherits nothing else to find it on).
    if (vm.builtins().functionCtor)
        fn->defineValue(vm.names().constructor, Value(vm.builtins().functionCtor),
                        PropertyFlag::DontEnum, vm.caseRule());
    if (def.name && !def.name->empty()) {
        if (frame.locals)
            frame.locals->defineValue(def.name, Value(fn), 0, vm.caseRule());
        else if (Object* scope = in.localScope(frame))
            vm.setMember(scope, def.name, Value(fn));
        return;
    }
    push(in, Value(fn));
}

// The first object from `start` up its prototype chain that holds `name` itself.
Object* holderOf(Vm& vm, Object* start, String* name)
{
    Object* holder = start;
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (vm.hasOwnProperty(holder, name))
            return holder;
        holder = holder->prototype();
    }
    return nullptr;
}

// A method's home, for super: the prototype it was found on. A method stored on the
// object itself counts as found on the object's prototype, so its super starts above.
Object* homeOf(Vm& vm, Object* object, String* name)
{
    Object* found = holderOf(vm, object->prototype(), name);
    return found ? found : object->prototype();
}

// Whether a function's body sees super: DefineFunction2 bodies unless they suppress it,
// plain DefineFunction bodies from SWF 6.
bool usesSuper(Object* fn)
{
    if (!fn || !fn->isFunction() || static_cast<Function*>(fn)->isNative())
        return false;
    const auto* script = static_cast<ScriptFunction*>(fn);
    const FunctionDef& def = script->def();
    if (!def.isFunction2)
        return script->swfVersion() >= 6;
    return !(def.flags & FunctionFlag::SuppressSuper);
}

Value invoke(Interpreter& in, Value fn, Value thisValue, std::span<const Value> args, Object* home)
{
    Object* f = fn.objectOrNull();
    if (home && usesSuper(f))
        return in.callFunction(static_cast<ScriptFunction*>(f), thisValue, args, false, home);
    return in.vm().call(fn, thisValue, args);
}

// super(...): the superclass constructor, run on this object with its own super above.
Value callSuperConstructor(Interpreter& in, SuperObject& super, std::span<const Value> args)
{
    Vm& vm = in.vm();
    Object* home = super.home();
    const Value ctor = home ? vm.getMember(home, vm.names().constructorOld) : Value();
    Object* ctorHome = home ? home->prototype() : nullptr;
    // A subclass of a wrapper class: the instance holds what a new wrapper would.
    const Builtins& b = vm.builtins();
    if (Object* c = ctor.objectOrNull();
        c && (c == b.booleanCtor || c == b.numberCtor || c == b.stringCtor)) {
        const Value wrapper = vm.construct(ctor, args);
        wrapObjectAs(vm, super.thisValue().objectOrNull(), wrapper.objectOrNull());
        return Value();
    }
    return invoke(in, ctor, super.thisValue(), args, ctorHome);
}

} // namespace

void doDefineFunction(Interpreter& in, Activation& frame, const Instruction& ins)
{
    defineFunction(in, frame, ins);
}

void doDefineFunction2(Interpreter& in, Activation& frame, const Instruction& ins)
{
    defineFunction(in, frame, ins);
}

void doCallFunction(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    const std::vector<Value> args = popValues(in, popCount(in));
    Object* owner = nullptr;
    const Value fn = in.getVariable(frame, name, &owner);
    // A function found on a with block's object or through a path runs on that object.
    // Elsewhere a plain call's this is the caller's timeline, or, from a
    // DefineFunction2 body that keeps its own this, that body's activation object, as the
    // reference passes them.
    Object* selfObject = frame.target;
    const bool ownThis = frame.function && frame.function->def().isFunction2 &&
                         !(frame.function->def().flags & FunctionFlag::SuppressThis);
    if (owner)
        selfObject = owner;
    else if (ownThis && frame.locals)
        selfObject = frame.locals;
    const Value self = selfObject ? Value(selfObject) : Value();
    // super called by name runs the superclass constructor, as super() does.
    if (Object* o = fn.objectOrNull(); o && o->objectClass() == ObjectClass::Super) {
        push(in, callSuperConstructor(in, *static_cast<SuperObject*>(o), args));
        return;
    }
    in.notePlainCall(frame.swfVersion);
    const Value result = vm.call(fn, self, args);
    in.notePlainCall(0);
    push(in, result);
    haltIfBaseRemoved(frame);
}

void doCallMethod(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value nameValue = pop(in);
    const Value base = pop(in);
    const std::vector<Value> args = popValues(in, popCount(in));
    // A name that converts to "" (an object's toString may give it) calls the base itself.
    String* name = nameValue.isUndefined() ? nullptr : vm.toString(nameValue);
    if (vm.throwing())
        return;
    const bool noName = !name || name->empty();
    Object* object = base.objectOrNull();

    if (object && object->objectClass() == ObjectClass::Super) {
        auto* super = static_cast<SuperObject*>(object);
        if (noName) {
            push(in, callSuperConstructor(in, *super, args));
            return;
        }
        Object* base2 = super->base();
        const Value fn = base2 ? vm.getMember(base2, name) : Value();
        Object* found = base2 ? holderOf(vm, base2, name) : nullptr;
        push(in, invoke(in, fn, super->thisValue(), args, found));
        return;
    }
    if (noName) {
        // A primitive is wrapped first, as any use of it as an object is.
        if (!object && !base.isNullish())
            vm.toObject(base);
        push(in, vm.call(base, Value(), args));
        return;
    }
    const Value fn = vm.getMember(base, name);
    if (vm.throwing())
        return;
    Object* home = nullptr;
    if (object && usesSuper(fn.objectOrNull()))
        home = homeOf(vm, object, name);
    // A script method called on a primitive runs on a wrapper made for the call.
    Value self = base;
    if (!object && !base.isNullish()) {
        Object* f = fn.objectOrNull();
        if (f && f->isFunction() && !static_cast<Function*>(f)->isNative())
            if (Object* wrapper = vm.toObject(base))
                self = Value(wrapper);
    }
    // A clip that is gone, with nothing at its path, is no object to the method it
    // still finds: valueOf() on it gives undefined.
    if (ClipObject* clip = asClip(object); clip && clip->isGone() && !clip->live())
        self = Value();
    push(in, invoke(in, fn, self, args, home));
    if (!base.isNullish())
        haltIfBaseRemoved(frame);
}

void doReturn(Interpreter& in, Activation& frame, const Instruction&)
{
    frame.returnValue = pop(in);
    frame.returned = true;
}

} // namespace avm1::handlers
