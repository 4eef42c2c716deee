#include "Object.h"

#include "ClassObject.h"
#include "Traits.h"
#include "Vm.h"

#include <algorithm>

namespace avm2 {

// Objects ------------------------------------------------------------------------------

Object::Object(const Traits* traits, Object* prototype, ObjectKind kind)
    : m_traits(traits), m_prototype(prototype), m_kind(kind)
{
    if (traits && !traits->slots.empty()) {
        m_slots.reserve(traits->slots.size());
        for (const SlotInfo& s : traits->slots)
            m_slots.push_back(s.initial);
    }
}

void Object::adoptTraits(const Traits* traits)
{
    m_traits = traits;
    m_slots.clear();
    for (const SlotInfo& s : traits->slots)
        m_slots.push_back(s.initial);
}

ClassObject* Object::classObject() const
{
    return m_traits ? m_traits->owner : nullptr;
}

bool Object::isDynamic() const
{
    return !m_traits || !m_traits->sealed;
}

bool Object::getIndex(Vm&, std::uint32_t, Value&)
{
    return false;
}
bool Object::setIndex(Vm&, std::uint32_t, const Value&)
{
    return false;
}
bool Object::deleteIndex(Vm&, std::uint32_t)
{
    return false;
}
bool Object::hasIndex(std::uint32_t) const
{
    return false;
}
bool Object::numericName(Vm&, const String*, std::uint32_t&)
{
    return false;
}

std::uint32_t Object::nextDynamic(std::uint32_t position, std::uint32_t base) const
{
    const auto& entries = m_dynamic.entries();
    std::uint32_t i = position < base ? 0 : position - base;
    for (; i < entries.size(); ++i)
        if (entries[i].key && entries[i].enumerable)
            return base + i + 1;
    return 0;
}

bool Object::getNamed(Vm&, const Name&, Value&)
{
    return false;
}

bool Object::setNamed(Vm&, const Name&, const Value&)
{
    return false;
}

bool Object::deleteNamed(Vm&, const Name&, bool&)
{
    return false;
}

bool Object::hasNamed(Vm&, const Name&, bool&)
{
    return false;
}

std::uint32_t Object::nextEnumerable(std::uint32_t position) const
{
    return nextDynamic(position, 0);
}

namespace {
// A name spelling a small non-negative integer is kept by the reference as that number,
// so for-in gives it back as one: typeof is "number" for o["1"]'s key.
Value enumeratedKey(String* key)
{
    const std::u16string_view t = key->view();
    if (t.empty() || t.size() > 9 || (t[0] == u'0' && t.size() > 1))
        return Value(key);
    std::int32_t n = 0;
    for (char16_t c : t) {
        if (c < u'0' || c > u'9')
            return Value(key);
        n = n * 10 + (c - u'0');
    }
    return n < (1 << 28) ? Value(n) : Value(key);
}
} // namespace

Value Object::enumerableName(Vm&, std::uint32_t position) const
{
    const auto& entries = m_dynamic.entries();
    if (position == 0 || position > entries.size() || !entries[position - 1].key)
        return Value();
    return enumeratedKey(entries[position - 1].key);
}

Value Object::enumerableValue(Vm&, std::uint32_t position)
{
    const auto& entries = m_dynamic.entries();
    if (position == 0 || position > entries.size())
        return Value();
    return entries[position - 1].value;
}

void Object::traceChildren(script::Tracer& tracer)
{
    tracer.mark(m_prototype);
    if (m_traits && m_traits->owner)
        tracer.mark(m_traits->owner);
    for (const Value& v : m_slots)
        tracer.mark(v);
    m_dynamic.trace(tracer);
}

void MethodEnv::traceChildren(script::Tracer& tracer)
{
    tracer.mark(scope);
    tracer.mark(declaringClass);
    tracer.mark(name);
    tracer.mark(traceName);
}

void ScopeChain::traceChildren(script::Tracer& tracer)
{
    tracer.mark(parent);
    tracer.mark(value);
}

void FunctionObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(env);
    tracer.mark(boundThis);
    tracer.mark(functionPrototype);
}

// Arrays -------------------------------------------------------------------------------

namespace {
// Elements this far past the dense part go to the sparse table, so that a[4e9] = 1
// does not allocate four billion values.
constexpr std::uint32_t kDenseGap = 1024;
} // namespace

