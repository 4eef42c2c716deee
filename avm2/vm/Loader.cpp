#include "Loader.h"

#include "Decoder.h"
#include "Interpreter.h"
#include "avm2/Limits.h"
#include "avm2/abc/AbcParser.h"

#include <cmath>

namespace avm2 {

namespace {

NsKind nsKindOf(abc::NamespaceKind kind)
{
    switch (kind) {
    case abc::NamespaceKind::PackageInternal:
        return NsKind::PackageInternal;
    case abc::NamespaceKind::Protected:
        return NsKind::Protected;
    case abc::NamespaceKind::StaticProtected:
        return NsKind::StaticProtected;
    case abc::NamespaceKind::Explicit:
        return NsKind::Explicit;
    case abc::NamespaceKind::Private:
        return NsKind::Private;
    default:
        return NsKind::Public;
    }
}

void link(Vm& vm, AbcUnit& unit)
{
    const abc::ConstantPool& pool = unit.file.pool;
    unit.strings.reserve(pool.strings.size());
    for (const std::string& s : pool.strings)
        unit.strings.push_back(vm.intern(utf16(s)));
    unit.namespaces.push_back(nullptr);
    for (std::size_t i = 1; i < pool.namespaces.size(); ++i) {
        const abc::Namespace& ns = pool.namespaces[i];
        String* uri = unit.strings[ns.name];
        const NsKind kind = nsKindOf(ns.kind);
        unit.namespaces.push_back(kind == NsKind::Private ? vm.newPrivateNamespace(uri)
                                                          : vm.internNamespace(kind, uri));
    }
    for (const abc::NamespaceSet& set : pool.namespaceSets) {
        NamespaceSet s;
        for (std::uint32_t n : set.namespaces) {
            const Namespace* ns = unit.namespaces[n];
            s.namespaces.push_back(ns);
            // Dynamic properties answer to any set holding a namespace of the public
            // kinds (compilers' sets for unqualified names may hold only the file's
            // private namespace and AS3's).
            if (ns->kind == NsKind::Public)
                s.hasPublic = true;
        }
        unit.namespaceSets.push_back(std::move(s));
    }
    for (const abc::Multiname& m : pool.multinames) {
        Name n;
        n.attribute = m.isAttribute();
        switch (m.kind) {
        case abc::MultinameKind::QName:
        case abc::MultinameKind::QNameA:
            n.local = m.name ? unit.strings[m.name] : nullptr;
            n.ns = unit.namespaces[m.ns];
            n.anyNamespace = m.ns == 0;
            break;
        case abc::MultinameKind::RTQName:
        case abc::MultinameKind::RTQNameA:
            n.local = m.name ? unit.strings[m.name] : nullptr;
            break;
        case abc::MultinameKind::Multiname:
        case abc::MultinameKind::MultinameA:
            n.local = m.name ? unit.strings[m.name] : nullptr;
            n.set = &unit.namespaceSets[m.nsSet];
            break;
        case abc::MultinameKind::MultinameL:
        case abc::MultinameKind::MultinameLA:
            n.set = &unit.namespaceSets[m.nsSet];
            break;
        default:
            break;
        }
        unit.names.push_back(n);
    }
    unit.types.resize(pool.multinames.size());
    for (std::uint32_t i = 0; i < unit.types.size(); ++i)
        unit.types[i] = TypeRef{&unit, i};
    unit.classes.assign(unit.file.classes.size(), nullptr);
    unit.decoded.resize(unit.file.bodies.size());
    unit.activationTraits.resize(unit.file.bodies.size());
}

bool isBuiltinTypeName(Vm& vm, const Name& n, std::string_view local)
{
    return n.local && n.ns == vm.publicNs() && n.local == vm.intern(local);
}

// The value a slot of type `typeName` starts with when it has no default.
Value slotDefault(Vm& vm, AbcUnit& unit, std::uint32_t typeName)
{
    if (typeName == 0)
        return Value();
    const Name& n = unit.names[typeName];
    if (isBuiltinTypeName(vm, n, "int") || isBuiltinTypeName(vm, n, "uint"))
        return Value(0);
    if (isBuiltinTypeName(vm, n, "Number"))
        return Value(std::numeric_limits<double>::quiet_NaN());
    if (isBuiltinTypeName(vm, n, "Boolean"))
        return Value(false);
    if (unit.file.pool.multinames[typeName].kind == abc::MultinameKind::QName && n.local &&
        n.local->view() == u"*")
        return Value();
    return Value::null();
}

// Adds declarations to `traits`; methods close over `scope`.
void buildTraits(Vm& vm, AbcUnit& unit, const std::vector<abc::Trait>& declared, Traits& traits,
                 ScopeChain* scope, ClassObject* declaringClass, std::size_t inheritedSlots,
                 bool isStatic = false)
{
    for (const abc::Trait& t : declared) {
        const Name& qn = unit.names[t.name];
        String* local = qn.local ? qn.local : vm.names.empty;
        const Namespace* ns = qn.ns ? qn.ns : vm.publicNs();
        switch (t.kind) {
        case abc::TraitKind::Slot:
        case abc::TraitKind::Const:
        case abc::TraitKind::Class:
        case abc::TraitKind::Function: {
            std::size_t index = traits.slots.size();
            if (t.slotId > 0 && t.slotId - 1 >= inheritedSlots && t.slotId - 1 < limits::kMaxTraits)
                index = t.slotId - 1;
            if (index >= traits.slots.size())
                traits.slots.resize(index + 1);
            SlotInfo& slot = traits.slots[index];
            slot.name = local;
            if (t.kind == abc::TraitKind::Slot || t.kind == abc::TraitKind::Const) {
                if (t.typeName)
                    slot.type = TypeRef{&unit, t.typeName};
                // No value given: the type's default (0, NaN, false, null or undefined).
                slot.initial = t.value.kind == abc::ConstantKind::Undefined && t.value.index == 0
                                   ? slotDefault(vm, unit, t.typeName)
                                   : constantValue(vm, unit, t.value);
            } else if (t.kind == abc::TraitKind::Function) {
                MethodEnv* env = newMethodEnv(vm, unit, t.index, scope, declaringClass);
                env->name = local;
                slot.initial = Value(vm.newFunction(env));
            } else {
                slot.initial = Value::null();
            }
            Binding b;
            b.kind = t.kind == abc::TraitKind::Const || t.kind == abc::TraitKind::Class
                         ? Binding::Kind::Const
                         : Binding::Kind::Slot;
            b.index = static_cast<std::uint32_t>(index);
            traits.add(local, ns, b);
            break;
        }
        case abc::TraitKind::Method:
        case abc::TraitKind::Getter:
        case abc::TraitKind::Setter: {
            MethodEnv* env = newMethodEnv(vm, unit, t.index, scope, declaringClass);
            env->name = local;
            env->ns = ns;
            env->isStatic = isStatic;
            env->isGetter = t.kind == abc::TraitKind::Getter;
            env->isSetter = t.kind == abc::TraitKind::Setter;
            Binding* existing = traits.findQualified(local, ns);
            if (t.kind == abc::TraitKind::Method) {
                if (existing && existing->kind == Binding::Kind::Method) {
                    traits.vtable[existing->index] = env;
                } else {
                    Binding b;
                    b.kind = Binding::Kind::Method;
                    b.index = static_cast<std::uint32_t>(traits.vtable.size());
                    traits.vtable.push_back(env);
                    traits.add(local, ns, b);
                }
                break;
            }
            Binding b;
            if (existing && existing->kind == Binding::Kind::Accessor)
                b = *existing;
            b.kind = Binding::Kind::Accessor;
            std::uint32_t& which = t.kind == abc::TraitKind::Getter ? b.getter : b.setter;
            // An override replaces the base's entry in place; a new accessor appends.
            const bool inherited =
                existing && existing->kind == Binding::Kind::Accessor && which != Binding::kNone;
            if (inherited) {
                traits.vtable[which] = env;
            } else {
                which = static_cast<std::uint32_t>(traits.vtable.size());
                traits.vtable.push_back(env);
            }
            traits.add(local, ns, b);
            break;
        }
        }
    }
}

std::u16string qualifiedText(const Name& n)
{
    std::u16string text;
    if (n.ns && n.ns->uri && !n.ns->uri->empty())
        text = n.ns->uri->text() + u"::";
    return text + (n.local ? n.local->text() : u"*");
}

} // namespace

Name staticName(AbcUnit& unit, std::uint32_t multiname)
{
    return unit.names[multiname];
}

Value constantValue(Vm& vm, AbcUnit& unit, const abc::Constant& c)
{
    const abc::ConstantPool& pool = unit.file.pool;
    switch (c.kind) {
    case abc::ConstantKind::Utf8:
        return Value(unit.strings[c.index]);
    case abc::ConstantKind::Int:
        return Value(pool.ints[c.index]);
    case abc::ConstantKind::UInt:
        return Value::fromUint(pool.uints[c.index]);
    case abc::ConstantKind::Double:
        return Value::number(pool.doubles[c.index]);
    case abc::ConstantKind::True:
        return Value(true);
    case abc::ConstantKind::False:
        return Value(false);
    case abc::ConstantKind::Null:
        return Value::null();
    case abc::ConstantKind::Undefined:
        return Value();
    default:
        return namespaceValue(vm, unit.namespaces[c.index]);
    }
}

MethodEnv* newMethodEnv(Vm& vm, AbcUnit& unit, std::uint32_t method, ScopeChain* scope,
                        ClassObject* declaringClass)
{
    auto* env = vm.make<MethodEnv>();
    env->unit = &unit;
    env->method = method;
    env->scope = scope;
    env->declaringClass = declaringClass;
    const std::uint32_t nameIndex = unit.file.methods[method].name;
    env->name = nameIndex ? unit.strings[nameIndex] : nullptr;
    return env;
}

const Traits* activationTraits(Vm& vm, AbcUnit& unit, std::uint32_t body)
{
    auto& slot = unit.activationTraits[body];
    if (!slot) {
        slot = std::make_unique<Traits>();
        slot->sealed = false;
        slot->name = vm.intern("activation");
        buildTraits(vm, unit, unit.file.bodies[body].traits, *slot, nullptr, nullptr, 0);
    }
    return slot.get();
}

Value resolveTypeName(Vm& vm, AbcUnit& unit, std::uint32_t multiname)
{
    const abc::Multiname& m = unit.file.pool.multinames[multiname];
    if (m.kind == abc::MultinameKind::TypeName) {
        Value base = resolveTypeName(vm, unit, m.base);
        if (vm.throwing())
            return Value();
        std::vector<Value> params;
        for (std::uint32_t p : m.params) {
            params.push_back(p == 0 ? Value::null() : resolveTypeName(vm, unit, p));
            if (vm.throwing())
                return Value();
        }
        return applyType(vm, base, params);
    }
    const Name& n = unit.names[multiname];
    if (n.local && n.local->view() == u"*" && !n.set)
        return Value::null();
    Object* global = vm.findGlobal(n);
    if (vm.throwing())
        return Value();
    if (!global)
        return vm.throwError(ErrorType::VerifyError, 1014, {qualifiedText(n)});
    return vm.getProperty(Value(global), n);
}

void runScriptInit(Vm& vm, ScriptEnv& script)
{
    const abc::ScriptInfo& info = script.unit->file.scripts[script.index];
    auto* scope = vm.make<ScopeChain>(nullptr, Value(script.global), false);
    MethodEnv* env = newMethodEnv(vm, *script.unit, info.initializer, scope, nullptr);
    env->name = vm.intern("global$init");
    vm.invoke(env, Value(script.global), {});
}

ClassObject* newClass(Vm& vm, AbcUnit& unit, std::uint32_t index, const Value& baseValue,
                      ScopeChain* scope)
{
    const abc::InstanceInfo& ii = unit.file.instances[index];
    const abc::ClassInfo& ci = unit.file.classes[index];
    ClassObject* base = nullptr;
    if (baseValue.isObject() && baseValue.asObject()->kind() == ObjectKind::Class)
        base = static_cast<ClassObject*>(baseValue.asObject());
    else if (!baseValue.isNullish() ||
             (ii.superName != 0 && !(ii.flags & abc::instance_flags::kInterface))) {
        vm.throwError(ErrorType::VerifyError, 1108);
        return nullptr;
    }
    if (base && base->instanceTraits->isFinal) {
        vm.throwError(ErrorType::VerifyError, 1103, {qualifiedText(unit.names[ii.name])});
        return nullptr;
    }
    const Name& qn = unit.names[ii.name];
    const Builtins& b = vm.builtins();

    auto instance = std::make_unique<Traits>();
    if (base)
        *instance = *base->instanceTraits;
    instance->base = base ? base->instanceTraits.get() : nullptr;
    instance->sealed = (ii.flags & abc::instance_flags::kSealed) != 0;
    instance->isFinal = (ii.flags & abc::instance_flags::kFinal) != 0;
    instance->isInterface = (ii.flags & abc::instance_flags::kInterface) != 0;
    instance->protectedNs =
        (ii.flags & abc::instance_flags::kProtectedNs) ? unit.namespaces[ii.protectedNs] : nullptr;
    // Members a base declared protected answer to this class's protected namespace too.
    if (base && base->instanceTraits->protectedNs && instance->protectedNs) {
        std::vector<std::pair<const String*, Binding>> aliases;
        for (const auto& [local, entries] : instance->names)
            for (const auto& e : entries)
                if (e.ns == base->instanceTraits->protectedNs)
                    aliases.emplace_back(local, e.binding);
        for (const auto& [local, binding] : aliases)
            instance->add(const_cast<String*>(local), instance->protectedNs, binding);
    }
    auto classTraits = std::make_unique<Traits>(*b.classClass->instanceTraits);
    classTraits->base = b.classClass->instanceTraits.get();
    classTraits->owner = b.classClass;
    classTraits->sealed = false; // class objects take dynamic properties
    classTraits->isFinal = false;
    classTraits->isInterface = false;
    classTraits->protectedNs = nullptr;

    String* qualified = vm.intern(qualifiedText(qn));
    instance->name = qualified;
    classTraits->name = vm.intern(qualified->text() + u"$");

    Object* prototype =
        vm.make<Object>(b.object->instanceTraits.get(),
                        base ? base->instancePrototype : b.object->instancePrototype);
    ClassObject* cls =
        vm.makeClassObject(std::move(classTraits), std::move(instance), base, prototype);
    cls->qualifiedName = qualified;
    cls->localName = qn.local;
    cls->ns = qn.ns;
    cls->instanceTraits->owner = cls;

    for (std::uint32_t i : ii.interfaces) {
        Value iv = resolveTypeName(vm, unit, i);
        if (vm.throwing())
            return nullptr;
        if (!iv.isObject() || iv.asObject()->kind() != ObjectKind::Class)
            continue;
        auto* iface = static_cast<ClassObject*>(iv.asObject());
        auto add = [&](ClassObject* c) {
            if (!cls->instanceTraits->implements(c))
                cls->instanceTraits->interfaces.push_back(c);
        };
        add(iface);
        for (ClassObject* inherited : iface->instanceTraits->interfaces)
            add(inherited);
    }

    auto* classScope = vm.make<ScopeChain>(scope, Value(cls), false);
    buildTraits(vm, unit, ii.traits, *cls->instanceTraits, classScope, cls,
                base ? base->instanceTraits->slots.size() : 0);
    // An implemented interface's methods answer to their interface's names.
    for (ClassObject* iface : cls->instanceTraits->interfaces) {
        for (const auto& [local, entries] : iface->instanceTraits->names) {
            const Binding* pub = cls->instanceTraits->findPublic(local);
            if (!pub)
                continue;
            for (const auto& e : entries)
                if (!cls->instanceTraits->findQualified(local, e.ns))
                    cls->instanceTraits->add(const_cast<String*>(local), e.ns, *pub);
        }
    }
    buildTraits(vm, unit, ci.traits, *cls->ownClassTraits, classScope, cls,
                cls->ownClassTraits->slots.size(), true);
    cls->slots().clear();
    for (const SlotInfo& s : cls->ownClassTraits->slots)
        cls->slots().push_back(s.initial);
    cls->initializer = newMethodEnv(vm, unit, ii.initializer, classScope, cls);
    cls->initializer->name = qn.local;
    cls->initializer->isInitializer = true;
    if (base)
        cls->hooks = {base->hooks.allocate, nullptr, nullptr, nullptr};
    prototype->dynamic().set(vm.names.constructor, Value(cls));
    prototype->dynamic().setEnumerable(vm.names.constructor, false);
    unit.classes[index] = cls;

    MethodEnv* cinit = newMethodEnv(vm, unit, ci.initializer, classScope, cls);
    cinit->name = vm.intern(qualified->text() + u"$cinit");
    vm.invoke(cinit, Value(cls), {});
    if (vm.throwing())
        return nullptr;
    return cls;
}

bool Vm::loadAbc(std::span<const std::uint8_t> bytes, bool lazy, std::string* error)
{
    auto parsed = abc::parseAbc(bytes);
    if (!parsed) {
        if (error)
            *error = parsed.error().message();
        return false;
    }
    auto unit = std::make_unique<AbcUnit>();
    unit->file = std::move(parsed.value());
    AbcUnit& u = *unit;
    m_units.push_back(std::move(unit));
    link(*this, u);
    for (std::uint32_t i = 0; i < u.file.scripts.size(); ++i) {
        auto script = std::make_unique<ScriptEnv>();
        script->unit = &u;
        script->index = i;
        script->traits = std::make_unique<Traits>();
        script->traits->sealed = false;
        script->traits->name = intern("global");
        script->global =
            make<Object>(nullptr, m_builtins.object->instancePrototype, ObjectKind::Global);
        u.scripts.push_back(std::move(script));
    }
    for (auto& script : u.scripts) {
        auto* scope = make<ScopeChain>(nullptr, Value(script->global), false);
        buildTraits(*this, u, u.file.scripts[script->index].traits, *script->traits, scope, nullptr,
                    0);
        script->global->adoptTraits(script->traits.get());
        for (const abc::Trait& t : u.file.scripts[script->index].traits) {
            const Name& qn = u.names[t.name];
            if (qn.local)
                addDefinition(qn.local, qn.ns ? qn.ns : m_publicNs, script.get());
        }
    }
    // A lazy block's scripts wait until a definition of theirs is first looked up, so
    // that blocks later in the same frame are there by then.
    if (!lazy && !u.scripts.empty()) {
        ensureScriptRun(*u.scripts.back());
        if (m_throwing) {
            Value e = takeException();
            printUncaught(e);
        }
    }
    return true;
}

} // namespace avm2
