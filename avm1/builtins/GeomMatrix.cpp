// flash.geom.Matrix: a, b, c, d, tx and ty as plain properties, mapping (x, y) to
// (a x + c y + tx, b x + d y + ty). The constructor stores what it is given (nothing
// makes the identity); the methods compute with numbers, except that createBox keeps
// the translation it is given and createGradientBox adds to it with the language's +.
// Each change multiplies this matrix by another on the left, so it applies after what
// the matrix did before.
#include "GeomObjects.h"
#include "GeomScript.h"
#include "Packages.h"
#include "avm1/Operators.h"
#include "avm1/Vm.h"

#include <cmath>

namespace avm1 {

namespace {

using geom::number;

constexpr const char* kNames[] = {"a", "b", "c", "d", "tx", "ty"};

swf::Matrix read(Vm& vm, Value object)
{
    swf::Matrix m;
    m.a = number(vm, object, "a");
    m.b = number(vm, object, "b");
    m.c = number(vm, object, "c");
    m.d = number(vm, object, "d");
    m.tx = number(vm, object, "tx");
    m.ty = number(vm, object, "ty");
    return m;
}

void write(Vm& vm, Object* self, const swf::Matrix& m)
{
    const double values[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (int i = 0; i < 6; ++i)
        geom::set(vm, self, kNames[i], Value(values[i]));
}

// this = after * this.
void applyAfter(Vm& vm, const CallArgs& call, const swf::Matrix& after)
{
    Object* self = call.thisObject();
    if (!self)
        return;
    const swf::Matrix m = read(vm, call.thisValue);
    if (!vm.throwing())
        write(vm, self, after * m);
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    if (call.count() == 0) {
        write(vm, self, swf::Matrix());
        return Value();
    }
    for (std::size_t i = 0; i < 6; ++i)
        geom::set(vm, self, kNames[i], call.arg(i));
    return Value();
}

Value identity(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        write(vm, self, swf::Matrix());
    return Value();
}

Value clone(Vm& vm, const CallArgs& call)
{
    Object* proto = geom::dataPrototype(call);
    if (!proto)
        return Value();
    const Value self = call.thisValue;
    Object* copy = geom::make(vm, proto, {});
    for (const char* name : kNames)
        copy->defineValue(vm, name, geom::get(vm, self, name));
    return Value(copy);
}

Value concat(Vm& vm, const CallArgs& call)
{
    const swf::Matrix other = read(vm, call.arg(0));
    applyAfter(vm, call, other);
    return Value();
}

// The inverse; a matrix that flattens the plane has none and becomes the identity.
Value invert(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const swf::Matrix m = read(vm, call.thisValue);
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) {
        write(vm, self, swf::Matrix());
        return Value();
    }
    swf::Matrix inverse;
    inverse.a = m.d / det;
    inverse.b = -m.b / det;
    inverse.c = -m.c / det;
    inverse.d = m.a / det;
    inverse.tx = (m.c * m.ty - m.d * m.tx) / det;
    inverse.ty = (m.b * m.tx - m.a * m.ty) / det;
    write(vm, self, inverse);
    return Value();
}

swf::Matrix rotation(double radians)
{
    const double cos = std::cos(radians);
    const double sin = std::sin(radians);
    return {cos, sin, -sin, cos, 0, 0};
}

// Rotations, scales and boxes change only matrices the class made; the other
// operations work on any object with the six properties.
bool isMatrix(const CallArgs& call)
{
    return geom::isInstance(call.thisValue, geom::dataPrototype(call));
}

Value rotate(Vm& vm, const CallArgs& call)
{
    if (isMatrix(call))
        applyAfter(vm, call, rotation(vm.toNumber(call.arg(0))));
    return Value();
}

Value scale(Vm& vm, const CallArgs& call)
{
    if (!isMatrix(call))
        return Value();
    const double sx = vm.toNumber(call.arg(0));
    const double sy = vm.toNumber(call.arg(1));
    applyAfter(vm, call, swf::Matrix::scale(sx, sy));
    return Value();
}

Value translate(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const double dx = vm.toNumber(call.arg(0));
    const double dy = vm.toNumber(call.arg(1));
    geom::set(vm, self, "tx", Value(number(vm, call.thisValue, "tx") + dx));
    geom::set(vm, self, "ty", Value(number(vm, call.thisValue, "ty") + dy));
    return Value();
}

// Rotated, then scaled: the four entries of a box; no rotation unless one is given.
swf::Matrix box(Vm& vm, const CallArgs& call, double sx, double sy)
{
    const double angle = call.count() > 2 ? vm.toNumber(call.arg(2)) : 0.0;
    return swf::Matrix::scale(sx, sy) * rotation(angle);
}

void writeEntries(Vm& vm, Object* self, const swf::Matrix& m)
{
    const double values[] = {m.a, m.b, m.c, m.d};
    for (int i = 0; i < 4; ++i)
        geom::set(vm, self, kNames[i], Value(values[i]));
}

// The translation is stored as given (0 when not given), on any object.
Value createBox(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const double sx = vm.toNumber(call.arg(0));
    const double sy = vm.toNumber(call.arg(1));
    const swf::Matrix m = box(vm, call, sx, sy);
    if (isMatrix(call) && !vm.throwing())
        writeEntries(vm, self, m);
    geom::set(vm, self, "tx", call.count() > 3 ? call.arg(3) : Value(0));
    geom::set(vm, self, "ty", call.count() > 4 ? call.arg(4) : Value(0));
    return Value();
}

// The box that maps a gradient's square (1638.4 pixels a side, centred on the
// origin) onto width by height pixels whose corner is at (tx, ty).
Value createGradientBox(Vm& vm, const CallArgs& call)
{
    constexpr double kGradientSquare = 1638.4;
    Object* self = call.thisObject();
    if (!self || !isMatrix(call))
        return Value();
    const double width = vm.toNumber(call.arg(0));
    const double height = vm.toNumber(call.arg(1));
    const swf::Matrix m = box(vm, call, width / kGradientSquare, height / kGradientSquare);
    const Value tx = add2(vm, call.count() > 3 ? call.arg(3) : Value(0), Value(width / 2));
    const Value ty = add2(vm, call.count() > 4 ? call.arg(4) : Value(0), Value(height / 2));
    if (vm.throwing())
        return Value();
    writeEntries(vm, self, m);
    geom::set(vm, self, "tx", tx);
    geom::set(vm, self, "ty", ty);
    return Value();
}

Value mapPoint(Vm& vm, const CallArgs& call, bool withTranslation)
{
    Object* proto = geom::dataPrototype(call);
    const swf::Matrix m = read(vm, call.thisValue);
    const double x = number(vm, call.arg(0), "x");
    const double y = number(vm, call.arg(0), "y");
    if (!proto || vm.throwing())
        return Value();
    const double tx = withTranslation ? m.tx : 0;
    const double ty = withTranslation ? m.ty : 0;
    return Value(makePoint(vm, proto, m.a * x + m.c * y + tx, m.b * x + m.d * y + ty));
}

Value transformPoint(Vm& vm, const CallArgs& call)
{
    return mapPoint(vm, call, true);
}

Value deltaTransformPoint(Vm& vm, const CallArgs& call)
{
    return mapPoint(vm, call, false);
}

Value toString(Vm& vm, const CallArgs& call)
{
    return geom::describe(vm, call.thisValue, {"a", "b", "c", "d", "tx", "ty"});
}

} // namespace

Object* makeMatrix(Vm& vm, Object* prototype, const swf::Matrix& m)
{
    return geom::make(vm, prototype,
                      {{"a", Value(m.a)},
                       {"b", Value(m.b)},
                       {"c", Value(m.c)},
                       {"d", Value(m.d)},
                       {"tx", Value(m.tx)},
                       {"ty", Value(m.ty)}});
}

bool readMatrix(Vm& vm, Object* object, swf::Matrix& out)
{
    out = read(vm, Value(object));
    return !vm.throwing();
}

Object* installMatrix(Vm& vm, Object* geomPackage, Object* pointPrototype)
{
    Object* proto = vm.makeObject();
    definePackageClass(vm, geomPackage, "Matrix", proto, construct);
    const Vm::MethodSpec methods[] = {
        {"identity", identity},   {"concat", concat},
        {"invert", invert},       {"rotate", rotate},
        {"scale", scale},         {"translate", translate},
        {"createBox", createBox}, {"createGradientBox", createGradientBox},
        {"clone", clone},         {"toString", toString}};
    for (const Vm::MethodSpec& m : methods)
        vm.defineMethod(proto, m.name, m.call)->setData(Value(proto));
    vm.defineMethod(proto, "transformPoint", transformPoint)->setData(Value(pointPrototype));
    vm.defineMethod(proto, "deltaTransformPoint", deltaTransformPoint)
        ->setData(Value(pointPrototype));
    return proto;
}

} // namespace avm1
