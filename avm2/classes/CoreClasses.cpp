// Object, Class and Function: made together, since each one's traits and prototype
// refer to the others.
#include "Native.h"
#include "avm2/vm/AbcUnit.h"

namespace avm2 {

using namespace native;

namespace {

Name nameFromValue(Vm& vm, const Value& v)
{
    return vm.publicName(vm.internValue(vm.toString(v)));
}

std::u16string classLocalName(Vm& vm, const Value& v)
{
    ClassObject* cls = vm.classOf(v);
    return cls && cls->localName ? cls->localName->text() : u"Object";
}

Value objectToString(Vm& vm, const Value& self, Args)
{
    if (self.isObject() && self.asObject()->kind() == ObjectKind::Class) {
        auto* c = static_cast<ClassObject*>(self.asObject());
        return Value(
            vm.newString(u"[class " + (c->localName ? c->localName->text() : u"Object") + u"]"));
    }
    if (self.isObject() && self.asObject()->kind() == ObjectKind::Function)
        return Value(vm.newString("function Function() {}"));
    if (self.isObject() && self.asObject()->kind() == ObjectKind::Global)
        return Value(vm.newString("[object global]"));
    if (self.isObject() && !self.asObject()->classObject())
        return Value(vm.newString("[object Object]"));
    return Value(vm.newString(u"[object " + classLocalName(vm, self) + u"]"));
}

Value objectValueOf(Vm&, const Value& self, Args)
{
    return self;
}

Value hasOwnProperty(Vm& vm, const Value& self, Args args)
{
    Name name = nameFromValue(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    Object* o = self.objectOrNull();
    if (o) {
        if (o->dynamic().find(name.local))
            return Value(true);
        const std::u16string_view t = name.local->view();
        if (!t.empty() && t[0] >= u'0' && t[0] <= u'9') {
            const double d = vm.toNumber(Value(name.local));
            if (d >= 0 && d < 4294967295.0 &&
                d == static_cast<double>(static_cast<std::uint32_t>(d)))
                if (o->hasIndex(static_cast<std::uint32_t>(d)))
                    return Value(true);
        }
    }
    const Traits* traits = vm.traitsOf(self);
    if (traits) {
        Name any = name;
        any.ns = nullptr;
        any.set = vm.publicSet();
        if (traits->find(any))
            return Value(true);
    }
    return Value(false);
}

Value propertyIsEnumerable(Vm& vm, const Value& self, Args args)
{
    Name name = nameFromValue(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    Object* o = self.objectOrNull();
    if (!o)
        return Value(false);
    if (o->dynamic().find(name.local))
        return Value(o->dynamic().isEnumerable(name.local));
    const double d = vm.toNumber(Value(name.local));
    if (d >= 0 && d < 4294967295.0 && d == static_cast<double>(static_cast<std::uint32_t>(d)))
        return Value(o->hasIndex(static_cast<std::uint32_t>(d)));
    return Value(false);
}

Value setPropertyIsEnumerable(Vm& vm, const Value& self, Args args)
{
    Name name = nameFromValue(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    if (Object* o = self.objectOrNull())
        o->dynamic().setEnumerable(name.local, Vm::toBoolean(arg(args, 1)));
    return Value();
}

Value isPrototypeOf(Vm& vm, const Value& self, Args args)
{
    Object* o = self.objectOrNull();
    Value v = arg(args, 0);
    if (!o || v.isNullish())
        return Value(false);
    for (Object* p = vm.prototypeOf(v); p; p = p->prototype())
        if (p == o)
            return Value(true);
    return Value(false);
}

Value objectCall(Vm& vm, const Value&, Args args)
{
    Value v = arg(args, 0);
    if (v.isNullish())
        return Value(vm.newObject());
    return v;
}

Value classPrototype(Vm&, const Value& self, Args)
{
    if (self.isObject() && self.asObject()->kind() == ObjectKind::Class)
        return Value(static_cast<ClassObject*>(self.asObject())->instancePrototype);
    return Value::null();
}

FunctionObject* asFunction(const Value& v)
{
    return v.isObject() && v.asObject()->kind() == ObjectKind::Function
               ? static_cast<FunctionObject*>(v.asObject())
               : nullptr;
}

Value functionPrototype(Vm& vm, const Value& self, Args)
{
    FunctionObject* f = asFunction(self);
    if (!f)
        return Value();
    if (!f->functionPrototype) {
        Object* proto = vm.newObject();
        proto->dynamic().set(vm.names.constructor, self);
        proto->dynamic().setEnumerable(vm.names.constructor, false);
        f->functionPrototype = proto;
    }
    return Value(f->functionPrototype);
}

Value setFunctionPrototype(Vm&, const Value& self, Args args)
{
    if (FunctionObject* f = asFunction(self))
        f->functionPrototype = arg(args, 0).objectOrNull();
    return Value();
}

Value functionLength(Vm&, const Value& self, Args)
{
    FunctionObject* f = asFunction(self);
    if (!f)
        return Value(0);
    if (f->env->native)
        return Value(f->env->nativeLength);
    return Value(
        static_cast<std::int32_t>(f->env->unit->file.methods[f->env->method].paramTypes.size()));
}

Value functionCall(Vm& vm, const Value& self, Args args)
{
    Value thisArg = arg(args, 0);
    return vm.call(self, thisArg, args.size() > 1 ? args.subspan(1) : Args());
}

Value functionApply(Vm& vm, const Value& self, Args args)
{
    Value thisArg = arg(args, 0);
    Value list = arg(args, 1);
    std::vector<Value> callArgs;
    if (!list.isNullish()) {
        if (!list.isObject() || list.asObject()->kind() != ObjectKind::Array)
            return vm.throwError(ErrorType::TypeError, 1116);
        auto* a = static_cast<ArrayObject*>(list.asObject());
        for (std::uint32_t i = 0; i < a->length(); ++i)
            callArgs.push_back(a->get(i));
    }
    return vm.call(self, thisArg, callArgs);
}

Value functionToString(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("function Function() {}"));
}

Value emptyFunction(Vm&, const Value&, Args)
{
    return Value();
}

// Function() and new Function(): an empty function; a body given as text cannot be
// compiled at run time.
Value functionCallOrConstruct(Vm& vm, const Value&, Args args)
{
    if (!args.empty())
        return vm.throwError(ErrorType::EvalError, 1066);
    return Value(vm.newFunction(vm.newNativeMethod("", emptyFunction, 0)));
}

// Adds an accessor to traits made before defineGetter could be used.
void addAccessor(Vm& vm, Traits& traits, std::string_view name, NativeMethod getter,
                 NativeMethod setter)
{
    Binding b;
    b.kind = Binding::Kind::Accessor;
    b.getter = static_cast<std::uint32_t>(traits.vtable.size());
    traits.vtable.push_back(vm.newNativeMethod(name, getter, 0));
    if (setter) {
        b.setter = static_cast<std::uint32_t>(traits.vtable.size());
        traits.vtable.push_back(vm.newNativeMethod(name, setter, 1));
    }
    traits.add(vm.intern(name), vm.publicNs(), b);
}

void addAs3Method(Vm& vm, Traits& traits, std::string_view name, NativeMethod fn, int length)
{
    Binding b;
    b.kind = Binding::Kind::Method;
    b.index = static_cast<std::uint32_t>(traits.vtable.size());
    traits.vtable.push_back(vm.newNativeMethod(name, fn, length));
    traits.add(vm.intern(name), vm.as3Ns(), b);
}

} // namespace

void defineCoreClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();

    auto objectTraits = std::make_unique<Traits>();
    objectTraits->sealed = false;
    objectTraits->name = vm.intern("Object");
    addAs3Method(vm, *objectTraits, "hasOwnProperty", hasOwnProperty, 1);
    addAs3Method(vm, *objectTraits, "propertyIsEnumerable", propertyIsEnumerable, 1);
    addAs3Method(vm, *objectTraits, "isPrototypeOf", isPrototypeOf, 1);
    Traits* objectTraitsRaw = objectTraits.get();
    Object* objectPrototype = vm.make<Object>(objectTraitsRaw, nullptr);

    auto classTraits = std::make_unique<Traits>(*objectTraitsRaw);
    classTraits->base = objectTraitsRaw;
    classTraits->name = vm.intern("Class");
    addAccessor(vm, *classTraits, "prototype", classPrototype, nullptr);
    Object* classPrototypeObject = vm.make<Object>(objectTraitsRaw, objectPrototype);

    auto functionTraits = std::make_unique<Traits>(*objectTraitsRaw);
    functionTraits->base = objectTraitsRaw;
    functionTraits->name = vm.intern("Function");
    addAccessor(vm, *functionTraits, "prototype", functionPrototype, setFunctionPrototype);
    addAccessor(vm, *functionTraits, "length", functionLength, nullptr);
    addAs3Method(vm, *functionTraits, "call", functionCall, 1);
    addAs3Method(vm, *functionTraits, "apply", functionApply, 2);
    // Function.prototype is itself a function, one that does nothing.
    Object* functionPrototypeObject =
        vm.make<FunctionObject>(functionTraits.get(), objectPrototype,
                                vm.newNativeMethod("", emptyFunction, 0), Value(), false);

    auto classTraitsFor = [&](std::string_view name) {
        auto t = std::make_unique<Traits>(*classTraits);
        t->base = classTraits.get();
        t->sealed = false; // Class is a dynamic class
        t->name = vm.intern(name);
        return t;
    };
    Traits* classTraitsRaw = classTraits.get();
    Traits* functionTraitsRaw = functionTraits.get();
    auto objectClassTraits = classTraitsFor("Object$");
    auto classClassTraits = classTraitsFor("Class$");
    auto functionClassTraits = classTraitsFor("Function$");
    b.object = vm.makeClassObject(std::move(objectClassTraits), std::move(objectTraits), nullptr,
                                  objectPrototype);
    b.classClass = vm.makeClassObject(std::move(classClassTraits), std::move(classTraits), b.object,
                                      classPrototypeObject);
    b.function = vm.makeClassObject(std::move(functionClassTraits), std::move(functionTraits),
                                    b.object, functionPrototypeObject);
    for (ClassObject* c : {b.object, b.classClass, b.function}) {
        c->setPrototype(classPrototypeObject);
        const_cast<Traits*>(c->traits())->owner = b.classClass;
    }
    objectTraitsRaw->owner = b.object;
    classTraitsRaw->owner = b.classClass;
    functionTraitsRaw->owner = b.function;
    b.object->qualifiedName = b.object->localName = vm.intern("Object");
    b.classClass->qualifiedName = b.classClass->localName = vm.intern("Class");
    b.function->qualifiedName = b.function->localName = vm.intern("Function");
    for (ClassObject* c : {b.object, b.classClass, b.function}) {
        c->ns = vm.publicNs();
        c->initializer = vm.newNativeMethod(c->localName->utf8(), objectValueOf, 0);
        c->instancePrototype->dynamic().set(vm.names.constructor, Value(c));
        c->instancePrototype->dynamic().setEnumerable(vm.names.constructor, false);
        vm.addBuiltinGlobal("", c->localName->utf8(), Value(c));
    }
    b.object->hooks.call = objectCall;
    b.object->hooks.constructPrimitive = objectCall;
    b.function->hooks.call = functionCallOrConstruct;
    b.function->hooks.constructPrimitive = functionCallOrConstruct;

    vm.definePrototypeFunction(objectPrototype, "hasOwnProperty", hasOwnProperty, 1);
    vm.definePrototypeFunction(objectPrototype, "propertyIsEnumerable", propertyIsEnumerable, 1);
    vm.definePrototypeFunction(objectPrototype, "setPropertyIsEnumerable", setPropertyIsEnumerable,
                               2);
    vm.definePrototypeFunction(objectPrototype, "isPrototypeOf", isPrototypeOf, 1);
    vm.definePrototypeFunction(objectPrototype, "toString", objectToString, 0);
    vm.definePrototypeFunction(objectPrototype, "toLocaleString", objectToString, 0);
    vm.definePrototypeFunction(objectPrototype, "valueOf", objectValueOf, 0);
    vm.definePrototypeFunction(functionPrototypeObject, "call", functionCall, 1);
    vm.definePrototypeFunction(functionPrototypeObject, "apply", functionApply, 2);
    vm.definePrototypeFunction(functionPrototypeObject, "toString", functionToString, 0);
    vm.defineConstant(b.object, "length", Value(1));
    vm.defineConstant(b.function, "length", Value(1));
    vm.defineConstant(b.classClass, "length", Value(1));
}

} // namespace avm2
