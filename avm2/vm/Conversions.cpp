// The language's conversions and operators on values (ECMAScript 3 §9 and §11, with
// ActionScript 3's int, uint and classes).
#include "Operations.h"
#include "Vm.h"
#include "script/NumberConvert.h"
#include "script/NumberFormat.h"
#include "script/StringToNumber.h"

#include <cmath>

namespace avm2 {

String* Vm::toString(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return names.undefined;
    case Value::Type::Null:
        return names.null;
    case Value::Type::Boolean:
        return v.asBoolean() ? names.trueText : names.falseText;
    case Value::Type::Int:
        if (v.asInt() >= 0 && v.asInt() < 10)
            return numberToString(v.asInt());
        return newString(script::intToString(v.asInt()));
    case Value::Type::Number:
        return numberToString(v.asDouble());
    case Value::Type::String:
        return v.asString();
    case Value::Type::Object: {
        Value p = toPrimitive(v, true);
        if (m_throwing)
            return names.empty;
        return toString(p);
    }
    }
    return names.empty;
}

double Vm::toNumber(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return std::numeric_limits<double>::quiet_NaN();
    case Value::Type::Null:
        return 0;
    case Value::Type::Boolean:
        return v.asBoolean() ? 1 : 0;
    case Value::Type::Int:
        return v.asInt();
    case Value::Type::Number:
        return v.asDouble();
    case Value::Type::String:
        return script::stringToNumber(v.asString()->view());
    case Value::Type::Object: {
        Value p = toPrimitive(v, false);
        if (m_throwing)
            return 0;
        return toNumber(p);
    }
    }
    return 0;
}

std::int32_t Vm::toInt32(const Value& v)
{
    if (v.isInt())
        return v.asInt();
    return script::toInt32(toNumber(v));
}

std::uint32_t Vm::toUint32(const Value& v)
{
    if (v.isInt())
        return static_cast<std::uint32_t>(v.asInt());
    return script::toUint32(toNumber(v));
}

bool Vm::toBoolean(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Boolean:
        return v.asBoolean();
    case Value::Type::Int:
        return v.asInt() != 0;
    case Value::Type::Number:
        return !(v.asDouble() == 0 || std::isnan(v.asDouble()));
    case Value::Type::String:
        return !v.asString()->empty();
    case Value::Type::Object:
        return true;
    }
    return false;
}

Value Vm::toPrimitive(const Value& v, bool preferString)
{
    if (!v.isObject())
        return v;
    String* order[2] = {preferString ? names.toString : names.valueOf,
                        preferString ? names.valueOf : names.toString};
    for (String* method : order) {
        Name name = publicName(method);
        // XML's names select children: its conversions are its prototype's methods.
        Object* o = v.asObject();
        const Value* own = o->namesSelectData() ? findDynamic(o->prototype(), method) : nullptr;
        Value fn = o->namesSelectData() ? (own ? *own : Value()) : getProperty(v, name);
        if (m_throwing)
            return Value();
        if (isCallable(fn)) {
            Value r = call(fn, v, {});
            if (m_throwing)
                return Value();
            if (r.isPrimitive())
                return r;
        }
    }
    ClassObject* cls = classOf(v);
    throwError(ErrorType::TypeError, 1050,
               {cls && cls->localName ? cls->localName->text() : u"Object"});
    return Value();
}

String* Vm::typeOf(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return intern("undefined");
    case Value::Type::Null:
        return intern("object");
    case Value::Type::Boolean:
        return intern("boolean");
    case Value::Type::Int:
    case Value::Type::Number:
        return intern("number");
    case Value::Type::String:
        return intern("string");
    case Value::Type::Object: {
        const ObjectKind k = v.asObject()->kind();
        if (k == ObjectKind::Function)
            return intern("function");
        if (k == ObjectKind::Xml || k == ObjectKind::XmlList)
            return intern("xml");
        return intern("object");
    }
    }
    return intern("object");
}

std::u16string Vm::describeForError(const Value& v)
{
    if (v.isObject()) {
        ClassObject* cls = classOf(v);
        if (v.asObject()->kind() == ObjectKind::Class) {
            auto* c = static_cast<ClassObject*>(v.asObject());
            return (c->qualifiedName ? c->qualifiedName->text() : u"Object") + u"$";
        }
        if (v.asObject()->kind() == ObjectKind::Function)
            return u"Function-" +
                   utf16(std::to_string(reinterpret_cast<std::uintptr_t>(v.asObject()) % 1000));
        std::u16string name = cls && cls->qualifiedName ? cls->qualifiedName->text() : u"Object";
        return name + u"@" +
               utf16(std::to_string(reinterpret_cast<std::uintptr_t>(v.asObject()) & 0xffffffff));
    }
    return toText(v);
}

