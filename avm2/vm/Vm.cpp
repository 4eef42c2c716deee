#include "Vm.h"

#include "Decoder.h"
#include "ErrorMessages.h"
#include "ErrorObject.h"
#include "avm2/Limits.h"
#include "script/NumberFormat.h"

#include <cmath>
#include <limits>

namespace avm2 {

void registerBuiltins(Vm& vm); // classes/Builtins.cpp

AbcUnit::~AbcUnit() = default;

void AbcUnit::trace(script::Tracer& tracer) const
{
    for (String* s : strings)
        tracer.mark(s);
    for (ClassObject* c : classes)
        tracer.mark(c);
    for (const auto& s : scripts) {
        tracer.mark(s->global);
        if (s->traits)
            s->traits->trace(tracer);
    }
    for (const auto& t : activationTraits)
        if (t)
            t->trace(tracer);
    for (MethodEnv* m : catchEnvs)
        tracer.mark(m);
}

Vm::Vm(Host host, int swfVersion) : m_host(std::move(host)), m_swfVersion(swfVersion)
{
    m_stack.resize(limits::kMaxFrameValues);
    m_stackTop = m_stack.data();
    names.empty = intern("");
    names.length = intern("length");
    names.prototype = intern("prototype");
    names.constructor = intern("constructor");
    names.toString = intern("toString");
    names.valueOf = intern("valueOf");
    names.message = intern("message");
    names.name = intern("name");
    names.undefined = intern("undefined");
    names.null = intern("null");
    names.trueText = intern("true");
    names.falseText = intern("false");
    names.nan = intern("NaN");
    m_publicNs = internNamespace(NsKind::Public, names.empty);
    m_as3Ns = internNamespace(NsKind::Public, intern("http://adobe.com/AS3/2006/builtin"));
    m_proxyNs = internNamespace(NsKind::Public,
                                intern("http://www.adobe.com/2006/actionscript/flash/proxy"));
    m_publicSet.namespaces = {m_publicNs};
    m_publicSet.hasPublic = true;
    m_heap.addRoots([this](script::Tracer& t) { traceRoots(t); });
    m_builtinScript = std::make_unique<ScriptEnv>();
    m_builtinScript->traits = std::make_unique<Traits>();
    m_builtinScript->traits->sealed = false;
    m_builtinScript->traits->name = intern("global");
    m_builtinScript->global =
        make<Object>(m_builtinScript->traits.get(), nullptr, ObjectKind::Global);
    m_builtinScript->state = ScriptEnv::State::Done;
    registerBuiltins(*this);
    m_builtinScript->global->setPrototype(m_builtins.object->instancePrototype);
}

Vm::~Vm() = default;

void Vm::traceRoots(script::Tracer& tracer)
{
    for (const auto& [text, s] : m_interned)
        tracer.mark(s);
    for (Value* v = m_stack.data(); v < m_stackTop; ++v)
        tracer.mark(*v);
    for (MethodEnv* env : m_callStack)
        tracer.mark(env);
    tracer.mark(m_exception);
    for (const auto& [key, value] : m_classState)
        tracer.mark(value);
    for (const Timer& t : m_timers) {
        tracer.mark(t.callback);
        for (const Value& a : t.args)
            tracer.mark(a);
    }
    for (const auto& u : m_units)
        u->trace(tracer);
    if (m_builtinScript) {
        tracer.mark(m_builtinScript->global);
        if (m_builtinScript->traits)
            m_builtinScript->traits->trace(tracer);
    }
    for (const auto& t : m_extraTraits)
        t->trace(tracer);
    for (ClassObject* c : m_builtins.errors)
        tracer.mark(c);
}

void Vm::collectIfWanted()
{
    if (m_callDepth == 0 && m_heap.wantsCollection())
        m_heap.collect();
}

// Strings -----------------------------------------------------------------------------

String* Vm::newString(std::u16string text)
{
    if (text.empty())
        return names.empty;
    return m_heap.make<String>(std::move(text));
}

String* Vm::newString(std::string_view utf8Text)
{
    return newString(utf16(utf8Text));
}

String* Vm::intern(std::u16string_view text)
{
    auto it = m_interned.find(text);
    if (it != m_interned.end())
        return it->second;
    String* s = m_heap.make<String>(std::u16string(text));
    s->m_interned = true;
    m_interned.emplace(s->view(), s);
    return s;
}

String* Vm::intern(std::string_view ascii)
{
    return intern(utf16(ascii));
}

String* Vm::findInterned(std::u16string_view text) const
{
    auto it = m_interned.find(text);
    return it == m_interned.end() ? nullptr : it->second;
}

const Namespace* Vm::internNamespace(NsKind kind, String* uri)
{
    uri = internValue(uri);
    auto [it, added] = m_namespaceTable.try_emplace(NsKey{kind, uri}, nullptr);
    if (added) {
        m_namespaces.push_back(Namespace{kind, uri});
        it->second = &m_namespaces.back();
    }
    return it->second;
}

const Namespace* Vm::newPrivateNamespace(String* uri)
{
    m_namespaces.push_back(Namespace{NsKind::Private, internValue(uri)});
    return &m_namespaces.back();
}

String* Vm::numberToString(double d)
{
    // The ten digits are interned: indexes and counts print them most.
    if (d >= 0 && d < 10 && d == std::floor(d) && !std::signbit(d))
        return intern(std::string(1, static_cast<char>('0' + static_cast<int>(d))));
    return newString(script::numberToString(d));
}

// Objects ------------------------------------------------------------------------------

Object* Vm::newObject()
{
    ClassObject* cls = m_builtins.object;
    return make<Object>(cls->instanceTraits.get(), cls->instancePrototype);
}

ArrayObject* Vm::newArray(std::span<const Value> elements)
{
    ClassObject* cls = m_builtins.array;
    auto* a = make<ArrayObject>(cls->instanceTraits.get(), cls->instancePrototype);
    for (const Value& v : elements)
        a->push(v);
    return a;
}

FunctionObject* Vm::newFunction(MethodEnv* env)
{
    ClassObject* cls = m_builtins.function;
    return make<FunctionObject>(cls->instanceTraits.get(), cls->instancePrototype, env, Value(),
                                false);
}

FunctionObject* Vm::newMethodClosure(MethodEnv* env, const Value& receiver)
{
    ClassObject* cls = m_builtins.function;
    return make<FunctionObject>(cls->instanceTraits.get(), cls->instancePrototype, env, receiver,
                                true);
}

MethodEnv* Vm::newNativeMethod(std::string_view name, NativeMethod fn, int length)
{
    auto* env = make<MethodEnv>();
    env->native = fn;
    env->name = intern(name);
    env->nativeLength = length;
    return env;
}

Object* Vm::allocateInstance(ClassObject& cls)
{
    for (ClassObject* c = &cls; c; c = c->base) {
        if (c->hooks.allocate) {
            Object* o = c->hooks.allocate(*this, cls);
            return o;
        }
    }
    return make<Object>(cls.instanceTraits.get(), cls.instancePrototype);
}

// Errors -------------------------------------------------------------------------------

Object* Vm::makeError(ErrorType type, std::u16string message, int number)
{
    ClassObject* cls = m_builtins.errors[static_cast<int>(type)];
    auto* e = make<ErrorObject>(cls->instanceTraits.get(), cls->instancePrototype);
    e->errorId = number;
    e->stackTrace = stackTrace();
    if (const Binding* b = cls->instanceTraits->findQualified(names.message, m_publicNs))
        e->slot(b->index) = Value(newString(std::move(message)));
    return e;
}

Value Vm::throwError(ErrorType type, int number, std::initializer_list<std::u16string> args)
{
    std::u16string text(errorText(number));
    int n = 1;
    for (const std::u16string& a : args) {
        const std::u16string key = u"%" + utf16(std::to_string(n++));
        const auto at = text.find(key);
        if (at != std::u16string::npos)
            text.replace(at, key.size(), a);
    }
    std::u16string message = u"Error #" + utf16(std::to_string(number));
    if (!text.empty())
        message += u": " + text;
    throwValue(Value(makeError(type, std::move(message), number)));
    return Value();
}

std::u16string Vm::uncaughtText(const Value& error)
{
    // The error's own toString, as a trace of it would print; a thrown error prints
    // only its text.
    Value saved = m_exception;
    const bool wasThrowing = m_throwing;
    m_throwing = false;
    std::u16string text;
    if (error.isObject() && error.asObject()->kind() == ObjectKind::Error) {
        Value s = callProperty(error, publicName(names.toString), {});
        text = m_throwing ? u"Error" : toText(s);
        auto* e = static_cast<ErrorObject*>(error.asObject());
        if (!e->stackTrace.empty())
            text += e->stackTrace;
    } else {
        text = toText(error) + m_throwTrace;
    }
    m_throwing = wasThrowing;
    m_exception = saved;
    return text;
}

void Vm::printUncaught(const Value& error)
{
    trace(uncaughtText(error));
}

void Vm::trace(std::u16string_view text)
{
    // The reference's output drops zero characters ("A\0B" prints "AB").
    if (!m_host.trace)
        return;
    if (text.find(u'\0') == std::u16string_view::npos) {
        m_host.trace(utf8(text));
        return;
    }
    std::u16string kept(text);
    std::erase(kept, u'\0');
    m_host.trace(utf8(kept));
}

// Frames and budgets -------------------------------------------------------------------

Value* Vm::reserveFrame(std::size_t values)
{
    if (static_cast<std::size_t>(m_stack.data() + m_stack.size() - m_stackTop) < values)
        return nullptr;
    Value* base = m_stackTop;
    for (std::size_t i = 0; i < values; ++i)
        base[i] = Value();
    m_stackTop += values;
    return base;
}

bool Vm::enterCall()
{
    // Besides the count, the C++ stack the calls have used: frames are much larger in
    // sanitizer builds, where 2,000 calls would overflow the thread's stack.
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    if (m_callDepth == 0)
        m_stackBase = here;
    const std::uintptr_t used = m_stackBase > here ? m_stackBase - here : 0;
    if (m_callDepth >= m_maxCallDepth || used > limits::kMaxNativeStackBytes) {
        throwError(ErrorType::Error, 1023);
        return false;
    }
    ++m_callDepth;
    return true;
}

void Vm::startBudget()
{
    m_budgetStart = std::chrono::steady_clock::now();
    m_budgetTicks = 0;
    m_timedOut = false;
}

bool Vm::checkBudget()
{
    if (m_timedOut)
        return false;
    if (++m_budgetTicks < 4096)
        return true;
    m_budgetTicks = 0;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_budgetStart).count();
    if (elapsed > m_timeoutSeconds) {
        m_timedOut = true;
        throwError(ErrorType::Error, 1502);
        return false;
    }
    return true;
}

} // namespace avm2
