// Arithmetic: Add, Subtract, Multiply, Divide, Modulo, Add2, Increment, Decrement,
// ToInteger, ToNumber, RandomNumber and the bit operations.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/Operators.h"

#include <cmath>
#include <random>

namespace avm1::handlers {

namespace {

enum class Order : bool { LeftFirst, RightFirst };

// Which operand converts first shows when both have valueOf methods with effects:
// the reference converts the right one first for Subtract and Divide.
template <typename Op> void binaryNumeric(Interpreter& in, Op op, Order order = Order::LeftFirst)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    double x = 0;
    double y = 0;
    if (order == Order::LeftFirst) {
        x = vm.toNumber(a);
        y = vm.toNumber(b);
    } else {
        y = vm.toNumber(b);
        x = vm.toNumber(a);
    }
    push(in, Value(op(x, y)));
}

template <typename Op> void bitwise(Interpreter& in, Op op)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const std::int32_t x = vm.toInt32(a);
    const std::int32_t y = vm.toInt32(b);
    push(in, Value(static_cast<double>(op(x, y))));
}

} // namespace

void doAdd(Interpreter& in, Activation&, const Instruction&)
{
    binaryNumeric(in, [](double x, double y) { return x + y; });
}

void doSubtract(Interpreter& in, Activation&, const Instruction&)
{
    binaryNumeric(
        in, [](double x, double y) { return x - y; }, Order::RightFirst);
}

void doMultiply(Interpreter& in, Activation&, const Instruction&)
{
    binaryNumeric(in, [](double x, double y) { return x * y; });
}

void doDivide(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const double y = vm.toNumber(b);
    const double x = vm.toNumber(a);
    // SWF 4 players had no infinities: a division by zero gave this string.
    if (y == 0 && frame.swfVersion < 5) {
        push(in, vm.strValue("#ERROR#"));
        return;
    }
    push(in, Value(x / y));
}

void doModulo(Interpreter& in, Activation&, const Instruction&)
{
    binaryNumeric(in, [](double x, double y) { return std::fmod(x, y); });
}

void doAdd2(Interpreter& in, Activation&, const Instruction&)
{
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, add2(in.vm(), a, b));
}

void doIncrement(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().toNumber(pop(in)) + 1));
}

void doDecrement(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().toNumber(pop(in)) - 1));
}

// int(): the 32-bit integer the value wraps to, as the bit operations do
// (int(4294967295) is -1, int(NaN) and int(Infinity) are 0), and so never -0.
void doToInteger(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(static_cast<double>(in.vm().toInt32(pop(in)))));
}

void doToNumber(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().toNumber(pop(in))));
}

void doRandomNumber(Interpreter& in, Activation&, const Instruction&)
{
    static std::mt19937 generator(std::random_device{}());
    const double max = in.vm().toInteger(pop(in));
    if (!(max >= 1) || !std::isfinite(max)) {
        push(in, Value(0));
        return;
    }
    const auto limit = static_cast<std::uint32_t>(std::min(max, 4294967295.0));
    std::uniform_int_distribution<std::uint32_t> pick(0, limit - 1);
    push(in, Value(static_cast<double>(pick(generator))));
}

void doBitAnd(Interpreter& in, Activation&, const Instruction&)
{
    bitwise(in, [](std::int32_t x, std::int32_t y) { return x & y; });
}

void doBitOr(Interpreter& in, Activation&, const Instruction&)
{
    bitwise(in, [](std::int32_t x, std::int32_t y) { return x | y; });
}

void doBitXor(Interpreter& in, Activation&, const Instruction&)
{
    bitwise(in, [](std::int32_t x, std::int32_t y) { return x ^ y; });
}

void doBitLShift(Interpreter& in, Activation&, const Instruction&)
{
    bitwise(in, [](std::int32_t x, std::int32_t y) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(x) << (y & 31));
    });
}

void doBitRShift(Interpreter& in, Activation&, const Instruction&)
{
    bitwise(in, [](std::int32_t x, std::int32_t y) { return x >> (y & 31); });
}

void doBitURShift(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const std::int32_t x = vm.toInt32(a);
    const std::uint32_t count = vm.toUint32(b) & 31;
    // A shift by nothing (0, 32, ...) leaves the operand signed: 4294967295 >>> 0 is -1.
    if (count == 0)
        push(in, Value(static_cast<double>(x)));
    else
        push(in, Value(static_cast<double>(static_cast<std::uint32_t>(x) >> count)));
}

} // namespace avm1::handlers
