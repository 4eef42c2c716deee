// Defining the built-in classes: traits, prototypes and the builtin global object that
// holds them, registered as definitions like any script's.
#include "Vm.h"

namespace avm2 {

namespace {
Value noConstruct(Vm&, const Value&, std::span<const Value>)
{
    return Value();
}
} // namespace

ClassObject* Vm::makeClassObject(std::unique_ptr<Traits> classTraits,
                                 std::unique_ptr<Traits> instanceTraits, ClassObject* base,
                                 Object* instancePrototype)
{
    Object* classPrototype =
        m_builtins.classClass
            ? m_builtins.classClass->instancePrototype
            : (m_builtins.object ? m_builtins.object->instancePrototype : nullptr);
    auto* cls = make<ClassObject>(classTraits.get(), classPrototype);
    cls->ownClassTraits = std::move(classTraits);
    cls->instanceTraits = std::move(instanceTraits);
    cls->adoptTraits(cls->ownClassTraits.get());
    cls->base = base;
    cls->instancePrototype = instancePrototype;
    return cls;
}

void Vm::addBuiltinGlobal(std::string_view package, std::string_view name, const Value& value)
{
    Traits& traits = *m_builtinScript->traits;
    const Namespace* ns = internNamespace(NsKind::Public, intern(package));
    String* local = intern(name);
    SlotInfo slot;
    slot.name = local;
    slot.initial = value;
    Binding b;
    b.kind = Binding::Kind::Const;
    b.index = static_cast<std::uint32_t>(traits.slots.size());
    traits.slots.push_back(slot);
    traits.add(local, ns, b);
    m_builtinScript->global->slots().push_back(value);
    addDefinition(local, ns, m_builtinScript.get());
}

ClassObject* Vm::defineClass(std::string_view package, std::string_view name, ClassObject* base,
                             bool dynamic, NativeClassHooks hooks, bool isFinal)
{
    auto instance = std::make_unique<Traits>();
    if (base)
        *instance = *base->instanceTraits;
    instance->base = base ? base->instanceTraits.get() : nullptr;
    instance->sealed = !dynamic;
    instance->isFinal = isFinal;
    instance->isInterface = false;
    instance->protectedNs = nullptr;
    auto classTraits = std::make_unique<Traits>(*m_builtins.classClass->instanceTraits);
    classTraits->base = m_builtins.classClass->instanceTraits.get();
    classTraits->owner = m_builtins.classClass;
    classTraits->sealed = false;

    const std::string qualified =
        package.empty() ? std::string(name) : std::string(package) + "::" + std::string(name);
    instance->name = intern(qualified);
    classTraits->name = intern(qualified + "$");
    Object* prototype =
        make<Object>(m_builtins.object->instanceTraits.get(),
                     base ? base->instancePrototype : m_builtins.object->instancePrototype);
    ClassObject* cls =
        makeClassObject(std::move(classTraits), std::move(instance), base, prototype);
    cls->instanceTraits->owner = cls;
    cls->qualifiedName = intern(qualified);
    cls->localName = intern(name);
    cls->ns = internNamespace(NsKind::Public, intern(package));
    cls->hooks = hooks;
    if (!hooks.allocate && base)
        cls->hooks.allocate = base->hooks.allocate;
    cls->initializer = newNativeMethod(name, hooks.construct ? hooks.construct : noConstruct, 0);
    cls->initializer->declaringClass = cls;
    cls->initializer->isInitializer = true;
    prototype->dynamic().set(names.constructor, Value(cls));
    prototype->dynamic().setEnumerable(names.constructor, false);
    addBuiltinGlobal(package, name, Value(cls));
    return cls;
}

void Vm::definePrototypeFunction(Object* prototype, std::string_view name, NativeMethod fn,
                                 int length)
{
    String* local = intern(name);
    prototype->dynamic().set(local, Value(newFunction(newNativeMethod(name, fn, length))));
    prototype->dynamic().setEnumerable(local, false);
}

void Vm::defineMethod(ClassObject* cls, std::string_view name, NativeMethod fn, int length,
                      Member member)
{
    if (member != Member::Public)
        definePrototypeFunction(cls->instancePrototype, name, fn, length);
    if (member == Member::PrototypeOnly)
        return;
    MethodEnv* env = newNativeMethod(name, fn, length);
    env->declaringClass = cls;
    Traits& traits = *cls->instanceTraits;
    const Namespace* ns = member == Member::Public ? m_publicNs : m_as3Ns;
    String* local = intern(name);
    if (Binding* existing = traits.findQualified(local, ns);
        existing && existing->kind == Binding::Kind::Method) {
        traits.vtable[existing->index] = env;
        return;
    }
    Binding b;
    b.kind = Binding::Kind::Method;
    b.index = static_cast<std::uint32_t>(traits.vtable.size());
    traits.vtable.push_back(env);
    traits.add(local, ns, b);
}

void Vm::defineStaticMethod(ClassObject* cls, std::string_view name, NativeMethod fn, int length)
{
    MethodEnv* env = newNativeMethod(name, fn, length);
    env->declaringClass = cls;
    env->isStatic = true;
    Traits& traits = *cls->ownClassTraits;
    Binding b;
    b.kind = Binding::Kind::Method;
    b.index = static_cast<std::uint32_t>(traits.vtable.size());
    traits.vtable.push_back(env);
    traits.add(intern(name), m_publicNs, b);
}

void Vm::defineGetter(ClassObject* cls, std::string_view name, NativeMethod getter,
                      NativeMethod setter, bool isStatic)
{
    Traits& traits = isStatic ? *cls->ownClassTraits : *cls->instanceTraits;
    String* local = intern(name);
    Binding b;
    if (Binding* existing = traits.findQualified(local, m_publicNs);
        existing && existing->kind == Binding::Kind::Accessor)
        b = *existing;
    b.kind = Binding::Kind::Accessor;
    auto place = [&](std::uint32_t& index, NativeMethod fn, bool isGetter) {
        if (!fn)
            return;
        MethodEnv* env = newNativeMethod(name, fn, isGetter ? 0 : 1);
        env->declaringClass = cls;
        env->isGetter = isGetter;
        env->isSetter = !isGetter;
        if (index != Binding::kNone) {
            traits.vtable[index] = env;
        } else {
            index = static_cast<std::uint32_t>(traits.vtable.size());
            traits.vtable.push_back(env);
        }
    };
    place(b.getter, getter, true);
    place(b.setter, setter, false);
    traits.add(local, m_publicNs, b);
}

void Vm::defineConstant(ClassObject* cls, std::string_view name, const Value& value, bool isStatic)
{
    Traits& traits = isStatic ? *cls->ownClassTraits : *cls->instanceTraits;
    String* local = intern(name);
    SlotInfo slot;
    slot.name = local;
    slot.initial = value;
    Binding b;
    b.kind = Binding::Kind::Const;
    b.index = static_cast<std::uint32_t>(traits.slots.size());
    traits.slots.push_back(slot);
    traits.add(local, m_publicNs, b);
    if (isStatic)
        cls->slots().push_back(value);
}

void Vm::defineGlobalFunction(std::string_view package, std::string_view name, NativeMethod fn,
                              int length)
{
    MethodEnv* env = newNativeMethod(name, fn, length);
    env->traceName =
        intern("global/" + (package.empty() ? std::string() : std::string(package) + "::") +
               std::string(name));
    addBuiltinGlobal(package, name, Value(newFunction(env)));
}

void Vm::defineGlobalConstant(std::string_view name, const Value& value)
{
    addBuiltinGlobal("", name, value);
}

} // namespace avm2
