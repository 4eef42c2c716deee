#pragma once

#include "Object.h"

#include <span>

namespace avm1 {

class Function;
class Vm;

// One call as a native function sees it.
struct CallArgs {
    Value thisValue;
    std::span<const Value> args;
    Function* callee = nullptr;
    bool isConstruct = false; // called by new (or super()) on a fresh object

    std::size_t count() const { return args.size(); }
    Value arg(std::size_t i) const { return i < args.size() ? args[i] : Value(); }
    Object* thisObject() const { return thisValue.objectOrNull(); }
};

// A native function's body. It reports a script exception through Vm::throwValue and
// returns anything; the interpreter checks for the exception after the call.
using NativeFn = Value (*)(Vm& vm, const CallArgs& call);

class Function : public Object {
public:
    // Movies before SWF 6 see no __proto__ on a function, and so nothing it would
    // inherit: there is no Function.prototype (call, apply) and no Object.prototype
    // (toString, valueOf) for them.
    explicit Function(Object* prototype) : Object(prototype)
    {
        setPrototypeFlags(prototypeFlags() | kHiddenBeforeSwf6);
    }
    ObjectClass objectClass() const override { return ObjectClass::Function; }
    virtual bool isNative() const = 0;

private:
    // VersionFlag::SinceSwf6 (builtins/PropertyFlags.h), which this header cannot see.
    static constexpr std::uint16_t kHiddenBeforeSwf6 = 0x0080;
};

class NativeFunction final : public Function {
public:
    // `construct`, when given, answers `new` instead of `call` run on a fresh object:
    // built-ins whose instances are not plain objects (Array, Date, the wrappers).
    NativeFunction(Object* prototype, NativeFn call, NativeFn construct = nullptr)
        : Function(prototype), m_call(call), m_construct(construct)
    {}
    bool isNative() const override { return true; }
    NativeFn callFn() const { return m_call; }
    NativeFn constructFn() const { return m_construct; }
    // A value the native function keeps (ASnative's table entry, a bound method's data).
    Value data() const { return m_data; }
    void setData(Value value) { m_data = value; }
    void traceChildren(Tracer& tracer) override;

private:
    NativeFn m_call;
    NativeFn m_construct;
    Value m_data;
};

} // namespace avm1
