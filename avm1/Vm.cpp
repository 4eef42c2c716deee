#include "Vm.h"

#include "Interpreter.h"
#include "ScriptFunction.h"
#include "ScriptHost.h"
#include "StringUnits.h"
#include "SuperObject.h"
#include "TextEncoding.h"
#include "builtins/ArrayObject.h"
#include "builtins/Builtins.h"

#include <algorithm>
#include <unordered_set>

namespace avm1 {

// --- Cells the VM defines ------------------------------------------------------------

Cell* Value::cell() const
{
    switch (m_type) {
    case Type::String:
        return m_string;
    case Type::Object:
        return m_object;
    default:
        return nullptr;
    }
}

void Object::traceChildren(Tracer& tracer)
{
    tracer.mark(m_prototype);
    tracer.mark(m_protoPrimitive);
    m_properties.trace(tracer);
    for (const Watcher& w : m_watchers) {
        tracer.mark(w.name);
        tracer.mark(w.callback);
        tracer.mark(w.userData);
    }
    for (Object* o : m_interfaces)
        tracer.mark(o);
    tracer.mark(m_nativeState);
}

void Object::defineValue(String* name, Value value, std::uint16_t flags, CaseRule rule)
{
    Property* p = m_properties.find(name, rule);
    if (!p)
        p = &m_properties.append(name);
    p->value = value;
    p->getter = nullptr;
    p->setter = nullptr;
    p->flags = flags;
}

void Object::defineValue(Vm& vm, std::string_view name, Value value, std::uint16_t flags)
{
    defineValue(vm.str(name), value, flags, vm.caseRule());
}

void PrimitiveObject::traceChildren(Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(m_primitive);
}

void NativeFunction::traceChildren(Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(m_data);
}

void ScriptFunction::traceChildren(Tracer& tracer)
{
    Object::traceChildren(tracer);
    for (Object* o : m_closure)
        tracer.mark(o);
    tracer.mark(m_definingTarget);
}

// --- The VM ------------------------------------------------------------------------

Vm::Vm(int swfVersion, ScriptHost* host)
    : m_host(host), m_swfVersion(swfVersion), m_interpreter(std::make_unique<Interpreter>(*this))
{
#define AVM1_COMMON_NAME_MAKE(field, text) m_names.field = str(text);
    AVM1_COMMON_NAME_LIST(AVM1_COMMON_NAME_MAKE)
#undef AVM1_COMMON_NAME_MAKE
    m_rootsId = m_heap.addRoots([this](Tracer& tracer) { traceRoots(tracer); });
    m_stack.reserve(256);
    m_realm = realmOf(swfVersion);
    installAll(*this);
}

namespace {

// The engine's tables go with whichever realm is current. Object.registerClass's table
// is each realm's own: movies of the other kind do not see its classes.
void shareTables(const Builtins& from, Builtins& to)
{
    to.timers = from.timers;
    to.loads = from.loads;
    to.movieLoads = from.movieLoads;
    to.localConnections = from.localConnections;
    to.sharedObjects = from.sharedObjects;
    to.deferredEvents = from.deferredEvents;
}

} // namespace

void Vm::enterRealm(int realm)
{
    if (realm == m_realm)
        return;
    std::swap(m_builtins, m_otherRealm);
    shareTables(m_otherRealm, m_builtins);
    m_realm = realm;
    if (!m_otherRealmMade) {
        m_otherRealmMade = true;
        m_builtins = Builtins{};
        shareTables(m_otherRealm, m_builtins);
        installAll(*this);
    }
}

Builtins& Vm::builtinsOf(int realm)
{
    if (realm == m_realm)
        return m_builtins;
    if (!m_otherRealmMade) {
        const int current = m_realm;
        enterRealm(realm);
        enterRealm(current);
    }
    return m_otherRealm;
}

Vm::~Vm()
{
    m_heap.removeRoots(m_rootsId);
}

void Vm::traceRoots(Tracer& tracer)
{
#define AVM1_COMMON_NAME_MARK(field, text) tracer.mark(m_names.field);
    AVM1_COMMON_NAME_LIST(AVM1_COMMON_NAME_MARK)
#undef AVM1_COMMON_NAME_MARK
    for (const Builtins* b : {&m_builtins, &m_otherRealm}) {
        for (Object* o : {b->global,      b->objectProto,    b->functionProto, b->arrayProto,
                          b->stringProto, b->numberProto,    b->booleanProto,  b->dateProto,
                          b->errorProto,  b->movieClipProto, b->buttonProto,   b->textFieldProto,
                          b->objectCtor,  b->functionCtor,   b->arrayCtor,     b->stringCtor,
                          b->numberCtor,  b->booleanCtor,    b->errorCtor,     b->xmlNodeProto,
                          b->videoProto})
            tracer.mark(o);
    }
    for (const Value& v : m_stack)
        tracer.mark(v);
    tracer.mark(m_exception);
    m_interpreter->traceRoots(tracer);
}

String* Vm::str(std::string_view text)
{
    return str(std::string(text.substr(0, limits::kMaxStringBytes)));
}

String* Vm::str(std::string&& text)
{
    if (text.size() > limits::kMaxStringBytes)
        text.resize(limits::kMaxStringBytes);
    // Halves of a pair that scripts cut apart and joined again are one character.
    joinSurrogateHalves(text);
    return m_heap.make<String>(std::move(text));
}

Object* Vm::makeObject()
{
    return m_heap.make<Object>(m_builtins.objectProto);
}

Object* Vm::makeObject(Object* prototype)
{
    return m_heap.make<Object>(prototype);
}

Object* Vm::makeArray(std::span<const Value> values)
{
    return makeArrayObject(*this, values);
}

NativeFunction* Vm::makeNative(NativeFn callFn, NativeFn constructFn)
{
    return m_heap.make<NativeFunction>(m_builtins.functionProto, callFn, constructFn);
}

NativeFunction* Vm::defineMethod(Object* target, std::string_view name, NativeFn callFn,
                                 std::uint16_t flags)
{
    NativeFunction* fn = makeNative(callFn);
    target->defineValue(*this, name, Value(fn), flags);
    return fn;
}

void Vm::defineMethods(Object* target, std::initializer_list<MethodSpec> methods,
                       std::uint16_t flags)
{
    for (const MethodSpec& method : methods)
        defineMethod(target, method.name, method.call, flags);
}

NativeFunction* Vm::defineClass(std::string_view name, Object* prototype, NativeFn callFn,
                                NativeFn constructFn)
{
    NativeFunction* ctor = makeNative(callFn, constructFn);
    ctor->defineValue(*this, "prototype", Value(prototype),
                      PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    prototype->defineValue(*this, "constructor", Value(ctor), PropertyFlag::DontEnum);
    // Constructors are functions made by Function, and say so themselves.
    if (m_builtins.functionCtor)
        ctor->defineValue(*this, "constructor", Value(m_builtins.functionCtor),
                          PropertyFlag::DontEnum);
    if (m_builtins.global)
        m_builtins.global->defineValue(*this, name, Value(ctor), PropertyFlag::DontEnum);
    return ctor;
}

// --- Property access -----------------------------------------------------------------

Property* Vm::findOwn(Object* object, String* name)
{
    Property* p = object->slots().find(name, caseRule());
    // An element an array keeps apart has no slot to give: it moves into the map.
    if (!p && object->elementVectorSize() > 0 && object->elementVectorHolds(name))
        p = object->properties().find(name, caseRule());
    if (p && versionHides(p->flags, m_swfVersion))
        return nullptr;
    return p;
}

namespace {

// Keeps getter, setter, watcher and __resolve calls from recursing without end.
struct HookDepth {
    explicit HookDepth(int& depth) : m_depth(depth) { ++m_depth; }
    ~HookDepth() { --m_depth; }
    HookDepth(const HookDepth&) = delete;
    HookDepth& operator=(const HookDepth&) = delete;
    int& m_depth;
};

} // namespace

Value Vm::getMember(Value base, String* name)
{
    if (Object* o = base.objectOrNull())
        return getMember(o, name);
    if (base.isNullish())
        return Value();
    // A string's length is its own, though reading it wraps the string as any read
    // does (a replaced String class sees it).
    if (base.isString() && sameKey(name, m_names.length, caseRule())) {
        toObject(base);
        return m_throwing ? Value() : Value(stringLength(base.asString()));
    }
    Object* proto = nullptr;
    switch (base.type()) {
    case Value::Type::String:
        proto = m_builtins.stringProto;
        break;
    case Value::Type::Number:
        proto = m_builtins.numberProto;
        break;
    case Value::Type::Boolean:
        proto = m_builtins.booleanProto;
        break;
    default:
        break;
    }
    if (!proto)
        return Value();
    // Methods of a primitive run with the primitive as "this"; a getter found on the
    // prototype gets the wrapper.
    Object* wrapper = toObject(base);
    return wrapper ? getMember(wrapper, name) : Value();
}

bool Vm::lookup(Object* object, String* name, Value& out)
{
    const CaseRule rule = caseRule();
    Object* holder = object;
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (holder->getVirtual(*this, name, out))
            return true;
        if (holder->hasPrototypeProperty() && sameKey(name, m_names.proto, rule) &&
            !versionHides(holder->prototypeFlags(), m_swfVersion)) {
            out = holder->prototypeValue();
            return true;
        }
        if (Property* p = findOwn(holder, name)) {
            if (!p->isAccessor()) {
                out = p->value;
                return true;
            }
            // Past its nesting limit the getter is not run: the value last assigned
            // to the property is read instead.
            out = p->value;
            if (p->getter)
                runAccessor(holder, p, p->getter, Value(object), {}, out);
            return true;
        }
        if (holder->resolveFallback(*this, name, out))
            return true;
        holder = inheritedFrom(holder);
    }
    // A chain this long is circular: looking a name up along it ends the scripts.
    if (holder)
        abortScripts("prototype chain too long");
    return false;
}

Value Vm::getMember(Object* object, String* name)
{
    const CaseRule rule = caseRule();
    Value found;
    if (lookup(object, name, found))
        return found;
    // __resolve answers for names found nowhere (but not for itself).
    if (sameKey(name, m_names.resolve, rule) || m_hookDepth >= limits::kMaxPropertyHookDepth)
        return Value();
    Value resolver;
    {
        HookDepth guard(m_hookDepth);
        resolver = getMember(object, m_names.resolve);
    }
    if (Object* fn = resolver.objectOrNull(); fn && fn->isFunction()) {
        HookDepth guard(m_hookDepth);
        const Value arg(name);
        return call(resolver, Value(object), std::span<const Value>(&arg, 1));
    }
    return Value();
}

void Vm::setMember(Value base, String* name, Value value)
{
    if (Object* o = base.objectOrNull())
        setMember(o, name, value);
    // Assignments to primitives' properties vanish with the temporary wrapper.
}

bool Vm::runAccessor(Object* holder, Property* p, Object* accessor, Value thisValue,
                     std::span<const Value> args, Value& result)
{
    if (p->hooksRunning >= limits::kMaxPropertyHookDepth)
        return false;
    ++p->hooksRunning;
    String* key = p->name;
    result = call(Value(accessor), thisValue, args);
    // The call may have moved the slot, or deleted it and made another.
    if (Property* again = holder->properties().find(key, CaseRule::Sensitive);
        again && again->hooksRunning > 0)
        --again->hooksRunning;
    return true;
}

void Vm::runSetter(Object* holder, Property* p, Object* object, Value value)
{
    String* key = p->name;
    if (p->setter) {
        Value ignored;
        runAccessor(holder, p, p->setter, Value(object), std::span<const Value>(&value, 1),
                    ignored);
    }
    // The property keeps the value assigned, once its setter is done (or was not run):
    // a getter past its nesting limit gives that back.
    if (Property* again = holder->properties().find(key, CaseRule::Sensitive);
        again && again->isAccessor())
        again->value = value;
}

// The old value a watcher is shown: for an accessor property, the value it was last
// assigned, without running its getter.
Value Vm::watchedValue(Object* object, String* name)
{
    Object* holder = object;
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (Property* p = findOwn(holder, name))
            return p->isAccessor() ? p->value : getMember(object, name);
        holder = holder->prototype();
    }
    return getMember(object, name);
}

