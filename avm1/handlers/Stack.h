#pragma once

#include "avm1/Interpreter.h"
#include "avm1/Vm.h"

namespace avm1::handlers {

// Popping an empty stack gives undefined, as in the reference player: code written
// for one block may rely on values another left.
inline Value pop(Interpreter& in)
{
    std::vector<Value>& stack = in.vm().stack();
    if (stack.empty())
        return Value();
    const Value v = stack.back();
    stack.pop_back();
    return v;
}

inline void push(Interpreter& in, Value value)
{
    std::vector<Value>& stack = in.vm().stack();
    if (stack.size() >= limits::kMaxStackValues) {
        in.vm().abortScripts("operand stack overflow");
        return;
    }
    stack.push_back(value);
}

inline Value peek(Interpreter& in)
{
    std::vector<Value>& stack = in.vm().stack();
    return stack.empty() ? Value() : stack.back();
}

// A count popped from the stack (arguments, elements), clamped to what the stack holds.
std::size_t popCount(Interpreter& in);
// Pops `count` values: the first popped is the first of the result.
std::vector<Value> popValues(Interpreter& in, std::size_t count);

} // namespace avm1::handlers