void ArrayObject::setLength(std::uint32_t length)
{
    if (length < m_dense.size()) {
        m_dense.resize(length);
        m_present.resize(length);
    }
    if (!m_sparse.empty())
        std::erase_if(m_sparse, [length](const auto& e) { return e.first >= length; });
    m_length = length;
}

Value ArrayObject::get(std::uint32_t index) const
{
    if (index < m_dense.size())
        return m_present[index] ? m_dense[index] : Value();
    auto it = m_sparse.find(index);
    return it == m_sparse.end() ? Value() : it->second;
}

void ArrayObject::set(std::uint32_t index, const Value& value)
{
    if (index < m_dense.size()) {
        m_dense[index] = value;
        m_present[index] = true;
    } else if (index <= m_dense.size() + kDenseGap && m_sparse.empty()) {
        m_dense.resize(index + 1);
        m_present.resize(index + 1);
        m_dense[index] = value;
        m_present[index] = true;
    } else {
        m_sparse[index] = value;
    }
    if (index >= m_length)
        m_length = index + 1;
}

bool ArrayObject::has(std::uint32_t index) const
{
    if (index < m_dense.size())
        return m_present[index];
    return m_sparse.count(index) != 0;
}

void ArrayObject::remove(std::uint32_t index)
{
    if (index < m_dense.size()) {
        m_dense[index] = Value();
        m_present[index] = false;
    } else {
        m_sparse.erase(index);
    }
}

bool ArrayObject::getIndex(Vm&, std::uint32_t index, Value& out)
{
    out = get(index);
    if (!has(index))
        return false;
    return true;
}

bool ArrayObject::setIndex(Vm&, std::uint32_t index, const Value& value)
{
    if (index == 0xffffffffu)
        return false;
    set(index, value);
    return true;
}

bool ArrayObject::deleteIndex(Vm&, std::uint32_t index)
{
    remove(index);
    return true;
}

bool ArrayObject::hasIndex(std::uint32_t index) const
{
    return has(index);
}

std::uint32_t ArrayObject::nextEnumerable(std::uint32_t position) const
{
    // Positions 1..dense are the dense elements, then the sparse ones in index order,
    // then the dynamic properties.
    const auto denseCount = static_cast<std::uint32_t>(m_dense.size());
    for (std::uint32_t i = position; i < denseCount; ++i)
        if (m_present[i])
            return i + 1;
    const auto sparseBase = denseCount;
    std::vector<std::uint32_t> keys;
    if (!m_sparse.empty()) {
        for (const auto& e : m_sparse)
            keys.push_back(e.first);
        std::sort(keys.begin(), keys.end());
        std::uint32_t k = position > sparseBase ? position - sparseBase : 0;
        if (k < keys.size())
            return sparseBase + k + 1;
    }
    return nextDynamic(position, sparseBase + static_cast<std::uint32_t>(keys.size()));
}

Value ArrayObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    const auto denseCount = static_cast<std::uint32_t>(m_dense.size());
    if (position >= 1 && position <= denseCount)
        return vm.numberToString(position - 1);
    std::vector<std::uint32_t> keys;
    for (const auto& e : m_sparse)
        keys.push_back(e.first);
    std::sort(keys.begin(), keys.end());
    if (position > denseCount && position <= denseCount + keys.size())
        return vm.numberToString(keys[position - denseCount - 1]);
    return Object::enumerableName(vm,
                                  position - denseCount - static_cast<std::uint32_t>(keys.size()));
}

Value ArrayObject::enumerableValue(Vm& vm, std::uint32_t position)
{
    const auto denseCount = static_cast<std::uint32_t>(m_dense.size());
    if (position >= 1 && position <= denseCount)
        return get(position - 1);
    std::vector<std::uint32_t> keys;
    for (const auto& e : m_sparse)
        keys.push_back(e.first);
    std::sort(keys.begin(), keys.end());
    if (position > denseCount && position <= denseCount + keys.size())
        return get(keys[position - denseCount - 1]);
    return Object::enumerableValue(vm,
                                   position - denseCount - static_cast<std::uint32_t>(keys.size()));
}

void ArrayObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    for (const Value& v : m_dense)
        tracer.mark(v);
    for (const auto& e : m_sparse)
        tracer.mark(e.second);
}

} // namespace avm2
