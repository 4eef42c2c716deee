// String: the constructor, String.fromCharCode and String.prototype's methods.
//
// Positions count UTF-16 units from SWF 6 and bytes in SWF 5 (StringUnits.h). Numeric
// arguments go through ToInt32, so 4294967297 means 1, as in the reference; methods
// that need an argument return undefined without one.
#include "ArrayObject.h"
#include "Builtins.h"
#include "NativeHelpers.h"
#include "StringObject.h"
#include "avm1/StringUnits.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace avm1 {

namespace {

CharUnits unitsOf(Vm& vm)
{
    return charUnitsFor(vm.swfVersion());
}

// The text a method runs on: "this" as a string. A String object gives the text it
// holds, whatever its toString says; other objects convert.
String* thisText(Vm& vm, const CallArgs& call)
{
    if (call.thisValue.isString())
        return call.thisValue.asString();
    if (const Value primitive = wrappedPrimitive(call.thisObject(), ObjectClass::String);
        primitive.isString())
        return primitive.asString();
    return vm.toString(call.thisValue);
}

Value text(Vm& vm, std::string&& value)
{
    return Value(vm.str(std::move(value)));
}

// A position argument clamped to [0, size]; negative ones count from the end when
// `fromEnd`, else they mean 0.
std::size_t position(Vm& vm, Value argument, std::size_t size, bool fromEnd)
{
    const std::int64_t p = vm.toInt32(argument);
    const auto length = static_cast<std::int64_t>(size);
    if (p < 0)
        return fromEnd ? static_cast<std::size_t>(std::max<std::int64_t>(length + p, 0)) : 0;
    return static_cast<std::size_t>(std::min(p, length));
}

Value charAt(Vm& vm, const CallArgs& call)
{
    const UnitText units(thisText(vm, call), unitsOf(vm));
    const std::int64_t index = vm.toInt32(call.arg(0));
    if (index < 0 || index >= static_cast<std::int64_t>(units.size()))
        return Value(vm.names().empty);
    const auto at = static_cast<std::size_t>(index);
    return text(vm, units.slice(at, at + 1));
}

// Past the end the reference reads 0, before the start NaN.
Value charCodeAt(Vm& vm, const CallArgs& call)
{
    const UnitText units(thisText(vm, call), unitsOf(vm));
    const std::int64_t index = vm.toInt32(call.arg(0));
    if (index < 0)
        return Value(std::numeric_limits<double>::quiet_NaN());
    if (index >= static_cast<std::int64_t>(units.size()))
        return Value(0);
    const std::uint16_t unit = units.at(static_cast<std::size_t>(index));
    return Value(static_cast<double>(scriptCharCode(unit, unitsOf(vm))));
}

Value concat(Vm& vm, const CallArgs& call)
{
    std::string out = thisText(vm, call)->text();
    for (const Value& v : call.args) {
        out += vm.toString(v)->view();
        if (vm.throwing() || out.size() >= limits::kMaxStringBytes)
            break;
    }
    return text(vm, std::move(out));
}

Value indexOf(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const UnitText haystack(thisText(vm, call), unitsOf(vm));
    const UnitText needle(vm.toString(call.arg(0)), unitsOf(vm));
    const std::int64_t from = std::max(vm.toInt32(call.arg(1)), 0);
    // An empty string is found at every position but past the end.
    if (from > static_cast<std::int64_t>(haystack.size()))
        return Value(-1);
    return Value(static_cast<double>(haystack.find(needle, static_cast<std::size_t>(from))));
}

Value lastIndexOf(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const UnitText haystack(thisText(vm, call), unitsOf(vm));
    const UnitText needle(vm.toString(call.arg(0)), unitsOf(vm));
    std::int64_t from = static_cast<std::int64_t>(haystack.size());
    if (!call.arg(1).isUndefined())
        from = vm.toInt32(call.arg(1));
    if (from < 0)
        return Value(-1);
    return Value(static_cast<double>(haystack.findLast(needle, static_cast<std::size_t>(from))));
}

Value slice(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const UnitText units(thisText(vm, call), unitsOf(vm));
    const std::size_t start = position(vm, call.arg(0), units.size(), true);
    const std::size_t end =
        call.arg(1).isUndefined() ? units.size() : position(vm, call.arg(1), units.size(), true);
    return text(vm, units.slice(start, end));
}

Value substr(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const UnitText units(thisText(vm, call), unitsOf(vm));
    const std::size_t start = position(vm, call.arg(0), units.size(), true);
    std::int64_t count = static_cast<std::int64_t>(units.size() - start);
    if (!call.arg(1).isUndefined())
        count = std::min<std::int64_t>(vm.toInt32(call.arg(1)), count);
    if (count <= 0)
        return Value(vm.names().empty);
    return text(vm, units.slice(start, start + static_cast<std::size_t>(count)));
}

// substring takes its two ends in either order; negative ones mean 0.
Value substring(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const UnitText units(thisText(vm, call), unitsOf(vm));
    std::size_t start = position(vm, call.arg(0), units.size(), false);
    std::size_t end =
        call.arg(1).isUndefined() ? units.size() : position(vm, call.arg(1), units.size(), false);
    if (start > end)
        std::swap(start, end);
    return text(vm, units.slice(start, end));
}

// split's quirks, as the reference has them. A limit that is given but not positive
// gives an empty array, except where the answer does not depend on it: from SWF 6
// without a separator (the whole text) and for empty text (one empty element); in SWF
// 5 with an empty separator (the whole text). In SWF 5 an undefined separator is a
// comma, and separators longer than one byte split nothing. From SWF 6 an empty
// separator splits every unit apart.
Value split(Vm& vm, const CallArgs& call)
{
    ArrayObject* pieces = makeArrayObject(vm, {});
    String* whole = thisText(vm, call);
    const bool swf5 = vm.swfVersion() < 6;
    String* separator =
        call.arg(0).isUndefined() ? (swf5 ? vm.str(",") : nullptr) : vm.toString(call.arg(0));
    std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    if (!call.arg(1).isUndefined())
        limit = vm.toInt32(call.arg(1));
    if (vm.throwing())
        return Value();
    const bool wholeRegardless =
        swf5 ? separator->empty() : !separator || (whole->empty() && !separator->empty());
    if (wholeRegardless) {
        pieces->push(vm, Value(whole));
        return Value(pieces);
    }
    if (limit <= 0)
        return Value(pieces);
    if (swf5 && separator->size() != 1) {
        pieces->push(vm, Value(whole));
        return Value(pieces);
    }
    const UnitText units(whole, unitsOf(vm));
    const UnitText needle(separator, unitsOf(vm));
    if (needle.empty()) {
        for (std::size_t i = 0; i < units.size() && pieces->length() < limit; ++i)
            pieces->push(vm, text(vm, units.slice(i, i + 1)));
        return Value(pieces);
    }
    std::size_t from = 0;
    while (pieces->length() < limit) {
        const std::int64_t at = units.find(needle, from);
        const std::size_t end = at < 0 ? units.size() : static_cast<std::size_t>(at);
        pieces->push(vm, text(vm, units.slice(from, end)));
        if (at < 0 || pieces->length() >= limit ||
            pieces->length() >= static_cast<std::int32_t>(limits::kMaxArrayMethodElements))
            break;
        from = end + needle.size();
    }
    return Value(pieces);
}

Value toLowerCase(Vm& vm, const CallArgs& call)
{
    return text(vm, toLowerText(thisText(vm, call)->view(), unitsOf(vm)));
}

Value toUpperCase(Vm& vm, const CallArgs& call)
{
    return text(vm, toUpperText(thisText(vm, call)->view(), unitsOf(vm)));
}

// toString and valueOf give a string's text; called on anything else they convert it
// ("this" as a string: a clip's path, a Boolean's "false"). An object whose own
// conversion leads back here answers undefined there, which converts it by the
// fallback ("[type Object]"), rather than recursing.
Value primitiveValue(Vm& vm, const CallArgs& call)
{
    if (call.thisValue.isString())
        return call.thisValue;
    if (const Value own = wrappedPrimitive(call.thisObject(), ObjectClass::String); own.isString())
        return own;
    // The objects being converted here now, innermost last; nesting is bounded by the
    // native re-entry cap.
    thread_local std::vector<const Object*> converting;
    const Object* self = call.thisObject();
    if (self && std::find(converting.begin(), converting.end(), self) != converting.end())
        return Value();
    converting.push_back(self);
    String* text = vm.toString(call.thisValue);
    converting.pop_back();
    return vm.throwing() ? Value() : Value(text);
}

// String.fromCharCode stops at the first code 0, as the reference's C strings do.
Value fromCharCode(Vm& vm, const CallArgs& call)
{
    const CharUnits units = unitsOf(vm);
    std::string bytes;
    std::u16string wide;
    for (const Value& v : call.args) {
        const std::uint32_t code = vm.toUint32(v);
        if (vm.throwing())
            return Value();
        const auto unit = static_cast<char16_t>(units == CharUnits::Bytes ? code & 0xFF : code);
        if (unit == 0)
            break;
        if (units == CharUnits::Bytes)
            bytes.push_back(static_cast<char>(unit));
        else
            wide.push_back(unit);
    }
    return text(vm, units == CharUnits::Bytes ? std::move(bytes) : fromUtf16(wide));
}

String* argumentText(Vm& vm, const CallArgs& call)
{
    return call.count() == 0 ? vm.names().empty : vm.toString(call.arg(0));
}

// String(x) converts; new String(x) wraps.
Value callString(Vm& vm, const CallArgs& call)
{
    return Value(argumentText(vm, call));
}

Value constructString(Vm& vm, const CallArgs& call)
{
    String* value = argumentText(vm, call);
    if (vm.throwing())
        return Value();
    PrimitiveObject* object = makeStringObject(vm, value);
    // The instance inherits whatever String.prototype is now: a number there leads
    // nowhere, and the instance has no methods.
    if (call.callee)
        object->setPrototypeValue(vm.getMember(call.callee, vm.names().prototype));
    markConstructed(vm, object, call.callee);
    return Value(object);
}

} // namespace