void Vm::setMember(Object* object, String* name, Value value)
{
    const CaseRule rule = caseRule();
    // A watcher sees the assignment first and decides the value stored. Its calls count
    // against the nesting of the object's own property of that name, where there is
    // one, with those of the property's accessors.
    for (Watcher& w : object->watchers()) {
        if (!sameKey(w.name, name, rule))
            continue;
        Property* own = object->properties().find(name, rule);
        std::uint8_t& nesting = own ? own->hooksRunning : w.nesting;
        if (nesting >= limits::kMaxPropertyHookDepth)
            break;
        ++nesting;
        String* key = own ? own->name : nullptr;
        Object* callback = w.callback;
        const Value args[] = {Value(w.name), watchedValue(object, name), value, w.userData};
        // The call may change the watcher list and the properties: find the counter again.
        value = call(Value(callback), Value(object), args);
        if (key) {
            if (Property* again = object->properties().find(key, CaseRule::Sensitive);
                again && again->hooksRunning > 0)
                --again->hooksRunning;
        } else {
            for (Watcher& again : object->watchers())
                if (again.callback == callback && sameKey(again.name, name, rule) &&
                    again.nesting > 0)
                    --again.nesting;
        }
        if (throwing())
            return;
        break;
    }
    if (object->setVirtual(*this, name, value))
        return;
    if (sameKey(name, m_names.proto, rule)) {
        if (object->hasPrototypeProperty()) {
            if (!(object->prototypeFlags() & PropertyFlag::ReadOnly))
                object->setPrototypeValue(value);
            return;
        }
        // An object without one (deleted, or _global's) gets a prototype again, as an
        // ordinary property.
        if (!findOwn(object, name)) {
            object->setHasPrototypeProperty(true);
            object->setPrototypeFlags(0);
            object->setPrototypeValue(value);
            return;
        }
    }
    if (Property* p = findOwn(object, name)) {
        if (p->isAccessor()) {
            runSetter(object, p, object, value);
            return;
        }
        if (!(p->flags & PropertyFlag::ReadOnly)) {
            p->value = value;
            object->ownPropertyAssigned(*this, name);
        }
        return;
    }
    // A setter inherited from a prototype takes the assignment for this object.
    Object* holder = inheritedFrom(object);
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (Property* p = findOwn(holder, name); p && p->isAccessor()) {
            runSetter(holder, p, object, value);
            return;
        }
        holder = inheritedFrom(holder);
    }
    if (object->slots().size() + object->elementVectorSize() >= limits::kMaxPropertiesPerObject) {
        logLazy([] { return std::string("property dropped: too many properties on one object"); });
        return;
    }
    object->slots().append(name).value = value;
    object->ownPropertyAssigned(*this, name);
}

