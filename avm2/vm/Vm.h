#pragma once

// The ActionScript 3 machine: its heap, interned names, built-in classes, loaded ABC
// blocks and the operations the interpreter and the classes share (conversions,
// property access, calls, errors). Errors never unwind the C++ stack: an operation that
// throws records the error value and returns; callers test `throwing()` and pass it up,
// and the interpreter hands it to the method's exception handlers.
#include "AbcUnit.h"
#include "ClassObject.h"
#include "Names.h"
#include "Object.h"
#include "Value.h"
#include "avm2/Limits.h"
#include "script/e4x/XmlSettings.h"
#include "script/gc/Heap.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace avm2 {

// Where a failing operation's error comes from, by class.
enum class ErrorType : std::uint8_t {
    Error,
    TypeError,
    ReferenceError,
    RangeError,
    ArgumentError,
    SyntaxError,
    EvalError,
    UriError,
    VerifyError,
    SecurityError,
    DefinitionError,
    UninitializedError,
};

struct Builtins {
    ClassObject* object = nullptr;
    ClassObject* function = nullptr;
    ClassObject* classClass = nullptr;
    ClassObject* array = nullptr;
    ClassObject* string = nullptr;
    ClassObject* number = nullptr;
    ClassObject* intClass = nullptr;
    ClassObject* uintClass = nullptr;
    ClassObject* boolean = nullptr;
    ClassObject* namespaceClass = nullptr;
    ClassObject* qname = nullptr;
    ClassObject* vector = nullptr;
    ClassObject* vectorObject = nullptr;
    ClassObject* vectorInt = nullptr;
    ClassObject* vectorUint = nullptr;
    ClassObject* vectorDouble = nullptr;
    ClassObject* date = nullptr;
    ClassObject* regexp = nullptr;
    ClassObject* xml = nullptr;
    ClassObject* xmlList = nullptr;
    ClassObject* errors[12] = {};
    const Traits* activation = nullptr;
};

class Vm {
public:
    struct Host {
        std::function<void(std::string_view)> trace;
        std::function<double()> milliseconds;
        std::function<void(std::string_view)> log;
        // Date's clock (milliseconds since 1970-01-01 UTC) and local zone (minutes
        // ahead of UTC at a UTC time); empty: the system clock and the process's zone.
        std::function<double()> currentTime;
        std::function<double(double)> localOffsetMinutes;
    };

    explicit Vm(Host host, int swfVersion = 10);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    script::Heap& heap() { return m_heap; }
    const Builtins& builtins() const { return m_builtins; }
    Builtins& builtinsForSetup() { return m_builtins; }
    int swfVersion() const { return m_swfVersion; }
    const Host& host() const { return m_host; }

    // Strings and names.
    String* newString(std::u16string text);
    String* newString(std::string_view utf8);
    String* intern(std::u16string_view text);
    String* intern(std::string_view ascii);
    // The interned string of the same text, or null when no interned one exists (the
    // name then names nothing declared or dynamic).
    String* findInterned(std::u16string_view text) const;
    String* internValue(String* s) { return s->interned() ? s : intern(s->view()); }
    const Namespace* internNamespace(NsKind kind, String* uri);
    const Namespace* newPrivateNamespace(String* uri);
    const Namespace* publicNs() const { return m_publicNs; }
    const Namespace* as3Ns() const { return m_as3Ns; }
    const Namespace* proxyNs() const { return m_proxyNs; }
    const NamespaceSet* publicSet() const { return &m_publicSet; }
    Name publicName(String* local) const
    {
        Name n;
        n.local = local;
        n.ns = m_publicNs;
        return n;
    }
    Name publicName(std::string_view ascii) { return publicName(intern(ascii)); }

