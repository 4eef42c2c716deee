#include "VectorObject.h"

#include "avm2/vm/Vm.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace avm2 {

Value VectorObject::coerceElement(Vm& vm, const Value& value) const
{
    return vm.coerce(value, elementType);
}

bool VectorObject::getIndex(Vm& vm, std::uint32_t index, Value& out)
{
    if (index < length()) {
        out = at(index);
        return true;
    }
    vm.throwError(ErrorType::RangeError, 1125,
                  {utf16(std::to_string(index)), utf16(std::to_string(length()))});
    out = Value();
    return true;
}

bool VectorObject::setIndex(Vm& vm, std::uint32_t index, const Value& value)
{
    // Writing at the length appends, unless the length is fixed.
    if (index > length() || (index == length() && fixed)) {
        vm.throwError(ErrorType::RangeError, 1125,
                      {utf16(std::to_string(index)), utf16(std::to_string(length()))});
        return true;
    }
    const Value element = coerceElement(vm, value);
    if (vm.throwing())
        return true;
    if (index == length())
        resize(index + 1);
    put(index, element);
    return true;
}

bool VectorObject::numericName(Vm& vm, const String* local, std::uint32_t& index)
{
    // A decimal number as written in source: digits with a sign, a point, an exponent.
    const std::u16string_view text = local->view();
    if (text.empty() || text.size() > 64)
        return false;
    std::string ascii;
    for (char16_t c : text) {
        if (!((c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'.' || c == u'e' ||
              c == u'E'))
            return false;
        ascii.push_back(static_cast<char>(c));
    }
    const char first = ascii[0];
    if (!((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.'))
        return false;
    char* end = nullptr;
    const double d = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || std::isnan(d))
        return false;
    if (d >= 0 && d < 4294967295.0 && d == std::trunc(d)) {
        index = static_cast<std::uint32_t>(d);
        return true;
    }
    // Movies before version 11 look such names up as any other (and miss).
    if (vm.swfVersion() < 11)
        return false;
    vm.throwError(ErrorType::RangeError, 1125,
                  {vm.numberToString(d)->text(), utf16(std::to_string(length()))});
    return true;
}

std::uint32_t VectorObject::nextEnumerable(std::uint32_t position) const
{
    return position < length() ? position + 1 : 0;
}

Value VectorObject::enumerableName(Vm&, std::uint32_t position) const
{
    return position && position <= length() ? Value(static_cast<std::int32_t>(position - 1))
                                            : Value();
}

Value VectorObject::enumerableValue(Vm&, std::uint32_t position)
{
    return position && position <= length() ? at(position - 1) : Value();
}

void VectorObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(elementType);
}

template <> Value TypedVector<std::int32_t>::at(std::uint32_t index) const
{
    return Value(items[index]);
}
template <> Value TypedVector<std::uint32_t>::at(std::uint32_t index) const
{
    return Value::fromUint(items[index]);
}
template <> Value TypedVector<double>::at(std::uint32_t index) const
{
    return Value::number(items[index]);
}
template <> Value TypedVector<Value>::at(std::uint32_t index) const
{
    return items[index];
}

template <> void TypedVector<std::int32_t>::put(std::uint32_t index, const Value& value)
{
    items[index] = value.isInt() ? value.asInt() : static_cast<std::int32_t>(value.asNumber());
}
template <> void TypedVector<std::uint32_t>::put(std::uint32_t index, const Value& value)
{
    items[index] = value.isInt() ? static_cast<std::uint32_t>(value.asInt())
                                 : static_cast<std::uint32_t>(value.asNumber());
}
template <> void TypedVector<double>::put(std::uint32_t index, const Value& value)
{
    items[index] = value.asNumber();
}
template <> void TypedVector<Value>::put(std::uint32_t index, const Value& value)
{
    items[index] = value;
}

template <> std::int32_t TypedVector<std::int32_t>::fill() const
{
    return 0;
}
template <> std::uint32_t TypedVector<std::uint32_t>::fill() const
{
    return 0;
}
template <> double TypedVector<double>::fill() const
{
    return std::numeric_limits<double>::quiet_NaN();
}
template <> Value TypedVector<Value>::fill() const
{
    // Vector.<*> holds undefined where a typed one holds null.
    return elementType ? Value::null() : Value();
}

template <typename Element> void TypedVector<Element>::traceChildren(script::Tracer& tracer)
{
    VectorObject::traceChildren(tracer);
    if constexpr (std::is_same_v<Element, Value>)
        for (const Value& v : items)
            tracer.mark(v);
}

VectorObject* newVectorStorage(Vm& vm, const Traits* traits, Object* prototype,
                               ClassObject* elementType)
{
    const Builtins& b = vm.builtins();
    if (elementType && elementType == b.intClass)
        return vm.make<TypedVector<std::int32_t>>(traits, prototype, elementType);
    if (elementType && elementType == b.uintClass)
        return vm.make<TypedVector<std::uint32_t>>(traits, prototype, elementType);
    if (elementType && elementType == b.number)
        return vm.make<TypedVector<double>>(traits, prototype, elementType);
    return vm.make<TypedVector<Value>>(traits, prototype, elementType);
}

template class TypedVector<std::int32_t>;
template class TypedVector<std::uint32_t>;
template class TypedVector<double>;
template class TypedVector<Value>;

} // namespace avm2
