#pragma once

// The ActionScript 1 and 2 virtual machine: the heap, the global object and the
// built-in prototypes, the language's conversions and its property access rules, calls
// and exceptions. The interpreter (Interpreter.h) runs byte code on it; built-ins
// (builtins/) are native functions installed on its objects; the engine (Engine.h)
// ties it to a playing movie.
//
// Exceptions are a state, not C++ exceptions: throwValue() marks the VM as unwinding,
// and every caller of something that may throw checks throwing() and returns at once.
// Natives may return any value while throwing; it is ignored.

#include "Function.h"
#include "Heap.h"
#include "Limits.h"
#include "Object.h"
#include "String.h"
#include "Value.h"

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace avm1 {

class Interpreter;
class ScriptHost;

// Names the VM uses all the time, made once.
struct CommonNames {
#define AVM1_COMMON_NAME_LIST(X)                                                                   \
    X(length, "length")                                                                            \
    X(prototype, "prototype")                                                                      \
    X(proto, "__proto__")                                                                          \
    X(constructor, "constructor")                                                                  \
    X(constructorOld, "__constructor__")                                                           \
    X(toString, "toString")                                                                        \
    X(valueOf, "valueOf")                                                                          \
    X(resolve, "__resolve")                                                                        \
    X(thisName, "this")                                                                            \
    X(arguments, "arguments")                                                                      \
    X(super, "super")                                                                              \
    X(global, "_global")                                                                           \
    X(root, "_root")                                                                               \
    X(parent, "_parent")                                                                           \
    X(callee, "callee")                                                                            \
    X(caller, "caller")                                                                            \
    X(onUnload, "onUnload")                                                                        \
    X(message, "message")                                                                          \
    X(name, "name")                                                                                \
    X(empty, "")                                                                                   \
    X(undefined, "undefined")                                                                      \
    X(null, "null")                                                                                \
    X(trueName, "true")                                                                            \
    X(falseName, "false")                                                                          \
    X(nan, "NaN")                                                                                  \
    X(infinity, "Infinity")                                                                        \
    X(minusInfinity, "-Infinity")                                                                  \
    X(object, "object")                                                                            \
    X(function, "function")                                                                        \
    X(number, "number")                                                                            \
    X(string, "string")                                                                            \
    X(boolean, "boolean")                                                                          \
    X(movieclip, "movieclip")                                                                      \
    X(objectObject, "[object Object]")                                                             \
    X(typeFunction, "[type Function]")                                                             \
    X(typeObject, "[type Object]")
#define AVM1_COMMON_NAME_FIELD(field, text) String* field = nullptr;
    AVM1_COMMON_NAME_LIST(AVM1_COMMON_NAME_FIELD)
#undef AVM1_COMMON_NAME_FIELD
};

// The built-in prototypes and constructors the VM itself needs to reach.
struct Builtins {
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* errorProto = nullptr;
    Object* movieClipProto = nullptr;
    Object* buttonProto = nullptr;
    Object* textFieldProto = nullptr;
    Object* videoProto = nullptr;
    Object* objectCtor = nullptr;
    Object* functionCtor = nullptr;
    Object* arrayCtor = nullptr;
    Object* stringCtor = nullptr;
    Object* numberCtor = nullptr;
    Object* booleanCtor = nullptr;
    Object* errorCtor = nullptr;
    // Tables built-ins keep for the engine: Object.registerClass's, the realm's own
    // (builtins/ClassRegistry.h), and the timers (Timers.h). Made on first use.
    Cell* classRegistry = nullptr;
    Cell* timers = nullptr;
    // XMLNode.prototype as installed, for nodes made when the script's is gone, and
    // the loads waiting for delivery (builtins/Loads.h).
    Object* xmlNodeProto = nullptr;
    Cell* loads = nullptr;
    // Sound objects waiting for their sounds to end or load (builtins/SoundState.h).
    Cell* sounds = nullptr;
    // NetStreams playing (builtins/NetStreamState.h).
    Cell* netStreams = nullptr;
    // The MovieClipLoaders following movie loads under way (builtins/MovieLoads.h).
    Cell* movieLoads = nullptr;
    // LocalConnection's names and messages, and SharedObject's objects, for all the
    // movies playing (builtins/LocalConnectionClass.h, builtins/SharedObjectClass.h).
    Cell* localConnections = nullptr;
    Cell* sharedObjects = nullptr;
    // What file dialogs and sockets report after the step (builtins/DeferredEvents.h).
    Cell* deferredEvents = nullptr;
    // FileReferences waiting for a dialog's answer or a transfer (builtins/FileReferences.h).
    Cell* fileReferences = nullptr;
};

enum class Hint : std::uint8_t { None, Number, String };

class Vm {
public:
    // `swfVersion` is the main movie's: it decides the language's version rules.
    explicit Vm(int swfVersion, ScriptHost* host = nullptr);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Heap& heap() { return m_heap; }
    Interpreter& interpreter() { return *m_interpreter; }
    ScriptHost* host() const { return m_host; }
    int swfVersion() const { return m_swfVersion; }
    // Identifiers and property names ignore case before SWF 7.
    CaseRule caseRule() const
    {
        return m_swfVersion >= 7 ? CaseRule::Sensitive : CaseRule::Insensitive;
    }
    const CommonNames& names() const { return m_names; }
    Builtins& builtins() { return m_builtins; }
    Object* global() const { return m_builtins.global; }

    // --- Realms ----------------------------------------------------------------------
    // Two sets of built-ins (_global, Object, Array, MovieClip...), as the reference
    // keeps them: one for the code of SWF 7 and later movies, one for the older ones; a
    // movie loading one of the other kind shares no classes or prototypes with it.
    // builtins() and global() are the running code's; the main movie's set is made at
    // once, the other the first time a movie needs it. The engine's tables (the class
    // registry, timers, loads) are one for both.
    static int realmOf(int swfVersion) { return swfVersion >= 7 ? 1 : 0; }
    int realm() const { return m_realm; }
    bool hasOtherRealm() const { return m_otherRealmMade; }
    // Makes `realm`'s built-ins the current ones, making them first when needed.
    void enterRealm(int realm);
    // The built-ins of `realm`, current or not (made when needed).
    Builtins& builtinsOf(int realm);

    // --- Making values -------------------------------------------------------------
    String* str(std::string_view text);
    String* str(std::string&& text);
    String* str(const char* text) { return str(std::string_view(text)); }
    Value strValue(std::string_view text) { return Value(str(text)); }
    Object* makeObject(); // with Object.prototype
    Object* makeObject(Object* prototype);
    // A new Array holding `values`.
    Object* makeArray(std::span<const Value> values = {});
    NativeFunction* makeNative(NativeFn call, NativeFn construct = nullptr);
    // The super of a method found on `home` and run on `thisValue`.
    Value makeSuper(Value thisValue, Object* home);
    // A method on `target` (DontEnum, as built-in methods are).
    NativeFunction* defineMethod(Object* target, std::string_view name, NativeFn call,
                                 std::uint16_t flags = PropertyFlag::DontEnum);
    // Methods defined in the order given, which for..in shows once they are revealed.
    struct MethodSpec {
        std::string_view name;
        NativeFn call;
    };
    void defineMethods(Object* target, std::initializer_list<MethodSpec> methods,
                       std::uint16_t flags = PropertyFlag::DontEnum);
    // A constructor with its prototype object linked both ways, stored on _global.
    NativeFunction* defineClass(std::string_view name, Object* prototype, NativeFn call,
                                NativeFn construct = nullptr);

    // --- Conversions (ECMA-262 3rd edition, with the player's version rules) -----
    double toNumber(Value value);
    String* toString(Value value);
    std::string toStdString(Value value) { return toString(value)->text(); }
    bool toBoolean(Value value);
    std::int32_t toInt32(Value value);
    std::uint32_t toUint32(Value value);
    // ToInteger: NaN to 0, truncation toward zero, infinities kept.
    double toInteger(Value value);
    Value toPrimitive(Value value, Hint hint = Hint::None);
    // Null for undefined and null; wrappers for primitives.
    Object* toObject(Value value);
    String* typeOf(Value value);
    // The player's Number to String: 15 significant digits, its exponent forms.
    String* numberToString(double number);
    // String to Number by the version's rules (see Convert.cpp).
    double stringToNumber(const String* text);
    // String.length as scripts see it: UTF-16 units from SWF 6, bytes before
    // (StringUnits.cpp).
    double stringLength(const String* text);

    // --- Property access -----------------------------------------------------------
    // Reads `name` from `base` (primitives through their prototypes), running getters
    // and __resolve; undefined when absent.
    Value getMember(Value base, String* name);
    Value getMember(Object* object, String* name);
    Value getMember(Object* object, std::string_view name) { return getMember(object, str(name)); }
    // The lookup under getMember, without __resolve: false when no object on the
    // chain has the name.
    bool lookup(Object* object, String* name, Value& out);
    // Assigns, honouring virtual properties, setters found on the chain, watchers and
    // ReadOnly.
    void setMember(Value base, String* name, Value value);
    void setMember(Object* object, String* name, Value value);
    void setMember(Object* object, std::string_view name, Value value)
    {
        setMember(object, str(name), value);
    }
    // delete: false when absent or DontDelete.
    bool deleteMember(Object* object, String* name);
    bool hasOwnProperty(Object* object, String* name);
    bool hasProperty(Object* object, String* name);
    // The own property slot, ignoring virtual ones; null when absent.
    Property* findOwn(Object* object, String* name);
    // Names for..in visits, nearest object first, each once, hidden ones left out.
    std::vector<String*> enumerableKeys(Object* object);

    // --- Calls ---------------------------------------------------------------------
    // Calls a function value; calling what is not a function gives undefined.
    Value call(Value function, Value thisValue, std::span<const Value> args);
    // new: a fresh object whose prototype is the function's "prototype", with the
    // function run on it (or its native constructor).
    Value construct(Value function, std::span<const Value> args);
    // obj.method(args), with the method looked up on obj.
    Value callMethod(Value object, String* method, std::span<const Value> args);
    // The depth of script calls now running, against the movie's recursion cap.
    int callDepth() const { return m_callDepth; }
    void setMaxRecursion(int depth) { m_maxRecursion = depth; }
    int maxRecursion() const { return m_maxRecursion; }

    // --- Exceptions ----------------------------------------------------------------
    void throwValue(Value value);
    // Throws a new Error with `message` (the player's built-ins throw few).
    void throwError(std::string_view message);
    bool throwing() const { return m_throwing; }
    Value exception() const { return m_exception; }
    Value takeException();
    // The script ran past its time budget or a hard cap: every activation unwinds
    // and no catch block sees it.
    void abortScripts(std::string_view reason);
    bool aborted() const { return m_aborted; }
    void clearAbort() { m_aborted = false; }

    // --- Time budget -----------------------------------------------------------------
    void setTimeBudget(double seconds) { m_budgetSeconds = seconds; }
    double timeBudget() const { return m_budgetSeconds; }
    // A block starts: its budget starts.
    void startBudget();
    // Counts an executed action; true when the budget is spent (checked sparsely).
    bool countAction()
    {
        ++m_actionsExecuted;
        if (--m_untilClockCheck != 0)
            return false;
        return budgetSpent();
    }
    std::uint64_t actionsExecuted() const { return m_actionsExecuted; }

    // --- Collection ------------------------------------------------------------------
    // Collects when worth it; only where no native code holds cells in C++ locals.
    void maybeCollect();
    void collectNow();
    bool inNativeCode() const { return m_nativeDepth > 0; }
    // Entering and leaving native code that may call back into scripts.
    struct NativeScope {
        explicit NativeScope(Vm& vm) : m_vm(vm) { ++vm.m_nativeDepth; }
        ~NativeScope() { --m_vm.m_nativeDepth; }
        NativeScope(const NativeScope&) = delete;
        NativeScope& operator=(const NativeScope&) = delete;
        Vm& m_vm;
    };

    // --- The interpreter's state ------------------------------------------------------
    // The operand stack is one for the whole movie: values left by one block are
    // there for the next, as the reference player keeps them.
    std::vector<Value>& stack() { return m_stack; }
    // Adds roots that live outside the VM (the engine's clips, queued callbacks).
    std::size_t addRoots(Heap::RootTracer roots) { return m_heap.addRoots(std::move(roots)); }
    void removeRoots(std::size_t id) { m_heap.removeRoots(id); }

    // Diagnostics in the interpreter's log category (off by default).
    bool logEnabled() const;
    void log(std::string_view message);
    template <typename MakeMessage> void logLazy(MakeMessage&& make)
    {
        if (logEnabled())
            log(make());
    }
    void trace(std::string_view line);

    // Used by the interpreter for calls it makes.
    struct CallGuard;
    friend struct CallGuard;

private:
    friend class Interpreter;
    bool budgetSpent();
    // The object `holder` inherits from, unless its __proto__ is hidden from this
    // movie's version (a function's before SWF 6).
    Object* inheritedFrom(Object* holder) const
    {
        return versionHides(holder->prototypeFlags(), m_swfVersion) ? nullptr : holder->prototype();
    }
    Value watchedValue(Object* object, String* name);
    // Calls a getter or setter of the accessor property `p` of `holder`, unless that
    // property's accessors are already nested as deep as allowed (false then).
    bool runAccessor(Object* holder, Property* p, Object* accessor, Value thisValue,
                     std::span<const Value> args, Value& result);
    // An assignment to the accessor property `p` of `holder` made on `object`.
    void runSetter(Object* holder, Property* p, Object* object, Value value);
    void traceRoots(Tracer& tracer);
    Value callNative(NativeFunction* function, Value thisValue, std::span<const Value> args,
                     bool construct);

    Heap m_heap;
    ScriptHost* m_host;
    int m_swfVersion;
    CommonNames m_names;
    Builtins m_builtins;
    // The other realm's built-ins, while the current ones are in m_builtins.
    Builtins m_otherRealm;
    int m_realm = 0;
    bool m_otherRealmMade = false;
    std::vector<Value> m_stack;

    bool m_throwing = false;
    bool m_aborted = false;
    Value m_exception;
    int m_callDepth = 0;
    int m_maxRecursion = limits::kDefaultMaxRecursion;
    int m_nativeDepth = 0;
    int m_hookDepth = 0;

    double m_budgetSeconds = limits::kDefaultTimeoutSeconds;
    std::chrono::steady_clock::time_point m_budgetStart;
    std::uint32_t m_untilClockCheck = limits::kClockCheckInterval;
    std::uint64_t m_actionsExecuted = 0;
    std::size_t m_rootsId = 0;
    std::unique_ptr<Interpreter> m_interpreter;
};

} // namespace avm1
