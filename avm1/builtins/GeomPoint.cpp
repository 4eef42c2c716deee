// flash.geom.Point: x and y as plain properties. The constructor stores what it is
// given without converting it (no arguments make the origin). Sums are the language's
// + (strings join), differences and products numbers; Point.distance asks its first
// argument to subtract the second, so that only a point (or what behaves as one) has a
// distance. The prototype's members show in for..in, as the reference's do.
#include "GeomObjects.h"
#include "GeomScript.h"
#include "Packages.h"
#include "avm1/Operators.h"
#include "avm1/Vm.h"

#include <cmath>

namespace avm1 {

namespace {

using geom::number;

Object* pointPrototype(const CallArgs& call)
{
    return geom::dataPrototype(call);
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    if (call.count() == 0) {
        geom::set(vm, self, "x", Value(0));
        geom::set(vm, self, "y", Value(0));
    } else {
        geom::set(vm, self, "x", call.arg(0));
        geom::set(vm, self, "y", call.arg(1));
    }
    return Value();
}

// Sums are the language's +: strings given as coordinates are joined, not added.
Value sum(Vm& vm, Value a, Value b)
{
    return vm.throwing() ? Value() : add2(vm, a, b);
}

Value newPoint(Vm& vm, const CallArgs& call, Value x, Value y)
{
    Object* proto = pointPrototype(call);
    if (!proto || vm.throwing())
        return Value();
    return Value(geom::make(vm, proto, {{"x", x}, {"y", y}}));
}

Value add(Vm& vm, const CallArgs& call)
{
    const Value x = sum(vm, geom::get(vm, call.thisValue, "x"), geom::get(vm, call.arg(0), "x"));
    const Value y = sum(vm, geom::get(vm, call.thisValue, "y"), geom::get(vm, call.arg(0), "y"));
    return newPoint(vm, call, x, y);
}

Value subtract(Vm& vm, const CallArgs& call)
{
    const double x = number(vm, call.thisValue, "x") - number(vm, call.arg(0), "x");
    const double y = number(vm, call.thisValue, "y") - number(vm, call.arg(0), "y");
    return newPoint(vm, call, Value(x), Value(y));
}

Value clone(Vm& vm, const CallArgs& call)
{
    Object* proto = pointPrototype(call);
    if (!proto)
        return Value();
    const Value x = geom::get(vm, call.thisValue, "x");
    const Value y = geom::get(vm, call.thisValue, "y");
    return Value(geom::make(vm, proto, {{"x", x}, {"y", y}}));
}

// Only another point can be equal to a point; coordinates compare as == does.
Value equals(Vm& vm, const CallArgs& call)
{
    const Value other = call.arg(0);
    if (!geom::isInstance(other, pointPrototype(call)))
        return Value(false);
    const bool same =
        abstractEquals(vm, geom::get(vm, call.thisValue, "x"), geom::get(vm, other, "x")) &&
        abstractEquals(vm, geom::get(vm, call.thisValue, "y"), geom::get(vm, other, "y"));
    return Value(same);
}

double lengthOf(Vm& vm, Value point)
{
    const double x = number(vm, point, "x");
    const double y = number(vm, point, "y");
    return std::sqrt(x * x + y * y);
}

Value length(Vm& vm, const CallArgs& call)
{
    return Value(lengthOf(vm, call.thisValue));
}

// Scales the point to the length given; a point of no length (or none at all, NaN)
// stays as it is.
Value normalize(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const double current = lengthOf(vm, call.thisValue);
    if (!self || !(current > 0))
        return Value();
    const double factor = vm.toNumber(call.arg(0)) / current;
    geom::set(vm, self, "x", Value(number(vm, call.thisValue, "x") * factor));
    geom::set(vm, self, "y", Value(number(vm, call.thisValue, "y") * factor));
    return Value();
}

Value offset(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    geom::set(vm, self, "x", sum(vm, geom::get(vm, call.thisValue, "x"), call.arg(0)));
    geom::set(vm, self, "y", sum(vm, geom::get(vm, call.thisValue, "y"), call.arg(1)));
    return Value();
}

Value toString(Vm& vm, const CallArgs& call)
{
    return geom::describe(vm, call.thisValue, {"x", "y"});
}

Value distance(Vm& vm, const CallArgs& call)
{
    const Value second = call.arg(1);
    const Value difference =
        vm.callMethod(call.arg(0), vm.str("subtract"), std::span<const Value>(&second, 1));
    return geom::get(vm, difference, "length");
}

// The point `f` of the way from the second point back to the first.
Value interpolate(Vm& vm, const CallArgs& call)
{
    const Value from = call.arg(0);
    const Value to = call.arg(1);
    const double f = vm.toNumber(call.arg(2));
    auto along = [&](std::string_view axis) {
        const Value start = geom::get(vm, to, axis);
        const double step = (number(vm, from, axis) - vm.toNumber(start)) * f;
        return sum(vm, start, Value(step));
    };
    const Value x = along("x");
    const Value y = along("y");
    return newPoint(vm, call, x, y);
}

Value polar(Vm& vm, const CallArgs& call)
{
    const double length = vm.toNumber(call.arg(0));
    const double angle = vm.toNumber(call.arg(1));
    return newPoint(vm, call, Value(length * std::cos(angle)), Value(length * std::sin(angle)));
}

} // namespace

Object* makePoint(Vm& vm, Object* prototype, double x, double y)
{
    return geom::make(vm, prototype, {{"x", Value(x)}, {"y", Value(y)}});
}

Object* installPoint(Vm& vm, Object* geomPackage)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor = definePackageClass(vm, geomPackage, "Point", proto, construct);
    const Vm::MethodSpec methods[] = {
        {"add", add},       {"subtract", subtract}, {"equals", equals},    {"normalize", normalize},
        {"offset", offset}, {"clone", clone},       {"toString", toString}};
    for (const Vm::MethodSpec& m : methods)
        vm.defineMethod(proto, m.name, m.call, 0)->setData(Value(proto));
    defineAccessor(vm, proto, "length", length, nullptr, 0);
    for (const Vm::MethodSpec& m :
         {Vm::MethodSpec{"distance", distance}, Vm::MethodSpec{"interpolate", interpolate},
          Vm::MethodSpec{"polar", polar}})
        vm.defineMethod(ctor, m.name, m.call)->setData(Value(proto));
    return proto;
}

} // namespace avm1
