#include "Operators.h"

#include "ClipObject.h"
#include "Vm.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace avm1 {

namespace {

// Equal numbers, or the same NaN: the player keeps a NaN's identity, so NaN == NaN
// holds for the NaN global with itself but not for NaNs made apart (see NumberText.h).
bool sameNumber(double x, double y)
{
    if (x == y)
        return true;
    return std::isnan(x) && std::isnan(y) &&
           std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
}

bool sameText(const String* a, const String* b)
{
    return a == b || a->view() == b->view();
}

// Clip values name clips by their paths: two that name the same path are equal, even
// when a jump back made a new clip of that name beside the old one.
bool sameObject(Object* a, Object* b)
{
    if (a == b)
        return true;
    ClipObject* clipA = asClip(a);
    ClipObject* clipB = asClip(b);
    return clipA && clipB && clipA->currentPath() == clipB->currentPath();
}

bool sameTypeEquals(Value a, Value b)
{
    switch (a.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return true;
    case Value::Type::Boolean:
        return a.asBoolean() == b.asBoolean();
    case Value::Type::Number:
        return sameNumber(a.asNumber(), b.asNumber());
    case Value::Type::String:
        return sameText(a.asString(), b.asString());
    case Value::Type::Object:
        return sameObject(a.asObject(), b.asObject());
    }
    return false;
}

// Two primitives of different types.
bool primitivesEqual(Vm& vm, Value a, Value b)
{
    if (a.type() == b.type())
        return sameTypeEquals(a, b);
    if (a.isNullish() || b.isNullish())
        return a.isNullish() && b.isNullish();
    // What is left mixes numbers, strings and booleans: ECMA compares them as numbers.
    const double x = vm.toNumber(a);
    const double y = vm.toNumber(b);
    return sameNumber(x, y);
}

Value objectToPrimitive(Vm& vm, Value v, Hint hint)
{
    return v.isObject() ? vm.toPrimitive(v, hint) : v;
}

// Clips, buttons, text fields and videos stay themselves through valueOf without stopping a
// comparison as other objects do: they compare as NaN.
bool isDisplayObject(const Object* object)
{
    const ObjectClass kind = object->objectClass();
    return kind == ObjectClass::MovieClip || kind == ObjectClass::Button ||
           kind == ObjectClass::TextField || kind == ObjectClass::Video;
}

bool stopsComparison(Value primitive)
{
    return primitive.isObject() && !isDisplayObject(primitive.asObject());
}

double comparedNumber(Vm& vm, Value primitive)
{
    return primitive.isObject() ? std::nan("") : vm.toNumber(primitive);
}

// a < b (or a > b), converting a first.
Value relational(Vm& vm, Value a, Value b, bool greater)
{
    const Value pa = objectToPrimitive(vm, a, Hint::Number);
    if (vm.throwing())
        return Value();
    if (stopsComparison(pa))
        return Value(false);
    const Value pb = objectToPrimitive(vm, b, Hint::Number);
    if (vm.throwing())
        return Value();
    if (stopsComparison(pb))
        return Value(false);
    if (pa.isString() && pb.isString()) {
        const int order = pa.asString()->view().compare(pb.asString()->view());
        return Value(greater ? order > 0 : order < 0);
    }
    const double x = comparedNumber(vm, pa);
    const double y = comparedNumber(vm, pb);
    if (std::isnan(x) || std::isnan(y))
        return Value();
    return Value(greater ? x > y : x < y);
}

// Whether a prototype's declared interfaces lead to `target`, the constructor's
// prototype. ImplementsOp kept each interface's prototype as it was then; those may
// declare interfaces of their own. The walk is bounded as scripts can make the
// declarations circular.
bool declaresInterface(Object* prototype, Object* target)
{
    std::vector<Object*> pending{prototype};
    std::vector<Object*> seen;
    int steps = 0;
    while (!pending.empty()) {
        Object* holder = pending.back();
        pending.pop_back();
        for (Object* declared : holder->interfaces()) {
            if (++steps > limits::kMaxPrototypeChain)
                return false;
            if (!declared)
                continue;
            if (declared == target)
                return true;
            if (std::find(seen.begin(), seen.end(), declared) == seen.end()) {
                seen.push_back(declared);
                pending.push_back(declared);
            }
        }
    }
    return false;
}

} // namespace

