// Boolean, Number, int and uint. Their values are primitives: constructing one gives the
// primitive, and methods read it from the receiver.
#include "Native.h"
#include "script/NumberFormat.h"

#include <cmath>
#include <limits>

namespace avm2 {

using namespace native;

namespace {

Value booleanCall(Vm&, const Value&, Args args)
{
    return Value(Vm::toBoolean(arg(args, 0)));
}

Value booleanToString(Vm& vm, const Value& self, Args)
{
    if (isPrototypeOf(self, vm.builtins().boolean))
        return Value(vm.names.falseText);
    if (!self.isBoolean())
        return vm.throwError(ErrorType::TypeError, 1004, {u"Boolean.prototype.toString"});
    return Value(self.asBoolean() ? vm.names.trueText : vm.names.falseText);
}

Value booleanValueOf(Vm& vm, const Value& self, Args)
{
    if (isPrototypeOf(self, vm.builtins().boolean))
        return Value(false);
    if (!self.isBoolean())
        return vm.throwError(ErrorType::TypeError, 1004, {u"Boolean.prototype.valueOf"});
    return self;
}

Value numberCall(Vm& vm, const Value&, Args args)
{
    if (!has(args, 0))
        return Value(0);
    return Value::number(vm.toNumber(args[0]));
}

Value intCall(Vm& vm, const Value&, Args args)
{
    return Value(has(args, 0) ? vm.toInt32(args[0]) : 0);
}
Value uintCall(Vm& vm, const Value&, Args args)
{
    return Value::fromUint(has(args, 0) ? vm.toUint32(args[0]) : 0);
}

bool numberReceiver(Vm& vm, const Value& self, const char16_t* method, double& out)
{
    const Builtins& b = vm.builtins();
    if (isPrototypeOf(self, b.number) || isPrototypeOf(self, b.intClass) ||
        isPrototypeOf(self, b.uintClass)) {
        out = 0;
        return true;
    }
    if (!self.isNumber()) {
        vm.throwError(ErrorType::TypeError, 1004, {method});
        return false;
    }
    out = self.asNumber();
    return true;
}

Value numberToString(Vm& vm, const Value& self, Args args)
{
    double d = 0;
    if (!numberReceiver(vm, self, u"Number.prototype.toString", d))
        return Value();
    double radix = 10;
    if (has(args, 0) && !args[0].isUndefined())
        radix = vm.toNumber(args[0]);
    if (vm.throwing())
        return Value();
    if (!(radix >= 2 && radix <= 36))
        return vm.throwError(ErrorType::RangeError, 1003, {vm.toText(Value::number(radix))});
    const int r = static_cast<int>(radix);
    if (r == 10)
        return Value(vm.toString(Value::number(d)));
    // Other radixes print the integer part alone.
    return Value(vm.newString(script::numberToRadix(std::isfinite(d) ? std::trunc(d) : d, r)));
}

Value numberValueOf(Vm& vm, const Value& self, Args)
{
    double d = 0;
    if (!numberReceiver(vm, self, u"Number.prototype.valueOf", d))
        return Value();
    return Value::number(d);
}

// Digits for toFixed and toExponential (0 to 20) and toPrecision (1 to 21).
bool digitsArgument(Vm& vm, Args args, int low, int high, int& out)
{
    const double d = has(args, 0) ? vm.toNumber(args[0]) : 0;
    if (vm.throwing())
        return false;
    const double whole = std::isnan(d) ? 0 : std::trunc(d);
    if (whole < low || whole > high) {
        vm.throwError(ErrorType::RangeError, 1002,
                      {vm.toText(Value::number(whole)), utf16(std::to_string(low)),
                       utf16(std::to_string(high))});
        return false;
    }
    out = static_cast<int>(whole);
    return true;
}

Value numberToFixed(Vm& vm, const Value& self, Args args)
{
    double d = 0;
    int digits = 0;
    if (!numberReceiver(vm, self, u"Number.prototype.toFixed", d) ||
        !digitsArgument(vm, args, 0, 20, digits))
        return Value();
    return Value(vm.newString(script::numberToFixed(d, digits)));
}

Value numberToExponential(Vm& vm, const Value& self, Args args)
{
    double d = 0;
    int digits = 0;
    if (!numberReceiver(vm, self, u"Number.prototype.toExponential", d) ||
        !digitsArgument(vm, args, 0, 20, digits))
        return Value();
    return Value(vm.newString(script::numberToExponential(d, digits)));
}

Value numberToPrecision(Vm& vm, const Value& self, Args args)
{
    double d = 0;
    if (!numberReceiver(vm, self, u"Number.prototype.toPrecision", d))
        return Value();
    if (!has(args, 0) || args[0].isUndefined())
        return Value(vm.toString(Value::number(d)));
    int digits = 0;
    if (!digitsArgument(vm, args, 1, 21, digits))
        return Value();
    return Value(vm.newString(script::numberToPrecision(d, digits)));
}

void defineNumberMethods(Vm& vm, ClassObject* cls)
{
    vm.defineMethod(cls, "toString", numberToString, 1);
    vm.defineMethod(cls, "toLocaleString", numberToString, 1);
    vm.defineMethod(cls, "valueOf", numberValueOf, 0);
    vm.defineMethod(cls, "toFixed", numberToFixed, 1);
    vm.defineMethod(cls, "toExponential", numberToExponential, 1);
    vm.defineMethod(cls, "toPrecision", numberToPrecision, 1);
    vm.defineConstant(cls, "length", Value(1));
}

} // namespace

void definePrimitiveClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks booleanHooks;
    booleanHooks.call = booleanCall;
    booleanHooks.constructPrimitive = booleanCall;
    b.boolean = vm.defineClass("", "Boolean", b.object, false, booleanHooks, true);
    vm.defineMethod(b.boolean, "toString", booleanToString, 0);
    vm.defineMethod(b.boolean, "valueOf", booleanValueOf, 0);
    vm.defineConstant(b.boolean, "length", Value(1));

