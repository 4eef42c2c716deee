// Math: static functions and constants; the class neither constructs nor converts.
#include "Native.h"

#include <cmath>
#include <random>

namespace avm2 {

using namespace native;

namespace {

double num(Vm& vm, Args args, std::size_t i)
{
    return has(args, i) ? vm.toNumber(args[i]) : std::numeric_limits<double>::quiet_NaN();
}

// Math's functions declare their parameters: a call with another count is refused.
bool countOk(Vm& vm, Args args, std::size_t expected, const char16_t* name)
{
    if (args.size() == expected)
        return true;
    vm.throwError(ErrorType::ArgumentError, 1063,
                  {std::u16string(u"Math$/") + name + u"()", utf16(std::to_string(expected)),
                   utf16(std::to_string(args.size()))});
    return false;
}

#define MATH_UNARY(name, text, expr)                                                               \
    Value name(Vm& vm, const Value&, Args args)                                                    \
    {                                                                                              \
        if (!countOk(vm, args, 1, u"" text))                                                       \
            return Value();                                                                        \
        const double x = num(vm, args, 0);                                                         \
        return Value::number(expr);                                                                \
    }

MATH_UNARY(mathAbs, "abs", std::fabs(x))
MATH_UNARY(mathAcos, "acos", std::acos(x))
MATH_UNARY(mathAsin, "asin", std::asin(x))
MATH_UNARY(mathAtan, "atan", std::atan(x))
MATH_UNARY(mathCeil, "ceil", std::ceil(x))
MATH_UNARY(mathCos, "cos", std::cos(x))
MATH_UNARY(mathExp, "exp", std::exp(x))
MATH_UNARY(mathFloor, "floor", std::floor(x))
MATH_UNARY(mathLog, "log", std::log(x))
MATH_UNARY(mathSin, "sin", std::sin(x))
MATH_UNARY(mathSqrt, "sqrt", std::sqrt(x))
MATH_UNARY(mathTan, "tan", std::tan(x))
#undef MATH_UNARY

Value mathRound(Vm& vm, const Value&, Args args)
{
    if (!countOk(vm, args, 1, u"round"))
        return Value();
    const double x = num(vm, args, 0);
    if (!std::isfinite(x) || x == 0)
        return Value::number(x);
    // Halves round up (towards +Infinity); -0.5 <= x < 0 gives -0.
    if (x < 0 && x >= -0.5)
        return Value(-0.0);
    return Value::number(std::floor(x + 0.5));
}

Value mathAtan2(Vm& vm, const Value&, Args args)
{
    return Value::number(std::atan2(num(vm, args, 0), num(vm, args, 1)));
}

Value mathPow(Vm& vm, const Value&, Args args)
{
    if (!countOk(vm, args, 2, u"pow"))
        return Value();
    const double x = num(vm, args, 0), y = num(vm, args, 1);
    if (std::isnan(y))
        return Value(std::numeric_limits<double>::quiet_NaN());
    if ((x == 1 || x == -1) && std::isinf(y))
        return Value(std::numeric_limits<double>::quiet_NaN());
    return Value::number(std::pow(x, y));
}

Value minMax(Vm& vm, Args args, bool isMax)
{
    double result =
        isMax ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    for (const Value& a : args) {
        const double x = vm.toNumber(a);
        if (vm.throwing())
            return Value();
        if (std::isnan(x))
            result = x;
        else if (!std::isnan(result)) {
            if (isMax ? (x > result || (x == 0 && result == 0 && !std::signbit(x)))
                      : (x < result || (x == 0 && result == 0 && std::signbit(x))))
                result = x;
        }
    }
    return Value::number(result);
}

Value mathMax(Vm& vm, const Value&, Args args)
{
    return minMax(vm, args, true);
}
Value mathMin(Vm& vm, const Value&, Args args)
{
    return minMax(vm, args, false);
}

Value mathRandom(Vm&, const Value&, Args)
{
    static std::mt19937_64 generator(std::random_device{}());
    return Value(std::uniform_real_distribution<double>(0.0, 1.0)(generator));
}

Value mathCall(Vm& vm, const Value&, Args)
{
    return vm.throwError(ErrorType::TypeError, 1075);
}
Value mathConstruct(Vm& vm, const Value&, Args)
{
    return vm.throwError(ErrorType::TypeError, 1076);
}

} // namespace

void defineMathClass(Vm& vm)
{
    NativeClassHooks hooks;
    hooks.call = mathCall;
    hooks.constructPrimitive = mathConstruct;
    ClassObject* c = vm.defineClass("", "Math", vm.builtins().object, false, hooks, true);
    struct Fn {
        const char* name;
        NativeMethod fn;
        int length;
    };
    const Fn fns[] = {{"abs", mathAbs, 1},   {"acos", mathAcos, 1},     {"asin", mathAsin, 1},
                      {"atan", mathAtan, 1}, {"atan2", mathAtan2, 2},   {"ceil", mathCeil, 1},
                      {"cos", mathCos, 1},   {"exp", mathExp, 1},       {"floor", mathFloor, 1},
                      {"log", mathLog, 1},   {"max", mathMax, 2},       {"min", mathMin, 2},
                      {"pow", mathPow, 2},   {"random", mathRandom, 0}, {"round", mathRound, 1},
                      {"sin", mathSin, 1},   {"sqrt", mathSqrt, 1},     {"tan", mathTan, 1}};
    // Number carries the same functions and constants as statics.
    for (const Fn& f : fns) {
        vm.defineStaticMethod(c, f.name, f.fn, f.length);
        vm.defineStaticMethod(vm.builtins().number, f.name, f.fn, f.length);
    }
    vm.defineConstant(c, "E", Value(2.718281828459045));
    vm.defineConstant(c, "LN10", Value(2.302585092994046));
    vm.defineConstant(c, "LN2", Value(0.6931471805599453));
    vm.defineConstant(c, "LOG10E", Value(0.4342944819032518));
    vm.defineConstant(c, "LOG2E", Value(1.4426950408889634));
    vm.defineConstant(c, "PI", Value(3.141592653589793));
    vm.defineConstant(c, "SQRT1_2", Value(0.7071067811865476));
    vm.defineConstant(c, "SQRT2", Value(1.4142135623730951));
    vm.defineConstant(vm.builtins().number, "E", Value(2.718281828459045));
    vm.defineConstant(vm.builtins().number, "LN10", Value(2.302585092994046));
    vm.defineConstant(vm.builtins().number, "LN2", Value(0.6931471805599453));
    vm.defineConstant(vm.builtins().number, "LOG10E", Value(0.4342944819032518));
    vm.defineConstant(vm.builtins().number, "LOG2E", Value(1.4426950408889634));
    vm.defineConstant(vm.builtins().number, "PI", Value(3.141592653589793));
    vm.defineConstant(vm.builtins().number, "SQRT1_2", Value(0.7071067811865476));
    vm.defineConstant(vm.builtins().number, "SQRT2", Value(1.4142135623730951));
}

} // namespace avm2
