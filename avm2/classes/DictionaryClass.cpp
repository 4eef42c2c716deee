// flash.utils.Dictionary: a dynamic object whose object keys are kept by identity
// (obj[key] with an object key never turns the key into text); every other key is an
// ordinary dynamic property.
#include "DictionaryObject.h"
#include "Native.h"
#include "avm2/vm/Operations.h"

#include <algorithm>

namespace avm2 {

using namespace native;

std::uint32_t DictionaryObject::nextEnumerable(std::uint32_t position) const
{
    const auto count = static_cast<std::uint32_t>(m_objects.entries().size());
    for (std::uint32_t i = position; i < count; ++i)
        if (m_objects.entries()[i].key)
            return i + 1;
    return nextDynamic(position, count);
}

Value DictionaryObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    const auto& entries = m_objects.entries();
    const auto count = static_cast<std::uint32_t>(entries.size());
    if (position >= 1 && position <= count)
        return entries[position - 1].key ? Value(entries[position - 1].key) : Value();
    return Object::enumerableName(vm, position - count);
}

Value DictionaryObject::enumerableValue(Vm& vm, std::uint32_t position)
{
    const auto count = static_cast<std::uint32_t>(m_objects.entries().size());
    if (position >= 1 && position <= count)
        return m_objects.entries()[position - 1].value;
    return Object::enumerableValue(vm, position - count);
}

void DictionaryObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    m_objects.trace(tracer);
}

bool dictionaryAccess(Vm&, Object& dictionary, KeyedOp op, Object& key, const Value& value,
                      Value& out)
{
    // QName keys name properties as they do on any object.
    if (key.kind() == ObjectKind::QName)
        return false;
    auto& d = static_cast<DictionaryObject&>(dictionary);
    switch (op) {
    case KeyedOp::Get:
    case KeyedOp::Call: {
        const Value* v = d.find(&key);
        out = v ? *v : Value();
        return op == KeyedOp::Get || v;
    }
    case KeyedOp::Set:
        d.set(&key, value);
        return true;
    case KeyedOp::Has:
        out = Value(d.find(&key) != nullptr);
        return true;
    case KeyedOp::Delete:
        d.remove(&key);
        out = Value(true);
        return true;
    case KeyedOp::Descendants:
        return false;
    }
    return false;
}

namespace {

Object* allocateDictionary(Vm& vm, ClassObject& cls)
{
    return vm.make<DictionaryObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

Value constructDictionary(Vm&, const Value& self, Args args)
{
    if (auto* d = static_cast<DictionaryObject*>(self.objectOrNull());
        d && d->kind() == ObjectKind::Dictionary)
        d->weakKeys = Vm::toBoolean(arg(args, 0));
    return Value();
}

// JSON writes a dictionary as its class name: its keys need not be text.
Value dictionaryToJson(Vm& vm, const Value&, Args)
{
    return Value(vm.intern("Dictionary"));
}

} // namespace

void defineDictionaryClass(Vm& vm)
{
    NativeClassHooks hooks;
    hooks.allocate = allocateDictionary;
    hooks.construct = constructDictionary;
    ClassObject* c = vm.defineClass("flash.utils", "Dictionary", vm.builtins().object, true, hooks);
    vm.definePrototypeFunction(c->instancePrototype, "toJSON", dictionaryToJson, 1);
}

} // namespace avm2