    // Objects.
    template <typename T, typename... Args> T* make(Args&&... args)
    {
        return m_heap.make<T>(std::forward<Args>(args)...);
    }
    Object* newObject();
    ArrayObject* newArray(std::span<const Value> elements = {});
    FunctionObject* newFunction(MethodEnv* env);
    FunctionObject* newMethodClosure(MethodEnv* env, const Value& receiver);
    MethodEnv* newNativeMethod(std::string_view name, NativeMethod fn, int length);
    // Makes an instance of `cls` with its slots at their defaults, not yet initialised.
    Object* allocateInstance(ClassObject& cls);

    // Errors.
    bool throwing() const { return m_throwing; }
    const Value& exception() const { return m_exception; }
    Value takeException()
    {
        m_throwing = false;
        Value v = m_exception;
        m_exception = Value();
        return v;
    }
    void throwValue(const Value& value)
    {
        m_exception = value;
        m_throwing = true;
    }
    // Throws an error of `type` with the reference's "Error #N: text" message; `%1`..
    // in the text take the arguments. Returns undefined, for `return vm.throwError(...)`.
    Value throwError(ErrorType type, int number, std::initializer_list<std::u16string> args = {});
    Object* makeError(ErrorType type, std::u16string message, int number);

    // Conversions (ECMAScript's, with ActionScript 3's types).
    String* toString(const Value& v);
    std::u16string toText(const Value& v) { return toString(v)->text(); }
    double toNumber(const Value& v);
    std::int32_t toInt32(const Value& v);
    std::uint32_t toUint32(const Value& v);
    static bool toBoolean(const Value& v);
    Value toPrimitive(const Value& v, bool preferString);
    String* typeOf(const Value& v);
    // Ready for printing in messages: "Object@...", class names.
    std::u16string describeForError(const Value& v);
    String* numberToString(double d);

    bool strictEquals(const Value& a, const Value& b);
    bool looseEquals(const Value& a, const Value& b);
    // a < b by ECMAScript's abstract relational comparison: true, false, or undefined
    // (a NaN was involved) as nullopt.
    std::optional<bool> lessThan(const Value& a, const Value& b, bool leftFirst = true);
    Value add(const Value& a, const Value& b);

    // Types.
    ClassObject* classOf(const Value& v) const;
    bool isInstanceOf(const Value& v, const ClassObject* cls);
    // `coerce` to a declared type; throws TypeError #1034 when the value cannot be.
    Value coerce(const Value& v, ClassObject* type);
    ClassObject* resolveType(const TypeRef& type);
    Value defaultValueOf(ClassObject* type) const;

    // Properties, by name.
    Value getProperty(const Value& object, const Name& name);
    bool setProperty(const Value& object, const Name& name, const Value& value, bool init = false);
    bool deleteProperty(const Value& object, const Name& name);
    bool hasProperty(const Value& object, const Name& name);
    Value callProperty(const Value& object, const Name& name, std::span<const Value> args,
                       bool keepReceiver = true);
    Value constructProperty(const Value& object, const Name& name, std::span<const Value> args);
    // Super access from a method of `cls` on `receiver`.
    Value getSuper(ClassObject* cls, const Value& receiver, const Name& name);
    bool setSuper(ClassObject* cls, const Value& receiver, const Name& name, const Value& value);
    Value callSuper(ClassObject* cls, const Value& receiver, const Name& name,
                    std::span<const Value> args);
    // The traits used for a value's lookups, and the object whose prototype chain
    // follows (primitives use their class's).
    const Traits* traitsOf(const Value& v) const;
    Object* prototypeOf(const Value& v) const;
    // A dynamic property on `object` or along its prototype chain.
    const Value* findDynamic(Object* object, const String* key) const;

    // Calls.
    Value call(const Value& callee, const Value& thisValue, std::span<const Value> args);
    Value construct(const Value& callee, std::span<const Value> args);
    Value invoke(MethodEnv* env, const Value& thisValue, std::span<const Value> args,
                 ClassObject* newTarget = nullptr);
    // Runs a class's instance initializer on a freshly allocated object.
    bool initializeInstance(ClassObject& cls, Object* instance, std::span<const Value> args);
    bool isCallable(const Value& v) const;

