// flash.geom.Rectangle: x, y, width and height as plain properties, and the sides and
// corners computed from them (left, right, top, bottom, topLeft, bottomRight, size).
// Setting a side moves only that side. Tests that meet a value that is no number
// answer undefined rather than true or false, as the reference's comparisons do. The
// prototype's members show in for..in, as the reference's do.
#include "GeomObjects.h"
#include "GeomScript.h"
#include "Packages.h"
#include "avm1/Operators.h"
#include "avm1/Vm.h"

#include <cmath>
#include <optional>

namespace avm1 {

namespace {

using geom::number;

// The far sides are sums as the language's + makes them: strings join.
Value rightValue(Vm& vm, Value rect)
{
    return add2(vm, geom::get(vm, rect, "x"), geom::get(vm, rect, "width"));
}

Value bottomValue(Vm& vm, Value rect)
{
    return add2(vm, geom::get(vm, rect, "y"), geom::get(vm, rect, "height"));
}

double right(Vm& vm, Value rect)
{
    return vm.toNumber(rightValue(vm, rect));
}

double bottom(Vm& vm, Value rect)
{
    return vm.toNumber(bottomValue(vm, rect));
}

Value newRectangle(Vm& vm, const CallArgs& call, double x, double y, double width, double height)
{
    Object* proto = geom::dataPrototype(call);
    if (!proto || vm.throwing())
        return Value();
    return Value(makeRectangle(vm, proto, x, y, width, height));
}

// The corners' getters keep Point's prototype.
Value newPoint(Vm& vm, const CallArgs& call, Value x, Value y)
{
    Object* proto = geom::dataPrototype(call);
    if (!proto || vm.throwing())
        return Value();
    return Value(geom::make(vm, proto, {{"x", x}, {"y", y}}));
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const bool given = call.count() > 0;
    const char* names[] = {"x", "y", "width", "height"};
    for (std::size_t i = 0; i < 4; ++i)
        geom::set(vm, self, names[i], given ? call.arg(i) : Value(0));
    return Value();
}

// --- The sides and corners -----------------------------------------------------------

Value getLeft(Vm& vm, const CallArgs& call)
{
    return geom::get(vm, call.thisValue, "x");
}

Value getTop(Vm& vm, const CallArgs& call)
{
    return geom::get(vm, call.thisValue, "y");
}

Value getRight(Vm& vm, const CallArgs& call)
{
    return rightValue(vm, call.thisValue);
}

Value getBottom(Vm& vm, const CallArgs& call)
{
    return bottomValue(vm, call.thisValue);
}

// The near sides move alone: the size changes so that the far side stays.
void setLeft(Vm& vm, Object* self, Value value)
{
    const double width = right(vm, Value(self)) - vm.toNumber(value);
    geom::set(vm, self, "width", Value(width));
    geom::set(vm, self, "x", value);
}

void setTop(Vm& vm, Object* self, Value value)
{
    const double height = bottom(vm, Value(self)) - vm.toNumber(value);
    geom::set(vm, self, "height", Value(height));
    geom::set(vm, self, "y", value);
}

void setRight(Vm& vm, Object* self, Value value)
{
    geom::set(vm, self, "width", Value(vm.toNumber(value) - number(vm, Value(self), "x")));
}

void setBottom(Vm& vm, Object* self, Value value)
{
    geom::set(vm, self, "height", Value(vm.toNumber(value) - number(vm, Value(self), "y")));
}

template <void (*Set)(Vm&, Object*, Value)> Value setter(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        Set(vm, self, call.arg(0));
    return Value();
}

Value getTopLeft(Vm& vm, const CallArgs& call)
{
    return newPoint(vm, call, geom::get(vm, call.thisValue, "x"),
                    geom::get(vm, call.thisValue, "y"));
}

Value getBottomRight(Vm& vm, const CallArgs& call)
{
    const Value r = rightValue(vm, call.thisValue);
    const Value b = bottomValue(vm, call.thisValue);
    return newPoint(vm, call, r, b);
}

Value getSize(Vm& vm, const CallArgs& call)
{
    return newPoint(vm, call, geom::get(vm, call.thisValue, "width"),
                    geom::get(vm, call.thisValue, "height"));
}

void setTopLeft(Vm& vm, Object* self, Value point)
{
    setLeft(vm, self, geom::get(vm, point, "x"));
    setTop(vm, self, geom::get(vm, point, "y"));
}

void setBottomRight(Vm& vm, Object* self, Value point)
{
    setRight(vm, self, geom::get(vm, point, "x"));
    setBottom(vm, self, geom::get(vm, point, "y"));
}

void setSize(Vm& vm, Object* self, Value point)
{
    geom::set(vm, self, "width", geom::get(vm, point, "x"));
    geom::set(vm, self, "height", geom::get(vm, point, "y"));
}

// --- Tests ---------------------------------------------------------------------------

// A comparison that may meet NaN: none when it does.
using Truth = std::optional<bool>;

Truth atLeast(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::nullopt;
    return a >= b;
}

// a && b && ...: the first that is not true decides, false or undefined.
Value allOf(std::initializer_list<Truth> tests)
{
    for (const Truth& t : tests) {
        if (!t)
            return Value();
        if (!*t)
            return Value(false);
    }
    return Value(true);
}

// x >= left && x < right && y >= top && y < bottom, as a script runs it: each test
// converts again, >= is !(<) (true where < meets NaN), and the first test that fails
// gives the answer, undefined from a < that met NaN.
Value containsAt(Vm& vm, Value self, Value x, Value y)
{
    auto notBelow = [&](Value a, Value b) {
        const Value below = lessThan(vm, a, b);
        return Value(!vm.toBoolean(below));
    };
    Value result = notBelow(x, geom::get(vm, self, "x"));
    if (vm.throwing() || !result.asBoolean())
        return result;
    result = lessThan(vm, x, rightValue(vm, self));
    if (vm.throwing() || !vm.toBoolean(result))
        return result;
    result = notBelow(y, geom::get(vm, self, "y"));
    if (vm.throwing() || !result.asBoolean())
        return result;
    return lessThan(vm, y, bottomValue(vm, self));
}

Value contains(Vm& vm, const CallArgs& call)
{
    return containsAt(vm, call.thisValue, call.arg(0), call.arg(1));
}

Value containsPoint(Vm& vm, const CallArgs& call)
{
    const Value x = geom::get(vm, call.arg(0), "x");
    const Value y = geom::get(vm, call.arg(0), "y");
    return containsAt(vm, call.thisValue, x, y);
}

Value containsRectangle(Vm& vm, const CallArgs& call)
{
    const Value self = call.thisValue;
    const Value other = call.arg(0);
    return allOf({atLeast(number(vm, other, "x"), number(vm, self, "x")),
                  atLeast(number(vm, other, "y"), number(vm, self, "y")),
                  atLeast(right(vm, self), right(vm, other)),
                  atLeast(bottom(vm, self), bottom(vm, other))});
}

Value isEmpty(Vm& vm, const CallArgs& call)
{
    const bool filled =
        number(vm, call.thisValue, "width") > 0 && number(vm, call.thisValue, "height") > 0;
    return Value(!filled);
}

// Only another rectangle can be equal to a rectangle.
Value equals(Vm& vm, const CallArgs& call)
{
    const Value other = call.arg(0);
    if (!geom::isInstance(other, geom::dataPrototype(call)))
        return Value(false);
    for (const char* name : {"x", "y", "width", "height"})
        if (!(number(vm, call.thisValue, name) == number(vm, other, name)))
            return Value(false);
    return Value(true);
}

// --- Changes -------------------------------------------------------------------------

Value setEmpty(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        for (const char* name : {"x", "y", "width", "height"})
            geom::set(vm, self, name, Value(0));
    return Value();
}

void inflateBy(Vm& vm, Object* self, double dx, double dy)
{
    const Value rect(self);
    geom::set(vm, self, "x", Value(number(vm, rect, "x") - dx));
    geom::set(vm, self, "width", Value(number(vm, rect, "width") + 2 * dx));
    geom::set(vm, self, "y", Value(number(vm, rect, "y") - dy));
    geom::set(vm, self, "height", Value(number(vm, rect, "height") + 2 * dy));
}

void offsetBy(Vm& vm, Object* self, double dx, double dy)
{
    const Value rect(self);
    geom::set(vm, self, "x", Value(number(vm, rect, "x") + dx));
    geom::set(vm, self, "y", Value(number(vm, rect, "y") + dy));
}

template <void (*Change)(Vm&, Object*, double, double)>
Value byNumbers(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const double dx = vm.toNumber(call.arg(0));
    const double dy = vm.toNumber(call.arg(1));
    if (self && !vm.throwing())
        Change(vm, self, dx, dy);
    return Value();
}

template <void (*Change)(Vm&, Object*, double, double)> Value byPoint(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const double dx = number(vm, call.arg(0), "x");
    const double dy = number(vm, call.arg(0), "y");
    if (self && !vm.throwing())
        Change(vm, self, dx, dy);
    return Value();
}

// --- New rectangles ------------------------------------------------------------------

Value clone(Vm& vm, const CallArgs& call)
{
    Object* proto = geom::dataPrototype(call);
    if (!proto)
        return Value();
    const Value self = call.thisValue;
    return Value(geom::make(vm, proto,
                            {{"x", geom::get(vm, self, "x")},
                             {"y", geom::get(vm, self, "y")},
                             {"width", geom::get(vm, self, "width")},
                             {"height", geom::get(vm, self, "height")}}));
}

// Math.min and Math.max: NaN when either is.
double least(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? NAN : std::min(a, b);
}

double greatest(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? NAN : std::max(a, b);
}

// Where this rectangle and the argument overlap, edge by edge; NaN edges never overlap.
struct Overlap {
    double left, top, right, bottom;
    bool any() const { return right > left && bottom > top; }
};

Overlap overlapOf(Vm& vm, const CallArgs& call)
{
    const Value a = call.thisValue;
    const Value b = call.arg(0);
    const double left = greatest(number(vm, a, "x"), number(vm, b, "x"));
    const double top = greatest(number(vm, a, "y"), number(vm, b, "y"));
    const double r = least(right(vm, a), right(vm, b));
    const double btm = least(bottom(vm, a), bottom(vm, b));
    return {left, top, r, btm};
}

// What both cover; an empty rectangle at the origin when they do not overlap.
Value intersection(Vm& vm, const CallArgs& call)
{
    const Overlap o = overlapOf(vm, call);
    if (!o.any())
        return newRectangle(vm, call, 0, 0, 0, 0);
    return newRectangle(vm, call, o.left, o.top, o.right - o.left, o.bottom - o.top);
}

Value intersects(Vm& vm, const CallArgs& call)
{
    return Value(overlapOf(vm, call).any());
}

Value unionOf(Vm& vm, const CallArgs& call)
{
    const Value a = call.thisValue;
    const Value b = call.arg(0);
    const double left = least(number(vm, a, "x"), number(vm, b, "x"));
    const double top = least(number(vm, a, "y"), number(vm, b, "y"));
    const double r = greatest(right(vm, a), right(vm, b));
    const double btm = greatest(bottom(vm, a), bottom(vm, b));
    return newRectangle(vm, call, left, top, r - left, btm - top);
}

Value toString(Vm& vm, const CallArgs& call)
{
    std::string text = "(x=";
    const Value self = call.thisValue;
    text += vm.toString(geom::get(vm, self, "x"))->view();
    text += ", y=";
    text += vm.toString(geom::get(vm, self, "y"))->view();
    text += ", w=";
    text += vm.toString(geom::get(vm, self, "width"))->view();
    text += ", h=";
    text += vm.toString(geom::get(vm, self, "height"))->view();
    text += ')';
    return vm.throwing() ? Value() : vm.strValue(text);
}

} // namespace

Object* makeRectangle(Vm& vm, Object* prototype, double x, double y, double width, double height)
{
    return geom::make(
        vm, prototype,
        {{"x", Value(x)}, {"y", Value(y)}, {"width", Value(width)}, {"height", Value(height)}});
}

Object* installRectangle(Vm& vm, Object* geomPackage, Object* pointPrototype)
{
    Object* proto = vm.makeObject();
    definePackageClass(vm, geomPackage, "Rectangle", proto, construct);
    const Vm::MethodSpec methods[] = {
        {"clone", clone},
        {"contains", contains},
        {"containsPoint", containsPoint},
        {"containsRectangle", containsRectangle},
        {"equals", equals},
        {"inflate", byNumbers<inflateBy>},
        {"inflatePoint", byPoint<inflateBy>},
        {"intersection", intersection},
        {"intersects", intersects},
        {"isEmpty", isEmpty},
        {"offset", byNumbers<offsetBy>},
        {"offsetPoint", byPoint<offsetBy>},
        {"setEmpty", setEmpty},
        {"toString", toString},
        {"union", unionOf},
    };
    for (const Vm::MethodSpec& m : methods)
        vm.defineMethod(proto, m.name, m.call, 0)->setData(Value(proto));
    struct Side {
        const char* name;
        NativeFn get;
        NativeFn set;
    };
    const Side sides[] = {
        {"left", getLeft, setter<setLeft>},
        {"top", getTop, setter<setTop>},
        {"right", getRight, setter<setRight>},
        {"bottom", getBottom, setter<setBottom>},
        {"topLeft", getTopLeft, setter<setTopLeft>},
        {"bottomRight", getBottomRight, setter<setBottomRight>},
        {"size", getSize, setter<setSize>},
    };
    for (const Side& s : sides)
        defineAccessor(vm, proto, s.name, s.get, s.set, 0)->setData(Value(pointPrototype));
    return proto;
}

} // namespace avm1
