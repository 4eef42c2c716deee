// AsBroadcaster: initialize(object) gives an object addListener, removeListener,
// broadcastMessage and an empty _listeners array. Listeners compare as == does (so null
// and undefined stand for each other).
#include "ArrayObject.h"
#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/Operators.h"
#include "avm1/Vm.h"

#include <vector>

namespace avm1 {

namespace {

String* listenersName(Vm& vm)
{
    return vm.str("_listeners");
}

Object* listenersOf(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return nullptr;
    return vm.getMember(self, listenersName(vm)).objectOrNull();
}

std::vector<Value> listenerValues(Vm& vm, Object* listeners)
{
    return elementsOf(vm, listeners, static_cast<std::size_t>(limits::kMaxDenseArrayLength));
}

// Removes the first of `values` (the listeners' elements) equal to `listener`; false
// when there is none.
bool removeFrom(Vm& vm, Object* listeners, const std::vector<Value>& values, Value listener)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!abstractEquals(vm, values[i], listener))
            continue;
        for (std::size_t k = i; k + 1 < values.size() && !vm.throwing(); ++k)
            vm.setMember(listeners, indexName(vm, static_cast<std::int64_t>(k)), values[k + 1]);
        vm.setMember(listeners, vm.names().length, Value(static_cast<double>(values.size() - 1)));
        return true;
    }
    return false;
}

// A listener added twice is kept once, at the end.
Value addListener(Vm& vm, const CallArgs& call)
{
    Object* listeners = listenersOf(vm, call);
    if (!listeners)
        return Value(true);
    const Value listener = call.arg(0);
    const std::vector<Value> values = listenerValues(vm, listeners);
    std::size_t count = values.size();
    if (removeFrom(vm, listeners, values, listener))
        --count;
    if (vm.throwing())
        return Value();
    vm.setMember(listeners, indexName(vm, static_cast<std::int64_t>(count)), listener);
    return Value(true);
}

Value removeListener(Vm& vm, const CallArgs& call)
{
    Object* listeners = listenersOf(vm, call);
    if (!listeners)
        return Value(false);
    return Value(removeFrom(vm, listeners, listenerValues(vm, listeners), call.arg(0)));
}

// broadcastMessage(name, args...): every listener's method of that name runs with the
// rest of the arguments, as a CallMethod action would run it (an empty name calls the
// listener itself). The list is read once, so listeners may come and go meanwhile.
Value broadcastMessage(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    Object* listeners = listenersOf(vm, call);
    if (!listeners)
        return Value();
    String* name = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    const std::span<const Value> args = call.args.subspan(1);
    for (const Value& listener : listenerValues(vm, listeners)) {
        if (vm.throwing() || vm.aborted())
            return Value();
        if (name->empty())
            vm.call(listener, listener, args);
        else
            vm.callMethod(listener, name, args);
    }
    return Value(true);
}

// initialize(object): the methods are the function objects of the AsBroadcaster it is
// called on (the global one when called on nothing), hidden from enumeration.
Value initialize(Vm& vm, const CallArgs& call)
{
    Object* target = call.arg(0).objectOrNull();
    if (!target)
        return Value();
    Object* source = call.thisObject();
    if (!source)
        source = vm.getMember(vm.global(), "AsBroadcaster").objectOrNull();
    const auto defineHidden = [&](String* key, Value value) {
        vm.setMember(target, key, value);
        if (Property* p = target->properties().find(key, vm.caseRule()))
            p->flags |= PropertyFlag::DontEnum;
    };
    for (const char* name : {"broadcastMessage", "addListener", "removeListener"}) {
        String* key = vm.str(name);
        defineHidden(key, source ? vm.getMember(source, key) : Value());
        if (vm.throwing())
            return Value();
    }
    defineHidden(listenersName(vm), Value(vm.makeArray()));
    return Value();
}

Value constructBroadcaster(Vm& /*vm*/, const CallArgs& call)
{
    return call.isConstruct ? call.thisValue : Value();
}

} // namespace

void installAsBroadcaster(Vm& vm)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("AsBroadcaster", proto, constructBroadcaster);
    // Its prototype arrived with SWF 6.
    if (Property* p = ctor->properties().find(vm.names().prototype, CaseRule::Sensitive))
        p->flags |= VersionFlag::SinceSwf6;
    vm.defineMethod(ctor, "broadcastMessage", broadcastMessage);
    vm.defineMethod(ctor, "addListener", addListener);
    vm.defineMethod(ctor, "removeListener", removeListener);
    vm.defineMethod(ctor, "initialize", initialize);
}

} // namespace avm1
