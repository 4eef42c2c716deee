#pragma once

// Runs decoded byte code. One Activation per running block or function call; script
// calls recurse through C++ (bounded by the movie's recursion cap), so a native
// function can call a script function and get its result.
//
// Scope: a name is looked up in the with-objects (innermost first), then the
// function's locals, then the locals of the functions it was defined in (closures),
// then the timeline the code runs on, then _global. Assignment to a name found
// nowhere goes to the timeline.
//
// Exceptions unwind through the activations' try blocks as state (Vm::throwing());
// a try's finally runs on every way out of its body.

#include "Bytecode.h"
#include "Value.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace avm1 {

class Vm;
class Object;
class ScriptFunction;

struct TryState {
    const TryDef* def = nullptr;
    std::uint32_t start = 0; // the first instruction of the try body
    // The operand stack's depth when the try began: a throw drops what the try body
    // pushed above it.
    std::size_t stackDepth = 0;
    enum class Phase : std::uint8_t { Try, Catch, Finally } phase = Phase::Try;
    // What happens after the finally body: go on, rethrow, or return.
    bool rethrow = false;
    Value pendingException;
    bool pendingReturn = false;
    Value returnValue;
};

struct Activation {
    const DecodedBlock* block = nullptr;
    std::uint32_t ip = 0;
    int swfVersion = 0;

    Value thisValue;
    // The timeline code runs on, and the one it started on (SetTarget changes the
    // first; SetTarget "" restores it).
    Object* target = nullptr;
    Object* originalTarget = nullptr;
    // Function calls: the activation object holding locals and "arguments"; null for
    // blocks of a timeline, whose locals are timeline variables.
    Object* locals = nullptr;
    // The enclosing functions' activation objects, outermost first.
    const std::vector<Object*>* closure = nullptr;
    struct WithScope {
        Object* object;
        std::uint32_t end; // the instruction after the with body
    };
    std::vector<WithScope> withStack;
    std::vector<TryState> tries;
    // super: the prototype the running method was found on; super's lookups start
    // at its __proto__, and super() calls its __constructor__.
    Object* home = nullptr;

    // The activation's own registers. A DefineFunction2 body has as many as it
    // declares; an index past them reaches the registers of the activation it was
    // called from, as the reference player lets it.
    Value* registers = nullptr;
    std::size_t registerCount = 0;
    Activation* registerOuter = nullptr;

    // The register `index` names, or null when there is none.
    Value* registerSlot(std::size_t index)
    {
        Activation* a = this;
        for (int hops = 0; a && hops < 1024; ++hops, a = a->registerOuter) {
            if (index < a->registerCount)
                return a->registers + index;
        }
        return nullptr;
    }
    const std::vector<String*>* constantPool = nullptr;
    ScriptFunction* function = nullptr;

    bool returned = false;
    // Stopped where it stands: no finally block runs (see haltIfBaseRemoved).
    bool halted = false;
    Value returnValue;
};

// A function defined by DefineFunction or DefineFunction2.
class ScriptFunction;

class Interpreter {
public:
    explicit Interpreter(Vm& vm) : m_vm(vm) {}

    // Runs a block of a timeline, a button or a clip event on `target` (also "this").
    // Returns the number of actions executed.
    std::uint64_t runBlock(std::span<const std::uint8_t> code, int swfVersion, Object* target);
    // Calls a script function (Vm::call comes here). `home` is the prototype the
    // function was found on when called as a method (for super); null means this's
    // __proto__.
    Value callFunction(ScriptFunction* function, Value thisValue, std::span<const Value> args,
                       bool isConstruct, Object* home = nullptr);

    // Variables by name, with the scope rules above and the target paths of both
    // syntaxes ("/clip/inner:var", "_root.clip.var").
    // `owner`, when given, learns the object a with block or a path found the name
    // on, or the timeline a native method was found on (a call through it runs on
    // that object); it stays null elsewhere.
    Value getVariable(Activation& frame, String* name, Object** owner = nullptr);
    void setVariable(Activation& frame, String* name, Value value);
    // A target path to the object it names, from the frame's target; null if none.
    Object* resolveTarget(Activation& frame, std::string_view path);
    // Where an assignment to a new local goes: the function's locals or the timeline.
    Object* localScope(Activation& frame) const;

    // The decoded form of a block, decoded on first use and kept: decoded blocks hold
    // the strings they push, and are roots of the heap.
    const DecodedBlock* decoded(std::span<const std::uint8_t> code, int swfVersion);
    void traceRoots(Tracer& tracer) const;

    Vm& vm() { return m_vm; }
    // The activation running now (innermost), or null.
    Activation* current() const { return m_activations.empty() ? nullptr : m_activations.back(); }
    const std::vector<Activation*>& activations() const { return m_activations; }

    // The loop itself.
    void execute(Activation& activation);

    // The engine tells how clips are reached: the main timeline, and the timeline a
    // removed clip's functions fall back to.
    void setRootClip(Object* root) { m_root = root; }
    Object* rootClip() const { return m_root; }

    // CallFunction tells the function it calls that it is called by name from code of
    // `callerVersion` (0: no such call); the next callFunction takes it.
    void notePlainCall(int callerVersion) { m_plainCallVersion = callerVersion; }

private:
    bool unwind(Activation& frame);
    Value makeSuperObject(Activation& frame);
    bool leaveTry(Activation& frame);
    void bindCaught(Activation& frame, const TryDef& def, Value exception);
    Value lookupScoped(Activation& frame, String* name, bool& found, Object** owner);
    Value getPathVariable(Activation& frame, std::string_view name, bool& handled, Object** owner);

    Object* m_root = nullptr;
    int m_plainCallVersion = 0;
    Vm& m_vm;
    std::vector<Activation*> m_activations;
    struct SpanKey {
        const std::uint8_t* data;
        std::size_t size;
        bool operator==(const SpanKey&) const = default;
    };
    struct SpanHash {
        std::size_t operator()(const SpanKey& k) const
        {
            return std::hash<const void*>()(k.data) ^ (k.size * 0x9E3779B97F4A7C15ull);
        }
    };
    std::unordered_map<SpanKey, std::shared_ptr<const DecodedBlock>, SpanHash> m_blocks;
};

} // namespace avm1
