// Object: the constructor, Object.prototype's methods, Object.registerClass and the
// global ASSetPropFlags. Object.prototype and Function.prototype are made here, before
// any native function, since every function's __proto__ is Function.prototype.
#include "Builtins.h"
#include "ClassRegistry.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"

#include <algorithm>

namespace avm1 {

namespace {

// Object(value) is the value as an object; Object() and Object(null) a new one.
Value callObject(Vm& vm, const CallArgs& call)
{
    const Value value = call.arg(0);
    if (value.isObject())
        return value;
    Object* wrapped = value.isNullish() ? nullptr : vm.toObject(value);
    if (wrapped)
        return Value(wrapped);
    if (call.isConstruct && call.thisObject())
        return call.thisValue;
    return Value(vm.makeObject());
}

String* nameArgument(Vm& vm, const CallArgs& call, std::size_t index)
{
    return vm.toString(call.arg(index));
}

bool isFunctionValue(Value value)
{
    Object* object = value.objectOrNull();
    return object && object->isFunction();
}

// addProperty(name, getter, setter): an accessor property; a null setter makes it
// read-only. False for an empty name or a getter that is no function.
Value addProperty(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    if (!self || call.count() < 2)
        return Value(false);
    String* name = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    const Value getter = call.arg(1);
    const Value setter = call.arg(2);
    if (name->empty() || !isFunctionValue(getter))
        return Value(false);
    if (!setter.isNullish() && !isFunctionValue(setter))
        return Value(false);
    Property* p = self->properties().find(name, vm.caseRule());
    if (!p) {
        if (self->properties().size() >= limits::kMaxPropertiesPerObject)
            return Value(false);
        p = &self->properties().append(name);
    }
    // An existing property keeps its attributes, place and value (which watchers are
    // shown as the old one), and becomes the accessor.
    p->getter = getter.asObject();
    p->setter = setter.objectOrNull();
    return Value(true);
}

auto findWatcher(Vm& vm, Object& self, String* name)
{
    const CaseRule rule = vm.caseRule();
    auto& watchers = self.watchers();
    return std::find_if(watchers.begin(), watchers.end(),
                        [&](const Watcher& w) { return sameKey(w.name, name, rule); });
}

// watch(name, callback, userData): the callback runs before each assignment to the
// property and returns the value stored. Watching a name again replaces its watcher.
Value watch(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    if (!self || call.count() < 2)
        return Value(false);
    String* name = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    if (!isFunctionValue(call.arg(1)))
        return Value(false);
    auto& watchers = self->watchers();
    auto it = findWatcher(vm, *self, name);
    if (it == watchers.end()) {
        if (watchers.size() >= limits::kMaxPropertiesPerObject)
            return Value(false);
        watchers.push_back(Watcher{name, call.arg(1).asObject(), call.arg(2), false});
    } else {
        it->callback = call.arg(1).asObject();
        it->userData = call.arg(2);
    }
    return Value(true);
}

Value unwatch(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    if (!self || call.count() < 1)
        return Value(false);
    String* name = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    auto& watchers = self->watchers();
    auto it = findWatcher(vm, *self, name);
    if (it == watchers.end())
        return Value(false);
    watchers.erase(it);
    return Value(true);
}

Value valueOf(Vm& vm, const CallArgs& call)
{
    if (Object* self = thisAsObject(vm, call))
        return Value(self);
    return call.thisValue;
}

Value toString(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (self && self->isFunction())
        return Value(vm.names().typeFunction);
    return Value(vm.names().objectObject);
}

// What toString answers, however it has been replaced.
Value toLocaleString(Vm& vm, const CallArgs& call)
{
    return vm.callMethod(call.thisValue, vm.names().toString, {});
}

Value hasOwnProperty(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    if (!self || call.count() < 1)
        return Value(false);
    String* name = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    // A property the movie's version hides is still the object's own.
    return Value(vm.hasOwnProperty(self, name) ||
                 self->properties().find(name, vm.caseRule()) != nullptr);
}

Value isPropertyEnumerable(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    if (!self || call.count() < 1)
        return Value(false);
    String* name = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    const Property* p = vm.findOwn(self, name);
    return Value(p && p->enumerable());
}

// Whether "this" is on the argument's prototype chain (an object is not its own).
Value isPrototypeOf(Vm& vm, const CallArgs& call)
{
    Object* self = thisAsObject(vm, call);
    Object* other = call.arg(0).objectOrNull();
    if (!self || !other)
        return Value(false);
    Object* holder = other->prototype();
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (holder == self)
            return Value(true);
        holder = holder->prototype();
    }
    return Value(false);
}

// Object.registerClass(symbol, constructor): clips made from the exported symbol get
// the constructor's prototype and run it. A null constructor removes the binding.
Value registerClass(Vm& vm, const CallArgs& call)
{
    if (call.count() < 2)
        return Value(false);
    const Value constructor = call.arg(1);
    if (!constructor.isNullish() && !isFunctionValue(constructor))
        return Value(false);
    String* symbol = nameArgument(vm, call, 0);
    if (vm.throwing())
        return Value();
    ClassRegistry& registry = registeredClasses(vm);
    if (constructor.isNullish())
        registry.unbind(symbol->view());
    else
        registry.bind(symbol->view(), constructor.asObject());
    return Value(true);
}

} // namespace

void installObject(Vm& vm)
{
    Builtins& b = vm.builtins();
    auto* objectProto = vm.heap().make<Object>(nullptr);
    objectProto->setHasPrototypeProperty(false);
    b.objectProto = objectProto;
    b.functionProto = vm.heap().make<Object>(objectProto);
    if (!b.global) {
        // The global object inherits nothing: _global.toString is undefined.
        b.global = vm.heap().make<Object>(nullptr);
        b.global->setHasPrototypeProperty(false);
    }
    registeredClasses(vm);

    NativeFunction* ctor = vm.defineClass("Object", objectProto, callObject);
    b.objectCtor = ctor;
    // Unlike String's or Boolean's, Object's prototype cannot be replaced.
    makeReadOnly(ctor, {"prototype", "constructor", "__proto__"});
    // In the order of the reference's native table (ASnative 101).
    vm.defineMethods(objectProto,
                     {{"watch", watch},
                      {"unwatch", unwatch},
                      {"addProperty", addProperty},
                      {"valueOf", valueOf},
                      {"toString", toString},
                      {"hasOwnProperty", hasOwnProperty},
                      {"isPrototypeOf", isPrototypeOf},
                      {"isPropertyEnumerable", isPropertyEnumerable},
                      {"toLocaleString", toLocaleString}},
                     PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    // These three arrived with SWF 6: older movies do not see them.
    for (std::string_view name : {"hasOwnProperty", "isPrototypeOf", "isPropertyEnumerable"}) {
        if (Property* p = objectProto->properties().find(name, CaseRule::Sensitive))
            p->flags |= VersionFlag::SinceSwf6;
    }
    vm.defineMethod(ctor, "registerClass", registerClass);
    makeReadOnly(ctor, {"registerClass"});

    vm.defineMethod(b.global, "ASSetPropFlags", asSetPropFlags);
}

} // namespace avm1
