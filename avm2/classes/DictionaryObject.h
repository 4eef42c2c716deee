#pragma once

// flash.utils.Dictionary's native object: values keyed by object identity, beside the
// dynamic properties that hold every other key by its text.
#include "avm2/vm/Object.h"

#include <vector>

namespace avm2 {

class DictionaryObject final : public Object {
public:
    DictionaryObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Dictionary)
    {}

    using Entry = OrderedTable<Object>::Entry;

    // Weak keys are kept as strong ones: the collector has no weak references, so an
    // object used as a key lives as long as the dictionary does.
    bool weakKeys = false;

    Value* find(Object* key) { return m_objects.find(key); }
    void set(Object* key, const Value& value) { m_objects.set(key, value); }
    bool remove(Object* key) { return m_objects.remove(key); }
    const std::vector<Entry>& entries() const { return m_objects.entries(); }

    // Object keys come first in for-in, then the named ones.
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_objects.capacityBytes(); }

private:
    OrderedTable<Object> m_objects;
};

} // namespace avm2