    NativeClassHooks numberHooks;
    numberHooks.call = numberCall;
    numberHooks.constructPrimitive = numberCall;
    b.number = vm.defineClass("", "Number", b.object, false, numberHooks, true);
    defineNumberMethods(vm, b.number);
    vm.defineConstant(b.number, "MAX_VALUE", Value(std::numeric_limits<double>::max()));
    vm.defineConstant(b.number, "MIN_VALUE", Value(std::numeric_limits<double>::denorm_min()));
    vm.defineConstant(b.number, "NaN", Value(std::numeric_limits<double>::quiet_NaN()));
    vm.defineConstant(b.number, "NEGATIVE_INFINITY",
                      Value(-std::numeric_limits<double>::infinity()));
    vm.defineConstant(b.number, "POSITIVE_INFINITY",
                      Value(std::numeric_limits<double>::infinity()));

    NativeClassHooks intHooks;
    intHooks.call = intCall;
    intHooks.constructPrimitive = intCall;
    b.intClass = vm.defineClass("", "int", b.object, false, intHooks, true);
    defineNumberMethods(vm, b.intClass);
    vm.defineConstant(b.intClass, "MAX_VALUE", Value(std::numeric_limits<std::int32_t>::max()));
    vm.defineConstant(b.intClass, "MIN_VALUE", Value(std::numeric_limits<std::int32_t>::min()));

    NativeClassHooks uintHooks;
    uintHooks.call = uintCall;
    uintHooks.constructPrimitive = uintCall;
    b.uintClass = vm.defineClass("", "uint", b.object, false, uintHooks, true);
    defineNumberMethods(vm, b.uintClass);
    vm.defineConstant(b.uintClass, "MAX_VALUE", Value::fromUint(0xffffffffu));
    vm.defineConstant(b.uintClass, "MIN_VALUE", Value(0));
}

} // namespace avm2