    // Definitions: the classes, functions and variables scripts declare, found by
    // name across every loaded block (the application domain).
    struct Definition {
        const Namespace* ns = nullptr;
        ScriptEnv* script = nullptr;
    };
    void addDefinition(String* local, const Namespace* ns, ScriptEnv* script);
    ScriptEnv* findDefinition(const Name& name);
    // The global object holding `name`, its script run first; null when none.
    Object* findGlobal(const Name& name);
    // A definition's value by qualified name ("flash.display::MovieClip", "Math").
    Value getDefinitionByName(std::u16string_view qualified);
    bool ensureScriptRun(ScriptEnv& script);

    // Loading.
    // Parses, links and registers an ABC block; its scripts run on first need, the
    // last one at once unless `lazy`.
    bool loadAbc(std::span<const std::uint8_t> bytes, bool lazy, std::string* error);
    std::vector<std::unique_ptr<AbcUnit>>& units() { return m_units; }
    ScriptEnv& builtinScript() { return *m_builtinScript; }

    // Runs every queued piece of housekeeping and collects when worth it; only when no
    // script runs.
    void collectIfWanted();
    // From a running script, at a backward jump: collects when worth it and only
    // interpreted calls are active, since native code may hold cells in C++ locals.
    void collectInScript()
    {
        if (m_nativeFrames == 0 && m_heap.wantsCollection())
            m_heap.collect();
    }
    void addRoots(std::function<void(script::Tracer&)> roots) { m_heap.addRoots(std::move(roots)); }

    // Frames: a value stack shared by every call, for tracing and depth checks.
    Value* reserveFrame(std::size_t values);
    void releaseFrame(Value* base) { m_stackTop = base; }
    int& callDepth() { return m_callDepth; }
    // Instructions the interpreter has run, for benchmarks.
    std::uint64_t& instructionCount() { return m_instructions; }
    bool enterCall();
    void leaveCall() { --m_callDepth; }
    void setTimeout(double seconds) { m_timeoutSeconds = seconds; }
    // Nested calls allowed, at most the machine's cap (hosts with small stacks lower it).
    void setMaxCallDepth(int depth)
    {
        m_maxCallDepth = std::min(depth, static_cast<int>(limits::kMaxCallDepth));
    }
    void startBudget();
    bool checkBudget();
    // The active calls, innermost last, and their stack trace lines ("\n\tat Test/f()").
    const std::vector<MethodEnv*>& callStack() const { return m_callStack; }
    std::u16string stackTrace();
    // A thrown value's stack where it was thrown, for the uncaught report of values
    // that are no Error.
    void recordThrowSite() { m_throwTrace = stackTrace(); }
    // The error message an uncaught error prints: "TypeError: Error #1009: ...".
    std::u16string uncaughtText(const Value& error);
    void printUncaught(const Value& error);
    void trace(std::u16string_view text);
    bool logs() const { return static_cast<bool>(m_host.log); }

    // A value a native class keeps for the whole machine (flash.net's class aliases,
    // flash.utils' timers), by the class's own key; traced with the roots.
    Value& classState(std::string_view key) { return m_classState[std::string(key)]; }

    // flash.utils' timers (setTimeout, setInterval): run by the engine between frames,
    // each due one at most once per run, in the order they fall due.
    std::uint32_t addTimer(const Value& callback, std::vector<Value> args, double delayMs,
                           bool repeat);
    bool removeTimer(std::uint32_t id);
    void runTimers();

