#include "ArrayElements.h"

#include "avm1/Vm.h"

#include <limits>
#include <string>

namespace avm1 {

ElementTarget::ElementTarget(Vm& vm, const CallArgs& call) : ElementTarget(vm, call.thisValue) {}

ElementTarget::ElementTarget(Vm& vm, Value thisValue) : m_vm(vm)
{
    m_object = thisValue.isObject() ? thisValue.asObject() : vm.toObject(thisValue);
    if (!m_object)
        return;
    m_array = asArrayObject(m_object);
    if (m_array) {
        m_length = m_array->length();
        return;
    }
    // Like the elements, the length is read without asking __resolve.
    Value length;
    if (vm.lookup(m_object, vm.names().length, length))
        m_length = vm.toInt32(length);
}

Value ElementTarget::read(std::int64_t index)
{
    Value out;
    if (!m_vm.lookup(m_object, indexName(m_vm, index), out))
        return Value();
    return out;
}

Value ElementTarget::readOwn(std::int64_t index)
{
    if (m_array && index >= 0 && index <= std::numeric_limits<std::uint32_t>::max()) {
        Value out;
        m_array->getOwn(m_vm, static_cast<std::uint32_t>(index), out);
        return out;
    }
    Property* p = m_vm.findOwn(m_object, indexName(m_vm, index));
    if (!p)
        return Value();
    if (!p->isAccessor())
        return p->value;
    Object* getter = p->getter;
    return getter ? m_vm.call(Value(getter), Value(m_object), {}) : Value();
}

void ElementTarget::write(std::int64_t index, Value value)
{
    m_vm.setMember(m_object, indexName(m_vm, index), value);
}

bool ElementTarget::hasOwn(std::int64_t index)
{
    if (m_array && index >= 0 && index <= std::numeric_limits<std::uint32_t>::max())
        return m_array->hasOwn(m_vm, static_cast<std::uint32_t>(index));
    return m_vm.findOwn(m_object, indexName(m_vm, index)) != nullptr;
}

void ElementTarget::remove(std::int64_t index)
{
    m_vm.deleteMember(m_object, indexName(m_vm, index));
}

void ElementTarget::replace(std::int64_t index, Value value)
{
    String* name = indexName(m_vm, index);
    m_vm.deleteMember(m_object, name);
    m_vm.setMember(m_object, name, value);
}

void ElementTarget::writeLength(std::int64_t length)
{
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(length));
    if (m_array)
        m_array->setLength(m_vm, wrapped);
    else
        m_vm.setMember(m_object, m_vm.names().length, Value(static_cast<double>(length)));
    m_length = wrapped;
}

bool ElementTarget::failed() const
{
    return m_vm.throwing() || m_vm.aborted();
}

bool ElementTarget::withinCap(std::int64_t elements, std::string_view method)
{
    if (elements <= static_cast<std::int64_t>(limits::kMaxArrayMethodElements))
        return true;
    m_vm.abortScripts("Array." + std::string(method) + " over " + std::to_string(elements) +
                      " elements");
    return false;
}

} // namespace avm1
