// The language's conversions (ECMA-262 3rd edition, section 9) with the reference
// player's rules, which its movies depend on:
// - undefined is "" before SWF 7 and "undefined" from it; undefined and null are 0 as
//   numbers before SWF 7 and NaN from it.
// - Strings are true by their numeric value before SWF 7, by being non-empty from it.
// - An object becomes a primitive through its valueOf, or toString first for a Date
//   from SWF 6. A method that is missing or not a function gives undefined; one that
//   returns an object leaves the object as it is, and each caller decides what that
//   means (a number is NaN, a string asks toString). __resolve is not asked for these
//   methods; getters are.
// - A clip (movie clip, button, text field) as a string is its target path.
// - An object as a string is its toString's result; without a callable toString, or
//   when it returns anything but a string, it is "[type Object]" ("[type Function]" for
//   functions).
#include "ClipObject.h"
#include "NumberText.h"
#include "Vm.h"

#include <cmath>

namespace avm1 {

namespace {

// A method found without __resolve, called on `object`; undefined when there is no
// such function.
Value callConversionMethod(Vm& vm, Object* object, String* name, bool& called)
{
    called = false;
    Value method;
    if (!vm.lookup(object, name, method) || vm.throwing())
        return Value();
    Object* fn = method.objectOrNull();
    if (!fn || !fn->isFunction())
        return Value();
    called = true;
    return vm.call(method, Value(object), {});
}

String* objectToString(Vm& vm, Object* object)
{
    // A clip as a string is its target path, whatever its toString says.
    if (String* path = clipPathText(vm, object))
        return path;
    String* fallback = object->isFunction() ? vm.names().typeFunction : vm.names().typeObject;
    bool called = false;
    const Value result = callConversionMethod(vm, object, vm.names().toString, called);
    // Only a string will do: a toString giving a number, nothing or an object leaves
    // the fallback.
    if (!called || vm.throwing() || !result.isString())
        return fallback;
    return result.asString();
}

double toInt32Double(double number)
{
    if (!std::isfinite(number))
        return 0;
    const double truncated = std::trunc(number);
    const double modulo = std::fmod(truncated, 4294967296.0);
    return modulo < 0 ? modulo + 4294967296.0 : modulo;
}

} // namespace

Value Vm::toPrimitive(Value value, Hint hint)
{
    Object* object = value.objectOrNull();
    if (!object)
        return value;
    if (hint == Hint::None)
        hint = object->objectClass() == ObjectClass::Date && m_swfVersion >= 6 ? Hint::String
                                                                               : Hint::Number;
    // Clips, buttons, text fields and videos have no number: their valueOf is never asked.
    const ObjectClass kind = object->objectClass();
    if (hint == Hint::Number && (kind == ObjectClass::MovieClip || kind == ObjectClass::Button ||
                                 kind == ObjectClass::TextField || kind == ObjectClass::Video))
        return value;
    String* method = hint == Hint::String ? m_names.toString : m_names.valueOf;
    bool called = false;
    const Value result = callConversionMethod(*this, object, method, called);
    if (m_throwing)
        return Value();
    return result.isObject() ? value : result;
}

double Vm::toNumber(Value value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return m_swfVersion >= 7 ? conversionNaN() : 0.0;
    case Value::Type::Boolean:
        return value.asBoolean() ? 1 : 0;
    case Value::Type::Number:
        return value.asNumber();
    case Value::Type::String:
        return stringToNumber(value.asString());
    case Value::Type::Object: {
        const Value primitive = toPrimitive(value, Hint::Number);
        if (m_throwing)
            return conversionNaN();
        // SWF 4 players had no NaN to give: what is not a number is 0 there.
        if (primitive.isObject())
            return m_swfVersion < 5 ? 0.0 : conversionNaN();
        // A number that went through an object is a new value: a NaN from valueOf is
        // not the NaN it was made from (Number(new Number(NaN)) != NaN).
        const double number = toNumber(primitive);
        return std::isnan(number) ? conversionNaN() : number;
    }
    }
    return conversionNaN();
}

double Vm::stringToNumber(const String* text)
{
    return parseNumber(text->view(), m_swfVersion);
}

String* Vm::numberToString(double number)
{
    if (std::isnan(number))
        return m_names.nan;
    return str(formatNumber(number));
}

String* Vm::toString(Value value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return m_swfVersion >= 7 ? m_names.undefined : m_names.empty;
    case Value::Type::Null:
        return m_names.null;
    case Value::Type::Boolean:
        return value.asBoolean() ? m_names.trueName : m_names.falseName;
    case Value::Type::Number:
        return numberToString(value.asNumber());
    case Value::Type::String:
        return value.asString();
    case Value::Type::Object:
        // Clips answer through MovieClip.prototype.toString like any other object.
        return objectToString(*this, value.asObject());
    }
    return m_names.empty;
}

bool Vm::toBoolean(Value value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Boolean:
        return value.asBoolean();
    case Value::Type::Number: {
        const double n = value.asNumber();
        return n != 0 && !std::isnan(n);
    }
    case Value::Type::String: {
        if (m_swfVersion >= 7)
            return !value.asString()->empty();
        const double n = stringToNumber(value.asString());
        return n != 0 && !std::isnan(n);
    }
    case Value::Type::Object:
        return true;
    }
    return false;
}

std::int32_t Vm::toInt32(Value value)
{
    const double wrapped = toInt32Double(toNumber(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wrapped));
}

std::uint32_t Vm::toUint32(Value value)
{
    return static_cast<std::uint32_t>(toInt32Double(toNumber(value)));
}

double Vm::toInteger(Value value)
{
    const double n = toNumber(value);
    if (std::isnan(n))
        return 0;
    return std::trunc(n);
}

Object* Vm::toObject(Value value)
{
    const char* className = nullptr;
    switch (value.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return nullptr;
    case Value::Type::Object:
        return value.asObject();
    case Value::Type::Boolean:
        className = "Boolean";
        break;
    case Value::Type::Number:
        className = "Number";
        break;
    case Value::Type::String:
        className = "String";
        break;
    }
    // The player wraps a primitive with whatever the global of that name is now, getters
    // and replaced constructors included: a script that sets _global.Number to its own
    // class sees its constructor run for (42).x.
    if (!global())
        return nullptr;
    // ... but not __resolve: without a global of that name nothing is wrapped.
    Value constructor;
    lookup(global(), str(className), constructor);
    Object* fn = constructor.objectOrNull();
    if (m_throwing || !fn || !fn->isFunction())
        return nullptr;
    return construct(constructor, std::span<const Value>(&value, 1)).objectOrNull();
}

String* Vm::typeOf(Value value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return m_names.undefined;
    case Value::Type::Null:
        return m_names.null;
    case Value::Type::Boolean:
        return m_names.boolean;
    case Value::Type::Number:
        return m_names.number;
    case Value::Type::String:
        return m_names.string;
    case Value::Type::Object:
        switch (value.asObject()->objectClass()) {
        case ObjectClass::Function:
            return m_names.function;
        case ObjectClass::MovieClip:
            return m_names.movieclip;
        default:
            return m_names.object;
        }
    }
    return m_names.undefined;
}

} // namespace avm1
