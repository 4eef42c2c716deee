#pragma once

// flash.utils.Dictionary's native object: values keyed by object identity, beside the
// dynamic properties that hold every other key by its text.
#include "avm2/vm/Object.h"

#include <unordered_map>
#include <vector>

namespace avm2 {

class DictionaryObject final : public Object {
public:
    DictionaryObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Dictionary)
    {}

    struct Entry {
        Object* key = nullptr; // null for a removed entry
        Value value;
    };

    // Weak keys are kept as strong ones: the collector has no weak references, so an
    // object used as a key lives as long as the dictionary does.
    bool weakKeys = false;

    Value* find(Object* key);
    void set(Object* key, const Value& value);
    bool remove(Object* key);
    const std::vector<Entry>& entries() const { return m_entries; }

    // Object keys come first in for-in, then the named ones.
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_entries.capacity() * sizeof(Entry); }

private:
    std::vector<Entry> m_entries;
    std::unordered_map<Object*, std::uint32_t> m_index;
    std::uint32_t m_holes = 0;
};

} // namespace avm2
