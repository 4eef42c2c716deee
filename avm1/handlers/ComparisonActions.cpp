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

void doEquals2(Interpreter& in, Activation&, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, Value(abstractEquals(in.vm(), a, b)));
}

void doLess2(Interpreter& in, Activation&, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, lessThan(in.vm(), a, b));
}

void doGreater(Interpreter& in, Activation&, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, greaterThan(in.vm(), a, b));
}

void doStrictEquals(Interpreter& in, Activation&, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, Value(strictEquals(a, b)));
}

} // namespace avm1::handlers
