// Number: called it converts, with new it wraps; its constants; toString with a radix.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace avm1 {

namespace {

Value callNumber(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value(0.0);
    return Value(vm.toNumber(call.arg(0)));
}

Value constructNumber(Vm& vm, const CallArgs& call)
{
    const double value = call.count() == 0 ? 0.0 : vm.toNumber(call.arg(0));
    if (vm.throwing())
        return Value();
    auto* object = vm.heap().make<PrimitiveObject>(
        instancePrototype(vm, call, vm.builtins().numberProto), ObjectClass::Number, Value(value));
    markConstructed(vm, object, call.callee);
    return Value(object);
}

// The number a Number method works on: a number, or a Number object's; none for
// anything else, on which the methods answer undefined.
std::optional<double> thisNumber(const CallArgs& call)
{
    if (call.thisValue.isNumber())
        return call.thisValue.asNumber();
    if (const Value primitive = wrappedPrimitive(call.thisObject(), ObjectClass::Number);
        primitive.isNumber())
        return primitive.asNumber();
    return std::nullopt;
}

Value valueOf(Vm& /*vm*/, const CallArgs& call)
{
    const std::optional<double> number = thisNumber(call);
    return number ? Value(*number) : Value();
}

// Digits in a radix other than ten are those of the 32-bit integer the number wraps to,
// in lowercase.
std::string integerInRadix(std::int32_t value, int radix)
{
    std::int64_t magnitude = value;
    const bool negative = magnitude < 0;
    if (negative)
        magnitude = -magnitude;
    std::string digits;
    do {
        const int digit = static_cast<int>(magnitude % radix);
        digits.insert(digits.begin(),
                      static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10));
        magnitude /= radix;
    } while (magnitude > 0);
    if (negative)
        digits.insert(digits.begin(), '-');
    return digits;
}

Value toString(Vm& vm, const CallArgs& call)
{
    const std::optional<double> number = thisNumber(call);
    if (!number)
        return Value();
    int radix = 10;
    if (call.count() > 0 && !call.arg(0).isUndefined()) {
        const double r = vm.toInteger(call.arg(0));
        if (vm.throwing())
            return Value();
        // Radixes outside 2 to 36 mean ten.
        if (r >= 2 && r <= 36)
            radix = static_cast<int>(r);
    }
    if (radix == 10 || !std::isfinite(*number))
        return Value(vm.numberToString(*number));
    return Value(vm.str(integerInRadix(vm.toInt32(Value(*number)), radix)));
}

} // namespace

void installNumber(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("Number", proto, callNumber, constructNumber);
    b.numberProto = proto;
    b.numberCtor = ctor;
    // In the order of the reference's native table (ASnative 106).
    vm.defineMethod(proto, "valueOf", valueOf, PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    vm.defineMethod(proto, "toString", toString, PropertyFlag::DontEnum | PropertyFlag::DontDelete);

    const std::uint16_t constant =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::ReadOnly;
    const double infinity = std::numeric_limits<double>::infinity();
    ctor->defineValue(vm, "NaN", Value(std::numeric_limits<double>::quiet_NaN()), constant);
    ctor->defineValue(vm, "POSITIVE_INFINITY", Value(infinity), constant);
    ctor->defineValue(vm, "NEGATIVE_INFINITY", Value(-infinity), constant);
    ctor->defineValue(vm, "MIN_VALUE", Value(std::numeric_limits<double>::denorm_min()), constant);
    ctor->defineValue(vm, "MAX_VALUE", Value(DBL_MAX), constant);
    makeReadOnly(ctor, {"prototype", "constructor", "__proto__"});
}

} // namespace avm1
