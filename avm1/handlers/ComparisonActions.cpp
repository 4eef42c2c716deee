// Comparison and logic: Equals, Less, And, Or, Not (SWF 4), Equals2, Less2,
// StrictEquals, Greater.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/Operators.h"

namespace avm1::handlers {

namespace {

// SWF 4 had no Boolean type: its comparisons push 1 or 0.
Value truth(const Activation& frame, bool b)
{
    return frame.swfVersion < 5 ? Value(b ? 1 : 0) : Value(b);
}

// The later comparisons, met in SWF 4 code outside functions, answer the same way.
Value truth(const Activation& frame, Value v)
{
    return v.isBoolean() ? truth(frame, v.asBoolean()) : v;
}

} // namespace

void doEquals(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, truth(frame, swf4Equals(vm, a, b)));
}

void doLess(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const double x = vm.toNumber(a);
    const double y = vm.toNumber(b);
    push(in, truth(frame, x < y));
}

void doAnd(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const bool x = vm.toBoolean(a);
    const bool y = vm.toBoolean(b);
    push(in, truth(frame, x && y));
}

void doOr(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const bool x = vm.toBoolean(a);
    const bool y = vm.toBoolean(b);
    push(in, truth(frame, x || y));
}

void doNot(Interpreter& in, Activation& frame, const Instruction&)
{
    push(in, truth(frame, !in.vm().toBoolean(pop(in))));
}

void doEquals2(Interpreter& in, Activation& frame, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, truth(frame, abstractEquals(in.vm(), a, b)));
}

void doLess2(Interpreter& in, Activation& frame, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, truth(frame, lessThan(in.vm(), a, b)));
}

void doGreater(Interpreter& in, Activation& frame, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, truth(frame, greaterThan(in.vm(), a, b)));
}

void doStrictEquals(Interpreter& in, Activation& frame, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, truth(frame, strictEquals(a, b)));
}

} // namespace avm1::handlers