bool Vm::deleteMember(Object* object, String* name)
{
    const CaseRule rule = caseRule();
    if (object->hasPrototypeProperty() && sameKey(name, m_names.proto, rule)) {
        if (object->prototypeFlags() & PropertyFlag::DontDelete)
            return false;
        object->setHasPrototypeProperty(false);
        object->setPrototype(nullptr);
        return true;
    }
    if (object->elementVectorSize() > 0 && object->deleteFromElementVector(*this, name))
        return true;
    Property* p = findOwn(object, name);
    if (!p || (p->flags & PropertyFlag::DontDelete))
        return false;
    String* stored = p->name;
    object->slots().remove(stored, CaseRule::Sensitive);
    object->ownPropertyDeleted(*this, stored);
    return true;
}

bool Vm::hasOwnProperty(Object* object, String* name)
{
    if (object->hasPrototypeProperty() && sameKey(name, m_names.proto, caseRule()))
        return true;
    Value ignored;
    if (object->getVirtual(*this, name, ignored))
        return true;
    return findOwn(object, name) != nullptr;
}

bool Vm::hasProperty(Object* object, String* name)
{
    Object* holder = object;
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (hasOwnProperty(holder, name))
            return true;
        holder = inheritedFrom(holder);
    }
    return false;
}

std::vector<String*> Vm::enumerableKeys(Object* object)
{
    std::vector<String*> keys;
    std::vector<String*> seen;
    const CaseRule rule = caseRule();
    auto alreadySeen = [&](String* name) {
        for (String* s : seen)
            if (sameKey(s, name, rule))
                return true;
        return false;
    };
    // A set keyed by the folded hash keeps this linear for large objects.
    std::unordered_multiset<std::uint32_t> hashes;
    auto visit = [&](String* name, bool enumerable) {
        if (hashes.count(name->foldedHash()) && alreadySeen(name))
            return;
        hashes.insert(name->foldedHash());
        seen.push_back(name);
        if (enumerable && keys.size() < limits::kMaxEnumerated)
            keys.push_back(name);
    };
    Object* holder = object;
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        std::vector<String*> virtualNames;
        holder->virtualKeys(*this, virtualNames);
        for (String* name : virtualNames)
            visit(name, true);
        holder->slots().forEach([&](const Property& p) {
            visit(p.name, p.enumerable() && !versionHides(p.flags, m_swfVersion));
        });
        holder = inheritedFrom(holder);
    }
    return keys;
}

