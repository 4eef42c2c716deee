#include "Interpreter.h"

#include "ClipObject.h"
#include "ClipRoots.h"
#include "ClipScope.h"
#include "ScriptFunction.h"
#include "Vm.h"
#include "handlers/Handlers.h"
#include "runtime/ContainerObject.h"
#include "runtime/DisplayObject.h"

#include <algorithm>
#include <array>
#include <utility>

namespace avm1 {

namespace {

constexpr std::array<handlers::Handler, 256> makeDispatch()
{
    std::array<handlers::Handler, 256> table{};
    for (auto& entry : table)
        entry = &handlers::doUnknown;
#define AVM1_DISPATCH_ENTRY(name, code, shape, family, version) table[code] = &handlers::do##name;
    AVM1_ACTION_LIST(AVM1_DISPATCH_ENTRY)
#undef AVM1_DISPATCH_ENTRY
    return table;
}

constexpr std::array<handlers::Handler, 256> kDispatch = makeDispatch();

// Pushes and pops the running activations, so the collector sees them and natives can
// find the caller.
struct ActivationScope {
    ActivationScope(std::vector<Activation*>& list, Activation& frame) : m_list(list)
    {
        m_list.push_back(&frame);
    }
    ~ActivationScope() { m_list.pop_back(); }
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;
    std::vector<Activation*>& m_list;
};

// The realm of the movie a timeline belongs to; -1 for what is no clip of one.
int realmOfTimeline(Object* timeline)
{
    ClipObject* clip = asClip(timeline);
    runtime::DisplayObject* object = clip ? clip->displayObject() : nullptr;
    return object ? scriptRealmOf(*object) : -1;
}

} // namespace

const DecodedBlock* Interpreter::decoded(std::span<const std::uint8_t> code, int swfVersion)
{
    const SpanKey key{code.data(), code.size()};
    auto it = m_blocks.find(key);
    if (it != m_blocks.end())
        return it->second.get();
    auto block = decodeBlock(m_vm, code, swfVersion);
    const DecodedBlock* raw = block.get();
    m_blocks.emplace(key, std::move(block));
    return raw;
}

void Interpreter::traceRoots(Tracer& tracer) const
{
    tracer.mark(m_root);
    for (const auto& [key, block] : m_blocks)
        block->trace(tracer);
    for (const Activation* a : m_activations) {
        tracer.mark(a->thisValue);
        tracer.mark(a->target);
        tracer.mark(a->originalTarget);
        tracer.mark(a->locals);
        tracer.mark(a->home);
        tracer.mark(a->function);
        tracer.mark(a->returnValue);
        if (a->closure)
            for (Object* o : *a->closure)
                tracer.mark(o);
        for (const auto& w : a->withStack)
            tracer.mark(w.object);
        for (const TryState& t : a->tries) {
            tracer.mark(t.pendingException);
            tracer.mark(t.returnValue);
        }
        for (std::size_t i = 0; i < a->registerCount; ++i)
            tracer.mark(a->registers[i]);
    }
}

std::uint64_t Interpreter::runBlock(std::span<const std::uint8_t> code, int swfVersion,
                                    Object* target)
{
    const std::uint64_t before = m_vm.actionsExecuted();
    if (m_activations.empty()) {
        m_vm.startBudget();
        m_vm.clearAbort();
    }
    Activation frame;
    frame.block = decoded(code, swfVersion);
    frame.swfVersion = swfVersion;
    frame.thisValue = target ? Value(target) : Value();
    frame.target = target;
    frame.originalTarget = target;
    // Each block starts with four registers of its own.
    Value registers[4];
    frame.registers = registers;
    frame.registerCount = 4;
    execute(frame);
    if (m_vm.throwing() && m_activations.empty()) {
        const Value e = m_vm.takeException();
        m_vm.trace("Warning: Uncaught exception, " + m_vm.toStdString(e));
    }
    return m_vm.actionsExecuted() - before;
}

Value Interpreter::callFunction(ScriptFunction* function, Value thisValue,
                                std::span<const Value> args, bool isConstruct, Object* home)
{
    const int plainCallFrom = std::exchange(m_plainCallVersion, 0);
    if (m_vm.aborted() || m_vm.throwing())
        return Value();
    // The running block counts as the first level: a limit of n lets n - 1 calls nest.
    if (m_vm.m_callDepth + 1 >= m_vm.maxRecursion()) {
        m_vm.abortScripts("recursion past the movie's limit");
        return Value();
    }
    const FunctionDef& def = function->def();
    Activation frame;
    frame.block = decoded(def.body, function->swfVersion());
    // Functions came with SWF 5: their bodies keep its rules even in a SWF 4 movie.
    frame.swfVersion = std::max(5, function->swfVersion());
    frame.thisValue = thisValue;
    frame.target = function->definingTarget();
    // A SWF 5 function called as a clip's method runs on that clip's timeline.
    if (function->swfVersion() < 6)
        if (ClipObject* clip = asClip(thisValue.objectOrNull()))
            frame.target = clip;
    // Called by name from SWF 5 code, a later movie's function runs as a SWF 5 one
    // would: on the caller's timeline, by the caller's rules, with no "this".
    if (plainCallFrom > 0 && plainCallFrom < 6 && function->swfVersion() >= 6) {
        frame.swfVersion = plainCallFrom;
        if (Activation* caller = current())
            frame.target = scopeTimeline(*caller, m_root);
        thisValue = Value();
        frame.thisValue = thisValue;
    }
    frame.originalTarget = frame.target;
    frame.closure = &function->closure();
    frame.constantPool = function->constantPool();
    frame.function = function;
    if (!home) {
        if (Object* self = thisValue.objectOrNull())
            home = isConstruct ? self->prototype() : self->prototype();
    }
    frame.home = home;
    frame.locals = m_vm.makeObject(nullptr);
    frame.locals->setHasPrototypeProperty(false);

    // A DefineFunction2 body reaches past its registers into its caller's; one the
    // player calls (an event handler) has no caller, so it gets the four a block has.
    const std::size_t registerCount = !def.isFunction2 ? 4
                                      : current()      ? def.registerCount
                                                  : std::max<std::size_t>(def.registerCount, 4);
    // Most functions use a few registers: those live on the stack, saving an allocation
    // a call.
    constexpr std::size_t kInlineRegisters = 16;
    std::array<Value, kInlineRegisters> inlineRegisters;
    std::vector<Value> heapRegisters;
    Value* registers = inlineRegisters.data();
    if (registerCount > kInlineRegisters) {
        heapRegisters.resize(registerCount);
        registers = heapRegisters.data();
    }
    frame.registers = registers;
    frame.registerCount = registerCount;
    frame.registerOuter = def.isFunction2 ? current() : nullptr;

    const CommonNames& names = m_vm.names();
    const CaseRule rule = m_vm.caseRule();
    auto makeArguments = [&]() {
        Object* arguments = m_vm.makeArray(args);
        arguments->defineValue(names.callee, Value(function), PropertyFlag::DontEnum, rule);
        Value caller;
        if (Activation* outer = current(); outer && outer->function)
            caller = Value(outer->function);
        else
            caller = Value::null();
        arguments->defineValue(names.caller, caller, PropertyFlag::DontEnum, rule);
        return arguments;
    };

    if (!def.isFunction2) {
        frame.locals->defineValue(names.arguments, Value(makeArguments()), 0, rule);
        // From SWF 6 the plain DefineFunction's body sees super too.
        if (function->swfVersion() >= 6)
            frame.locals->defineValue(names.super, makeSuperObject(frame), 0, rule);
        for (std::size_t i = 0; i < def.params.size(); ++i)
            frame.locals->defineValue(def.params[i].name, i < args.size() ? args[i] : Value(), 0,
                                      rule);
    } else {
        std::size_t reg = 1;
        auto preload = [&](Value v) {
            if (reg < registerCount)
                registers[reg] = v;
            ++reg;
        };
        // A suppressed "this" or "super" is not made at all, even where a preload asks
        // for it: its register still takes its place, and stays undefined. The
        // arguments are preloaded all the same.
        const std::uint16_t flags = def.flags;
        if (flags & FunctionFlag::PreloadThis)
            preload((flags & FunctionFlag::SuppressThis) ? Value() : thisValue);
        else if (!(flags & FunctionFlag::SuppressThis))
            frame.locals->defineValue(names.thisName, thisValue, 0, rule);
        if (flags & FunctionFlag::PreloadArguments)
            preload(Value(makeArguments()));
        else if (!(flags & FunctionFlag::SuppressArguments))
            frame.locals->defineValue(names.arguments, Value(makeArguments()), 0, rule);
        if (flags & FunctionFlag::PreloadSuper)
            preload((flags & FunctionFlag::SuppressSuper) ? Value() : makeSuperObject(frame));
        else if (!(flags & FunctionFlag::SuppressSuper))
            frame.locals->defineValue(names.super, makeSuperObject(frame), 0, rule);
        if (flags & FunctionFlag::PreloadRoot) {
            // The root of the movie the function's timeline belongs to.
            Object* root = scriptRootFor(scopeTimeline(frame, m_root), m_root);
            preload(root ? Value(root) : Value());
        }
        if (flags & FunctionFlag::PreloadParent) {
            // The parent of the timeline the body runs on, which stands in for a
            // defining clip that has been removed. A timeline without a parent takes
            // no register: the next preload moves up into its place.
            // A variable called _parent on a clip does not stand in for its display
            // parent here.
            Object* timeline = scopeTimeline(frame, m_root);
            Value parent;
            if (ClipObject* clip = asClip(timeline)) {
                ClipObject* live = clip->live();
                runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
                if (ClipObject* up = object ? clip->registry().wrap(object->parent()) : nullptr)
                    parent = Value(up);
            } else if (timeline) {
                parent = m_vm.getMember(timeline, names.parent);
            }
            if (!parent.isUndefined())
                preload(parent);
        }
        if (flags & FunctionFlag::PreloadGlobal)
            preload(Value(m_vm.global()));
        for (std::size_t i = 0; i < def.params.size(); ++i) {
            const Value arg = i < args.size() ? args[i] : Value();
            const FunctionParam& param = def.params[i];
            if (param.reg != 0 && param.reg < registerCount)
                registers[param.reg] = arg;
            else if (param.reg == 0)
                frame.locals->defineValue(param.name, arg, 0, rule);
        }
    }

    ++m_vm.m_callDepth;
    execute(frame);
    --m_vm.m_callDepth;
    return frame.returnValue;
}

Value Interpreter::makeSuperObject(Activation& frame)
{
    return m_vm.makeSuper(frame.thisValue, frame.home);
}

void Interpreter::execute(Activation& frame)
{
    ActivationScope scope(m_activations, frame);
    // The code's own version makes the rules while it runs, for the natives it calls
    // too: a loaded movie's code keeps its file's. It sees the built-ins of its
    // timeline's movie (Vm's realms).
    struct VersionScope {
        VersionScope(Vm& vm, int version, int realm)
            : m_vm(vm), m_outer(vm.m_swfVersion), m_outerRealm(vm.realm())
        {
            if (version > 0)
                m_vm.m_swfVersion = version;
            if (realm >= 0)
                m_vm.enterRealm(realm);
        }
        ~VersionScope()
        {
            m_vm.m_swfVersion = m_outer;
            m_vm.enterRealm(m_outerRealm);
        }
        VersionScope(const VersionScope&) = delete;
        VersionScope& operator=(const VersionScope&) = delete;
        Vm& m_vm;
        int m_outer;
        int m_outerRealm;
    } version(m_vm, frame.swfVersion, m_vm.hasOtherRealm() ? realmOfTimeline(frame.target) : -1);
    const std::vector<Instruction>& instructions = frame.block->instructions;
    const std::uint32_t count = static_cast<std::uint32_t>(instructions.size());
    for (;;) {
        if (m_vm.m_throwing) {
            if (m_vm.m_aborted || !unwind(frame))
                break;
            continue;
        }
        if (m_vm.m_aborted || frame.halted)
            break;
        if (frame.returned) {
            if (frame.tries.empty() || !leaveTry(frame))
                break;
            continue;
        }
        if (!frame.withStack.empty() && frame.ip >= frame.withStack.back().end) {
            frame.withStack.pop_back();
            continue;
        }
        if (!frame.tries.empty() && leaveTry(frame))
            continue;
        if (frame.ip >= count) {
            if (!frame.block->fault.empty() && frame.ip == count)
                m_vm.logLazy([&] { return "malformed code ends the block " + frame.block->fault; });
            break;
        }
        const Instruction& ins = instructions[frame.ip++];
        if (m_vm.countAction()) {
            m_vm.abortScripts("a script ran past its time budget");
            break;
        }
        kDispatch[static_cast<std::uint8_t>(ins.code)](*this, frame, ins);
    }
}

// Try blocks whose phase has reached its end, or that a return or a jump has left.
// Returns true when it moved the ip (the loop then looks again).
bool Interpreter::leaveTry(Activation& frame)
{
    TryState& t = frame.tries.back();
    const TryDef& def = *t.def;
    if (frame.returned) {
        if (def.hasFinally && t.phase != TryState::Phase::Finally) {
            t.phase = TryState::Phase::Finally;
            t.pendingReturn = true;
            t.returnValue = frame.returnValue;
            frame.returned = false;
            frame.ip = def.catchEnd;
            return true;
        }
        frame.tries.pop_back();
        return true;
    }
    const std::uint32_t ip = frame.ip;
    switch (t.phase) {
    case TryState::Phase::Try:
        if (ip == def.tryEnd) {
            frame.ip = def.catchEnd;
            if (def.hasFinally) {
                t.phase = TryState::Phase::Finally;
            } else {
                frame.tries.pop_back();
            }
            return true;
        }
        break;
    case TryState::Phase::Catch:
        if (ip == def.catchEnd) {
            if (def.hasFinally)
                t.phase = TryState::Phase::Finally;
            else
                frame.tries.pop_back();
            return true;
        }
        break;
    case TryState::Phase::Finally:
        if (ip == def.finallyEnd) {
            const TryState done = t;
            frame.tries.pop_back();
            if (done.rethrow) {
                m_vm.throwValue(done.pendingException);
            } else if (done.pendingReturn) {
                frame.returned = true;
                frame.returnValue = done.returnValue;
            }
            return true;
        }
        break;
    }
    // A jump out of the whole construct (break, continue) leaves it.
    if (ip < t.start || ip >= def.finallyEnd) {
        frame.tries.pop_back();
        return true;
    }
    return false;
}

bool Interpreter::unwind(Activation& frame)
{
    while (!frame.tries.empty()) {
        TryState& t = frame.tries.back();
        const TryDef& def = *t.def;
        if (t.phase != TryState::Phase::Finally && (def.hasCatch || def.hasFinally)) {
            std::vector<Value>& stack = m_vm.stack();
            if (stack.size() > t.stackDepth)
                stack.resize(t.stackDepth);
        }
        if (t.phase == TryState::Phase::Try && def.hasCatch) {
            t.phase = TryState::Phase::Catch;
            frame.ip = def.tryEnd;
            bindCaught(frame, def, m_vm.takeException());
            return true;
        }
        if (t.phase != TryState::Phase::Finally && def.hasFinally) {
            t.phase = TryState::Phase::Finally;
            t.rethrow = true;
            t.pendingException = m_vm.takeException();
            frame.ip = def.catchEnd;
            return true;
        }
        frame.tries.pop_back();
    }
    return false;
}

void Interpreter::bindCaught(Activation& frame, const TryDef& def, Value exception)
{
    if (def.catchInRegister) {
        if (Value* slot = frame.registerSlot(def.catchRegister))
            *slot = exception;
        return;
    }
    if (def.catchName) {
        if (Object* scope = localScope(frame))
            m_vm.setMember(scope, def.catchName, exception);
    }
}

Object* Interpreter::localScope(Activation& frame) const
{
    // After a tellTarget that named nothing, the main timeline takes the variables.
    return frame.locals ? frame.locals : scopeTimeline(frame, m_root);
}

} // namespace avm1
