// Math. Every function converts its first two arguments, whether it uses the second
// or not (the reference's natives all take two), and stops at the first conversion
// that throws; a missing second argument is NaN.
#include "Builtins.h"
#include "MathFunctions.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"

#include <cmath>
#include <limits>
#include <random>

namespace avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Operands {
    double x = kNaN;
    double y = kNaN;
    bool ok = true;
};

Operands operands(Vm& vm, const CallArgs& call)
{
    Operands o;
    if (call.count() > 0) {
        o.x = vm.toNumber(call.arg(0));
        if (vm.throwing())
            return Operands{kNaN, kNaN, false};
    }
    if (call.count() > 1) {
        o.y = vm.toNumber(call.arg(1));
        if (vm.throwing())
            return Operands{kNaN, kNaN, false};
    }
    return o;
}

template <double (*F)(double)> Value unary(Vm& vm, const CallArgs& call)
{
    const Operands o = operands(vm, call);
    return o.ok ? Value(F(o.x)) : Value();
}

template <double (*F)(double, double)> Value binary(Vm& vm, const CallArgs& call)
{
    const Operands o = operands(vm, call);
    return o.ok ? Value(F(o.x, o.y)) : Value();
}

// One-line wrappers: the C library's functions cannot be named as template arguments.
constexpr auto absolute = [](double x) { return std::fabs(x); };
constexpr auto sine = [](double x) { return std::sin(x); };
constexpr auto cosine = [](double x) { return std::cos(x); };
constexpr auto tangent = [](double x) { return std::tan(x); };
constexpr auto exponential = [](double x) { return std::exp(x); };
constexpr auto logarithm = [](double x) { return std::log(x); };
constexpr auto squareRoot = [](double x) { return std::sqrt(x); };
constexpr auto floorOf = [](double x) { return std::floor(x); };
constexpr auto ceilOf = [](double x) { return std::ceil(x); };
constexpr auto arcTangent = [](double x) { return std::atan(x); };
constexpr auto arcCosine = [](double x) { return std::acos(x); };
// The reference's arc sine rounds as atan2(x, sqrt(1 - x²)) does (asin(0.3) ends in
// ...397, not ...398).
constexpr auto arcSine = [](double x) { return std::atan2(x, std::sqrt(1 - x * x)); };
// Halves round up, toward positive infinity: -12.5 is -12.
constexpr auto roundHalfUp = [](double x) { return std::floor(x + 0.5); };
constexpr auto arcTangent2 = [](double y, double x) { return std::atan2(y, x); };
// The C library's pow: pow(1, NaN) is 1, as in the reference.
constexpr auto power = [](double x, double y) { return std::pow(x, y); };
double smaller(double x, double y)
{
    if (std::isnan(x) || std::isnan(y))
        return kNaN;
    return y < x ? y : x;
}
double larger(double x, double y)
{
    if (std::isnan(x) || std::isnan(y))
        return kNaN;
    return y > x ? y : x;
}

// min() and max() with nothing to compare answer the identity of the comparison.
Value minFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value(std::numeric_limits<double>::infinity());
    return binary<smaller>(vm, call);
}

Value maxFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value(-std::numeric_limits<double>::infinity());
    return binary<larger>(vm, call);
}

Value randomFunction(Vm& vm, const CallArgs& call)
{
    if (!operands(vm, call).ok)
        return Value();
    thread_local std::mt19937_64 engine{std::random_device{}()};
    return Value(std::uniform_real_distribution<double>(0.0, 1.0)(engine));
}

Value isNaNFunction(Vm& vm, const CallArgs& call)
{
    const Operands o = operands(vm, call);
    return o.ok ? Value(std::isnan(o.x)) : Value();
}

Value isFiniteFunction(Vm& vm, const CallArgs& call)
{
    const Operands o = operands(vm, call);
    return o.ok ? Value(std::isfinite(o.x)) : Value();
}

Value unknownFunction(Vm& vm, const CallArgs& call)
{
    operands(vm, call);
    return vm.throwing() ? Value() : Value(kNaN);
}

// The reference's native table for Math (ASnative 200), in its order.
constexpr NativeFn kMathTable[] = {
    unary<absolute>,     minFunction,      maxFunction,        unary<sine>,      unary<cosine>,
    binary<arcTangent2>, unary<tangent>,   unary<exponential>, unary<logarithm>, unary<squareRoot>,
    unary<roundHalfUp>,  randomFunction,   unary<floorOf>,     unary<ceilOf>,    unary<arcTangent>,
    unary<arcSine>,      unary<arcCosine>, binary<power>,      isNaNFunction,    isFiniteFunction,
};
constexpr const char* kMathNames[] = {
    "abs",  "min",   "max",    "sin",   "cos",  "atan2", "tan",  "exp",  "log",
    "sqrt", "round", "random", "floor", "ceil", "atan",  "asin", "acos", "pow",
};

} // namespace

NativeFn mathNative(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(kMathTable)))
        return kMathTable[index];
    return unknownFunction;
}

void installMath(Vm& vm)
{
    Object* math = vm.makeObject();
    math->defineValue(vm.names().constructor, Value(vm.builtins().objectCtor),
                      PropertyFlag::DontEnum, CaseRule::Sensitive);
    const std::uint16_t fixed =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::ReadOnly;
    math->defineValue(vm, "SQRT2", Value(std::sqrt(2.0)), fixed);
    math->defineValue(vm, "SQRT1_2", Value(std::sqrt(0.5)), fixed);
    math->defineValue(vm, "PI", Value(3.141592653589793), fixed);
    math->defineValue(vm, "LOG2E", Value(1.4426950408889634), fixed);
    math->defineValue(vm, "LOG10E", Value(0.4342944819032518), fixed);
    math->defineValue(vm, "LN2", Value(0.6931471805599453), fixed);
    math->defineValue(vm, "LN10", Value(2.302585092994046), fixed);
    math->defineValue(vm, "E", Value(2.718281828459045), fixed);
    for (std::size_t i = 0; i < std::size(kMathNames); ++i)
        vm.defineMethod(math, kMathNames[i], kMathTable[i], fixed);
    makeReadOnly(math, {"constructor", "__proto__"});
    vm.global()->defineValue(vm, "Math", Value(math), PropertyFlag::DontEnum);
}

} // namespace avm1