    // Setup of the built-in classes (classes/).
    ClassObject* defineClass(std::string_view package, std::string_view name, ClassObject* base,
                             bool dynamic, NativeClassHooks hooks = {}, bool isFinal = false);
    // Where a native method lives: in the AS3 namespace with a prototype function of
    // the same name (the core classes), on the prototype alone (toString, valueOf,
    // which subclasses' prototypes may replace), or in the public namespace.
    // FlashProxy: in the flash_proxy namespace, for Proxy's overridable members.
    enum class Member : std::uint8_t { As3AndPrototype, PrototypeOnly, Public, FlashProxy };
    void defineMethod(ClassObject* cls, std::string_view name, NativeMethod fn, int length,
                      Member member = Member::As3AndPrototype);
    void defineStaticMethod(ClassObject* cls, std::string_view name, NativeMethod fn, int length);
    void defineGetter(ClassObject* cls, std::string_view name, NativeMethod getter,
                      NativeMethod setter = nullptr, bool isStatic = false);
    void defineConstant(ClassObject* cls, std::string_view name, const Value& value,
                        bool isStatic = true);
    void defineGlobalFunction(std::string_view package, std::string_view name, NativeMethod fn,
                              int length);
    void defineGlobalConstant(std::string_view name, const Value& value);
    void addBuiltinGlobal(std::string_view package, std::string_view name, const Value& value);
    // Adds a prototype function (a dynamic, non-enumerable property).
    void definePrototypeFunction(Object* prototype, std::string_view name, NativeMethod fn,
                                 int length);
    ClassObject* makeClassObject(std::unique_ptr<Traits> classTraits,
                                 std::unique_ptr<Traits> instanceTraits, ClassObject* base,
                                 Object* instancePrototype);
    Object* globalObjectForBuiltins() { return m_builtinScript->global; }

    // E4X state: the XML class's settings and the `default xml namespace` (an interned
    // URI; null for none), both per machine.
    script::e4x::XmlSettings xmlSettings;
    String* defaultXmlNamespace = nullptr;

    // Interning of well-known names.
    struct Names {
        String* empty;
        String* length;
        String* prototype;
        String* constructor;
        String* toString;
        String* valueOf;
        String* message;
        String* name;
        String* undefined;
        String* null;
        String* trueText;
        String* falseText;
        String* nan;
    } names{};

private:
    void traceRoots(script::Tracer& tracer);
    Value lookupOnReceiver(const Value& object, const Name& name, bool& found);

    Host m_host;
    int m_swfVersion;
    script::Heap m_heap;
    std::unordered_map<std::u16string_view, String*> m_interned;
    struct NsKey {
        NsKind kind;
        const String* uri;
        bool operator==(const NsKey&) const = default;
    };
    struct NsKeyHash {
        std::size_t operator()(const NsKey& k) const
        {
            return std::hash<const void*>()(k.uri) ^ static_cast<std::size_t>(k.kind);
        }
    };
    std::unordered_map<NsKey, const Namespace*, NsKeyHash> m_namespaceTable;
    std::deque<Namespace> m_namespaces;
    const Namespace* m_publicNs = nullptr;
    const Namespace* m_as3Ns = nullptr;
    const Namespace* m_proxyNs = nullptr;
    NamespaceSet m_publicSet;
    Builtins m_builtins;
    std::unordered_map<const String*, std::vector<Definition>> m_definitions;
    std::vector<std::unique_ptr<AbcUnit>> m_units;
    std::unique_ptr<ScriptEnv> m_builtinScript;
    std::vector<std::unique_ptr<Traits>> m_extraTraits;

    bool m_throwing = false;
    Value m_exception;
    std::unordered_map<std::string, Value> m_classState;
    struct Timer {
        std::uint32_t id = 0;
        double due = 0;
        double interval = 0;
        bool repeat = false;
        Value callback;
        std::vector<Value> args = {};
    };
    std::vector<Timer> m_timers;
    std::uint32_t m_nextTimerId = 1;

    std::vector<Value> m_stack;
    Value* m_stackTop = nullptr;
    int m_callDepth = 0;
    std::uintptr_t m_stackBase = 0;
    std::vector<MethodEnv*> m_callStack;
    int m_nativeFrames = 0;
    std::u16string m_throwTrace;
    std::uint64_t m_instructions = 0;
    int m_maxCallDepth = static_cast<int>(limits::kMaxCallDepth);
    double m_timeoutSeconds = 15;
    std::chrono::steady_clock::time_point m_budgetStart;
    std::uint32_t m_budgetTicks = 0;
    bool m_timedOut = false;
};

} // namespace avm2