PrimitiveObject* makeStringObject(Vm& vm, String* text)
{
    using namespace PropertyFlag;
    auto* object = vm.heap().make<PrimitiveObject>(vm.builtins().stringProto, ObjectClass::String,
                                                   Value(text));
    object->defineValue(vm.names().length, Value(vm.stringLength(text)), DontEnum | DontDelete,
                        CaseRule::Sensitive);
    return object;
}

void installString(Vm& vm)
{
    using namespace PropertyFlag;
    Object* proto = vm.makeObject();
    // The reference's order of declaration.
    vm.defineMethods(proto,
                     {{"valueOf", primitiveValue},
                      {"toString", primitiveValue},
                      {"toUpperCase", toUpperCase},
                      {"toLowerCase", toLowerCase},
                      {"charAt", charAt},
                      {"charCodeAt", charCodeAt},
                      {"concat", concat},
                      {"indexOf", indexOf},
                      {"lastIndexOf", lastIndexOf},
                      {"slice", slice},
                      {"substring", substring},
                      {"split", split},
                      {"substr", substr}},
                     DontEnum | DontDelete);

    NativeFunction* ctor = vm.defineClass("String", proto, callString, constructString);
    vm.defineMethod(ctor, "fromCharCode", fromCharCode, DontEnum | DontDelete);

    vm.builtins().stringProto = proto;
    vm.builtins().stringCtor = ctor;
}

} // namespace avm1