// --- Calls ---------------------------------------------------------------------------

Value Vm::callNative(NativeFunction* function, Value thisValue, std::span<const Value> args,
                     bool construct)
{
    if (m_nativeDepth >= limits::kMaxNativeReentry) {
        abortScripts("native calls nested too deeply");
        return Value();
    }
    NativeScope scope(*this);
    CallArgs callArgs{thisValue, args, function, construct};
    NativeFn fn =
        construct && function->constructFn() ? function->constructFn() : function->callFn();
    return fn(*this, callArgs);
}

Value Vm::call(Value function, Value thisValue, std::span<const Value> args)
{
    if (m_throwing || m_aborted)
        return Value();
    Object* fn = function.objectOrNull();
    if (!fn || !fn->isFunction())
        return Value();
    auto* f = static_cast<Function*>(fn);
    if (f->isNative())
        return callNative(static_cast<NativeFunction*>(f), thisValue, args, false);
    return m_interpreter->callFunction(static_cast<ScriptFunction*>(f), thisValue, args, false);
}

Value Vm::construct(Value function, std::span<const Value> args)
{
    if (m_throwing || m_aborted)
        return Value();
    Object* fn = function.objectOrNull();
    if (!fn || !fn->isFunction())
        return Value();
    auto* f = static_cast<Function*>(fn);
    if (f->isNative()) {
        auto* native = static_cast<NativeFunction*>(f);
        if (native->constructFn())
            return callNative(native, Value(), args, true);
    }
    // A prototype that is no object (a number, true, or none at all, as with new
    // Math.cos()) is kept as the instance's __proto__, which then leads nowhere: the
    // instance inherits nothing, not even toString.
    const Value protoValue = getMember(fn, m_names.prototype);
    Object* proto = protoValue.objectOrNull();
    Object* object = makeObject(proto);
    if (!proto)
        object->setPrototypeValue(protoValue);
    object->defineValue(m_names.constructorOld, Value(fn), PropertyFlag::DontEnum, caseRule());
    if (m_swfVersion < 6)
        object->defineValue(m_names.constructor, Value(fn), PropertyFlag::DontEnum, caseRule());
    Value result;
    if (f->isNative())
        result = callNative(static_cast<NativeFunction*>(f), Value(object), args, true);
    else
        result =
            m_interpreter->callFunction(static_cast<ScriptFunction*>(f), Value(object), args, true);
    if (Object* returned = result.objectOrNull(); returned && f->isNative())
        return Value(returned);
    return Value(object);
}

