#include "ArrayObject.h"

#include "avm1/Heap.h"
#include "avm1/Vm.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
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

// The cell a value holds, here where the types are complete, so that the trace of a
// long vector makes no call per element.
Cell* cellOf(const Value& value)
{
    if (value.isObject())
        return value.asObject();
    if (value.isString())
        return value.asString();
    return nullptr;
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
    // Elements of the vector in [length, old): a cut at its end shortens it; one
    // inside it (old below its size, after wrapping) moves it to the map first.
    const auto first = static_cast<std::size_t>(std::max(length, 0));
    if (first < m_elements.size() && old > 0) {
        if (static_cast<std::size_t>(old) >= m_elements.size())
            truncateVector(first);
        else
            spillElements();
    }
    if (slots().size() == 0)
        return;
    // The other elements live among the other properties: find those in [length, old).
    std::vector<String*> doomed;
    slots().forEach([&](const Property& p) {
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
        slots().remove(name, CaseRule::Sensitive);
}

bool ArrayObject::getOwn(Vm& vm, std::uint32_t index, Value& out)
{
    if (index < m_elements.size()) {
        out = m_elements[index];
        return true;
    }
    Property* p = vm.findOwn(this, indexName(vm, index));
    if (!p)
        return false;
    if (!p->isAccessor()) {
        out = p->value;
        return true;
    }
    Object* getter = p->getter;
    out = getter ? vm.call(Value(getter), Value(this), {}) : Value();
    return true;
}

bool ArrayObject::hasOwn(Vm& vm, std::uint32_t index)
{
    return index < m_elements.size() || vm.findOwn(this, indexName(vm, index)) != nullptr;
}

Value ArrayObject::get(Vm& vm, std::uint32_t index)
{
    Value out;
    getOwn(vm, index, out);
    return out;
}

void ArrayObject::push(Vm& vm, Value value)
{
    const std::int64_t index = static_cast<std::int64_t>(m_length);
    if (index < 0 || index >= std::numeric_limits<std::int32_t>::max() ||
        slots().size() + m_elements.size() >= limits::kMaxPropertiesPerObject)
        return;
    if (static_cast<std::size_t>(index) == m_elements.size() && slots().size() == 0) {
        appendToVector(value);
    } else {
        String* name = indexName(vm, index);
        if (Property* p = vm.findOwn(this, name))
            p->value = value;
        else
            slots().append(name).value = value;
    }
    m_length = static_cast<std::int32_t>(index + 1);
}

bool ArrayObject::getVirtual(Vm& vm, String* name, Value& out)
{
    if (const auto position = vectorPosition(name)) {
        out = m_elements[*position];
        return true;
    }
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
    if (const auto index = extendingIndexOf(name->view()); index && *index >= m_length)
        setLength(vm, static_cast<std::int32_t>(static_cast<std::uint32_t>(*index) + 1u));
    if (const auto position = vectorPosition(name)) {
        m_elements[*position] = value;
        return true;
    }
    if (mayAppend(vm, name, m_elements.size())) {
        appendToVector(value);
        return true;
    }
    // Any other element is stored as a plain property by the caller.
    return false;
}

void ArrayObject::virtualKeys(Vm& vm, std::vector<String*>& keys)
{
    for (std::size_t i = 0; i < m_elements.size(); ++i)
        keys.push_back(indexName(vm, static_cast<std::int64_t>(i)));
}

bool ArrayObject::elementVectorHolds(const String* name) const
{
    return vectorPosition(name).has_value();
}

bool ArrayObject::deleteFromElementVector(Vm& /*vm*/, String* name)
{
    const auto position = vectorPosition(name);
    if (!position)
        return false;
    if (*position + 1 == m_elements.size()) {
        truncateVector(*position);
        return true;
    }
    // A hole inside the vector: the map says it from now on.
    spillElements();
    return false;
}

void ArrayObject::traceChildren(Tracer& tracer)
{
    Object::traceChildren(tracer);
    // A long array of objects waits on memory for each. The elements are fetched ahead
    // in two steps, each object and then its properties, and objects are traced at
    // once while they are at hand instead of from the collector's stack later. Only
    // the outermost array does this: arrays inside arrays go on the stack, so nesting
    // never deepens the C++ stack.
    static thread_local bool t_tracingElements = false;
    const bool inline_ = !t_tracingElements;
    t_tracingElements = true;
    constexpr std::size_t kFetchObject = 16;
    constexpr std::size_t kFetchProperties = 8;
    const std::size_t count = m_elements.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kFetchObject < count)
            Tracer::prefetch(cellOf(m_elements[i + kFetchObject]));
        if (i + kFetchProperties < count && m_elements[i + kFetchProperties].isObject())
            m_elements[i + kFetchProperties].asObject()->slots().prefetch();
        Cell* cell = cellOf(m_elements[i]);
        if (inline_ && m_elements[i].isObject() && !tracer.isMarked(cell)) {
            tracer.mark(cell);
            tracer.traceNow(cell);
        } else {
            tracer.mark(cell);
        }
    }
    if (inline_)
        t_tracingElements = false;
}

void ArrayObject::spillElements()
{
    if (m_elements.empty())
        return;
    // The vector's elements were made before everything in the map: they go first.
    PropertyMap merged;
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        String* name = m_heap.make<String>(std::string(digits, end));
        merged.append(name).value = m_elements[i];
    }
    slots().forEach([&](const Property& p) { merged.append(p.name) = p; });
    slots() = std::move(merged);
    truncateVector(0);
    m_elements.shrink_to_fit();
}

std::optional<std::size_t> ArrayObject::vectorPosition(const String* name) const
{
    if (m_elements.empty())
        return std::nullopt;
    const std::string_view text = name->view();
    if (text.empty() || text[0] < '0' || text[0] > '9' || text.size() > 10)
        return std::nullopt;
    const auto index = arrayIndexOf(text);
    if (!index || *index >= m_elements.size())
        return std::nullopt;
    return static_cast<std::size_t>(*index);
}

bool ArrayObject::mayAppend(Vm& vm, String* name, std::size_t position)
{
    if (slots().size() != 0 || m_elements.size() >= limits::kMaxPropertiesPerObject)
        return false;
    const std::string_view text = name->view();
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    if (const auto index = arrayIndexOf(text); !index || *index != position)
        return false;
    // A setter up the chain takes the assignment instead (Vm::setMember).
    Object* holder = prototype();
    for (int depth = 0; holder && depth < limits::kMaxPrototypeChain; ++depth) {
        if (Property* p = vm.findOwn(holder, name); p && p->isAccessor())
            return false;
        holder = holder->prototype();
    }
    return true;
}

void ArrayObject::appendToVector(Value value)
{
    m_elements.push_back(value);
    setElementVectorSize(m_elements.size());
}

void ArrayObject::truncateVector(std::size_t size)
{
    m_elements.resize(size);
    setElementVectorSize(size);
}

ArrayObject* makeArrayObject(Vm& vm, std::span<const Value> values)
{
    auto* array = vm.heap().make<ArrayObject>(vm.heap(), vm.builtins().arrayProto);
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