Value add2(Vm& vm, Value a, Value b)
{
    const Value pb = objectToPrimitive(vm, b, Hint::None);
    if (vm.throwing())
        return Value();
    const Value pa = objectToPrimitive(vm, a, Hint::None);
    if (vm.throwing())
        return Value();
    if (pa.isString() || pb.isString()) {
        // An operand whose valueOf gave an object is written by its own toString.
        String* x = vm.toString(pa.isObject() ? a : pa);
        if (vm.throwing())
            return Value();
        String* y = vm.toString(pb.isObject() ? b : pb);
        if (vm.throwing())
            return Value();
        if (y->empty())
            return Value(x);
        if (x->empty())
            return Value(y);
        std::string joined;
        const std::size_t room = limits::kMaxStringBytes;
        joined.reserve(std::min(room, x->size() + y->size()));
        joined.append(x->view().substr(0, room));
        joined.append(y->view().substr(0, room - joined.size()));
        return Value(vm.str(std::move(joined)));
    }
    // Objects left as they were convert again, through valueOf as numbers do.
    const double x = vm.toNumber(pa.isObject() ? a : pa);
    const double y = vm.toNumber(pb.isObject() ? b : pb);
    return Value(x + y);
}

bool abstractEquals(Vm& vm, Value a, Value b)
{
    if (vm.swfVersion() < 6 && (a.isObject() || b.isObject())) {
        const Value pb = objectToPrimitive(vm, b, Hint::None);
        const Value pa = objectToPrimitive(vm, a, Hint::None);
        if (vm.throwing())
            return false;
        if (pa.isObject() || pb.isObject())
            return pa.isObject() && pb.isObject() && pa.asObject() == pb.asObject();
        return primitivesEqual(vm, pa, pb);
    }
    if (a.type() == b.type())
        return sameTypeEquals(a, b);
    if (a.isObject() || b.isObject()) {
        const Value object = a.isObject() ? a : b;
        const Value other = a.isObject() ? b : a;
        const Value primitive = vm.toPrimitive(object, Hint::None);
        if (vm.throwing() || primitive.isObject())
            return false;
        return primitivesEqual(vm, primitive, other);
    }
    return primitivesEqual(vm, a, b);
}

bool strictEquals(Value a, Value b)
{
    return a.type() == b.type() && sameTypeEquals(a, b);
}

bool swf4Equals(Vm& vm, Value a, Value b)
{
    const double y = vm.toNumber(b);
    const double x = vm.toNumber(a);
    return x == y;
}

Value lessThan(Vm& vm, Value a, Value b)
{
    return relational(vm, a, b, false);
}

Value greaterThan(Vm& vm, Value a, Value b)
{
    return relational(vm, a, b, true);
}

Value storedPrototype(Vm& vm, Object& constructor)
{
    const Property* p = constructor.properties().find(vm.names().prototype, vm.caseRule());
    return p ? p->value : Value();
}

// The reference reads the constructor's own prototype slot, running no getter, and
// wraps a primitive found there (through the String class of the moment). Any object
// with a prototype will do as the constructor.
bool instanceOf(Vm& vm, Value object, Value constructor)
{
    Object* instance = object.objectOrNull();
    Object* ctor = constructor.objectOrNull();
    if (!instance || !ctor)
        return false;
    const Value slot = storedPrototype(vm, *ctor);
    if (slot.isNullish())
        return false;
    Object* target = vm.toObject(slot);
    if (!target || vm.throwing())
        return false;
    Object* prototype = instance->prototype();
    for (int depth = 0; prototype && depth < limits::kMaxPrototypeChain; ++depth) {
        if (prototype == target)
            return true;
        if (!prototype->interfaces().empty() && declaresInterface(prototype, target))
            return true;
        if (vm.throwing())
            return false;
        prototype = prototype->prototype();
    }
    return false;
}

} // namespace avm1