// Equality and comparison --------------------------------------------------------------

namespace {
// [[DefaultValue]] without a hint: Dates take strings, everything else numbers.
bool hintlessPrefersString(const Value& v)
{
    return v.isObject() && v.asObject()->kind() == ObjectKind::Date;
}
} // namespace

bool Vm::strictEquals(const Value& a, const Value& b)
{
    if (a.isNumber() && b.isNumber())
        return a.asNumber() == b.asNumber();
    if (a.type() != b.type())
        return false;
    if (a.isObject() && a.asObject() != b.asObject()) {
        const ObjectKind k = a.asObject()->kind();
        // Two QName objects are never strictly equal (QName(q) is q itself).
        if ((k == ObjectKind::Namespace || k == ObjectKind::Xml || k == ObjectKind::XmlList) &&
            k == b.asObject()->kind())
            return looseEquals(a, b);
    }
    return a.identical(b);
}

bool Vm::looseEquals(const Value& a, const Value& b)
{
    if ((a.isObject() && a.asObject()->namesSelectData()) ||
        (b.isObject() && b.asObject()->namesSelectData()))
        return xmlEquals(*this, a, b);
    if (a.isNumber() && b.isNumber())
        return a.asNumber() == b.asNumber();
    if (a.type() == b.type()) {
        if (a.isObject() && a.asObject() != b.asObject()) {
            // Namespaces and QNames compare by value; XML by content (E4X).
            const ObjectKind k = a.asObject()->kind();
            if (k == b.asObject()->kind() &&
                (k == ObjectKind::Namespace || k == ObjectKind::QName)) {
                Value as = callProperty(a, publicName(names.toString), {});
                Value bs = callProperty(b, publicName(names.toString), {});
                return !m_throwing && as.identical(bs);
            }
        }
        return a.identical(b);
    }
    if (a.isNullish() && b.isNullish())
        return true;
    if (a.isNullish() || b.isNullish())
        return false;
    if (a.isNumber() && b.isString())
        return a.asNumber() == toNumber(b);
    if (a.isString() && b.isNumber())
        return toNumber(a) == b.asNumber();
    if (a.isBoolean())
        return looseEquals(Value(toNumber(a)), b);
    if (b.isBoolean())
        return looseEquals(a, Value(toNumber(b)));
    if ((a.isString() || a.isNumber()) && b.isObject()) {
        Value p = toPrimitive(b, hintlessPrefersString(b));
        return !m_throwing && looseEquals(a, p);
    }
    if (a.isObject() && (b.isString() || b.isNumber())) {
        Value p = toPrimitive(a, hintlessPrefersString(a));
        return !m_throwing && looseEquals(p, b);
    }
    return false;
}

std::optional<bool> Vm::lessThan(const Value& a, const Value& b, bool leftFirst)
{
    if (a.isInt() && b.isInt())
        return a.asInt() < b.asInt();
    Value pa, pb;
    if (leftFirst) {
        pa = toPrimitive(a, false);
        if (m_throwing)
            return std::nullopt;
        pb = toPrimitive(b, false);
    } else {
        pb = toPrimitive(b, false);
        if (m_throwing)
            return std::nullopt;
        pa = toPrimitive(a, false);
    }
    if (m_throwing)
        return std::nullopt;
    if (pa.isString() && pb.isString())
        return pa.asString()->view() < pb.asString()->view();
    const double x = toNumber(pa);
    const double y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return std::nullopt;
    return x < y;
}

Value Vm::add(const Value& a, const Value& b)
{
    if (a.isInt() && b.isInt())
        return Value::number(static_cast<double>(a.asInt()) + b.asInt());
    if (a.isNumber() && b.isNumber())
        return Value(a.asNumber() + b.asNumber());
    if (a.isString() && b.isString())
        return Value(newString(a.asString()->text() + b.asString()->text()));
    Value pa = toPrimitive(a, hintlessPrefersString(a));
    if (m_throwing)
        return Value();
    Value pb = toPrimitive(b, hintlessPrefersString(b));
    if (m_throwing)
        return Value();
    if (pa.isString() || pb.isString()) {
        std::u16string s = toText(pa);
        s += toText(pb);
        return Value(newString(std::move(s)));
    }
    return Value(toNumber(pa) + toNumber(pb));
}

} // namespace avm2
