#include "ArrayObject.h"

#include "avm1/Vm.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace avm1 {

std::optional<std::uint64_t> arrayIndexOf(std::string_view name)
{
    if (name.empty() || name.size() > 19 || (name.size() > 1 && name[0] == '0'))
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

namespace {

// The position an assignment extends the length to, as the reference reads it from
// the name: an optional minus sign and the leading digits, wrapped to 32 bits ("2.2" is
// 2, "4294967296" is 0, "-2147483649" is 2147483647). Other names extend nothing.
std::optional<std::int32_t> extendingIndexOf(std::string_view name)
{
    const bool negative = !name.empty() && name[0] == '-';
    const std::string_view digits = name.substr(negative ? 1 : 0);
    if (digits.empty() || digits[0] < '0' || digits[0] > '9')
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

} // namespace

String* indexName(Vm& vm, std::int64_t index)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
    return vm.str(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void ArrayObject::setLength(Vm& /*vm*/, std::int32_t length)
{
    const std::int32_t old = m_length;
    m_length = length;
    if (length >= old)
        return;
    // Elements live among the other properties: find those in [length, old).
    std::vector<String*> doomed;
    properties().forEach([&](const Property& p) {
        if (p.flags & PropertyFlag::DontDelete)
            return;
        // Here the index counts at its full value: 2147483648 is not below 4.
        if (const auto index = arrayIndexOf(p.name->view());
            index &&
            *index < static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) &&
            static_cast<std::int64_t>(*index) >= length && static_cast<std::int64_t>(*index) < old)
            doomed.push_back(p.name);
    });
    for (String* name : doomed)
        properties().remove(name, CaseRule::Sensitive);
}

Value ArrayObject::get(Vm& vm, std::uint32_t index)
{
    Property* p = vm.findOwn(this, indexName(vm, index));
    if (!p)
        return Value();
    if (!p->isAccessor())
        return p->value;
    Object* getter = p->getter;
    return getter ? vm.call(Value(getter), Value(this), {}) : Value();
}

void ArrayObject::push(Vm& vm, Value value)
{
    const std::int64_t index = static_cast<std::int64_t>(m_length);
    if (index < 0 || index >= std::numeric_limits<std::int32_t>::max() ||
        properties().size() >= limits::kMaxPropertiesPerObject)
        return;
    String* name = indexName(vm, index);
    if (Property* p = properties().find(name, CaseRule::Sensitive)) {
        p->value = value;
    } else {
        properties().append(name).value = value;
    }
    m_length = static_cast<std::int32_t>(index + 1);
}

bool ArrayObject::getVirtual(Vm& vm, String* name, Value& out)
{
    if (!sameKey(name, vm.names().length, vm.caseRule()))
        return false;
    out = Value(static_cast<double>(m_length));
    return true;
}

bool ArrayObject::setVirtual(Vm& vm, String* name, const Value& value)
{
    if (sameKey(name, vm.names().length, vm.caseRule())) {
        // NaN and the infinities give -2^31, as a C conversion to int does on the
        // reference's machines; finite numbers wrap to 32 bits.
        const double number = vm.toNumber(value);
        setLength(vm, std::isfinite(number) ? vm.toInt32(Value(number))
                                            : std::numeric_limits<std::int32_t>::min());
        return true;
    }
    // The element itself is stored as a plain property by the caller.
    if (const auto index = extendingIndexOf(name->view()); index && *index >= m_length)
        setLength(vm, static_cast<std::int32_t>(static_cast<std::uint32_t>(*index) + 1u));
    return false;
}

ArrayObject* makeArrayObject(Vm& vm, std::span<const Value> values)
{
    auto* array = vm.heap().make<ArrayObject>(vm.builtins().arrayProto);
    for (const Value& v : values)
        array->push(vm, v);
    return array;
}

ArrayObject* asArrayObject(Object* object)
{
    return dynamic_cast<ArrayObject*>(object);
}

ArrayObject* asArrayObject(Value value)
{
    return asArrayObject(value.objectOrNull());
}

} // namespace avm1