Value Vm::makeSuper(Value thisValue, Object* home)
{
    return Value(m_heap.make<SuperObject>(thisValue, home));
}

Value Vm::callMethod(Value object, String* method, std::span<const Value> args)
{
    const Value fn = getMember(object, method);
    if (m_throwing)
        return Value();
    return call(fn, object, args);
}

// --- Exceptions ----------------------------------------------------------------------

void Vm::throwValue(Value value)
{
    m_throwing = true;
    m_exception = value;
}

void Vm::throwError(std::string_view message)
{
    const Value arg(str(message));
    Value error = construct(Value(m_builtins.errorCtor), std::span<const Value>(&arg, 1));
    throwValue(error);
}

Value Vm::takeException()
{
    m_throwing = false;
    Value e = m_exception;
    m_exception = Value();
    return e;
}

void Vm::abortScripts(std::string_view reason)
{
    if (!m_aborted)
        logLazy([&] { return "scripts stopped: " + std::string(reason); });
    m_aborted = true;
}

// --- Budget and collection -----------------------------------------------------------

void Vm::startBudget()
{
    m_budgetStart = std::chrono::steady_clock::now();
    m_untilClockCheck = limits::kClockCheckInterval;
}

bool Vm::budgetSpent()
{
    m_untilClockCheck = limits::kClockCheckInterval;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_budgetStart).count();
    if (elapsed <= m_budgetSeconds && m_heap.liveCells() < limits::kMaxLiveCells)
        return false;
    if (m_heap.liveCells() >= limits::kMaxLiveCells && !inNativeCode()) {
        collectNow();
        if (m_heap.liveCells() < limits::kMaxLiveCells)
            return false;
    }
    return true;
}

void Vm::maybeCollect()
{
    if (!inNativeCode() && m_heap.wantsCollection())
        m_heap.collect();
}

void Vm::collectNow()
{
    if (!inNativeCode())
        m_heap.collect();
}

// --- Host ----------------------------------------------------------------------------

bool Vm::logEnabled() const
{
    return m_host && m_host->logEnabled();
}

void Vm::log(std::string_view message)
{
    if (m_host)
        m_host->log(message);
}

void Vm::trace(std::string_view line)
{
    if (m_host)
        m_host->trace(displayText(line, m_swfVersion));
}

} // namespace avm1
