#pragma once

#include "Value.h"

#include <cstdint>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace avm2 {

// Values by a cell key (an interned name, an object), in the order the keys were
// added: for-in walks `entries()`. Removal leaves a hole that enumeration skips; the
// table compacts when holes outnumber entries, which renumbers positions, so a for-in
// that deletes as it goes may skip entries (the reference promises nothing either).
template <typename Cell> class OrderedTable {
public:
    using Key = const Cell*;
    struct Entry {
        Cell* key = nullptr; // null for a removed entry
        Value value;
        bool enumerable = true;
    };

    Value* find(Key key)
    {
        auto it = m_index.find(key);
        return it == m_index.end() ? nullptr : &m_entries[it->second].value;
    }
    const Value* find(Key key) const
    {
        auto it = m_index.find(key);
        return it == m_index.end() ? nullptr : &m_entries[it->second].value;
    }
    // Sets or adds; returns the stored value.
    Value& set(Cell* key, const Value& value)
    {
        auto [it, added] = m_index.try_emplace(key, static_cast<std::uint32_t>(m_entries.size()));
        if (added)
            m_entries.push_back(Entry{key, value, true});
        else
            m_entries[it->second].value = value;
        return m_entries[it->second].value;
    }
    bool remove(Key key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return false;
        m_entries[it->second] = Entry{};
        m_index.erase(it);
        if (++m_holes > 16 && m_holes > m_index.size()) {
            std::erase_if(m_entries, [](const Entry& e) { return e.key == nullptr; });
            m_index.clear();
            for (std::uint32_t i = 0; i < m_entries.size(); ++i)
                m_index.emplace(m_entries[i].key, i);
            m_holes = 0;
        }
        return true;
    }
    bool setEnumerable(Key key, bool enumerable)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return false;
        m_entries[it->second].enumerable = enumerable;
        return true;
    }
    bool isEnumerable(Key key) const
    {
        auto it = m_index.find(key);
        return it != m_index.end() && m_entries[it->second].enumerable;
    }
    std::size_t size() const { return m_index.size(); }
    const std::vector<Entry>& entries() const { return m_entries; }
    std::size_t capacityBytes() const { return m_entries.capacity() * sizeof(Entry); }
    void trace(script::Tracer& tracer) const
    {
        for (const Entry& e : m_entries) {
            tracer.mark(e.key);
            tracer.mark(e.value);
        }
    }

private:
    std::vector<Entry> m_entries;
    std::unordered_map<Key, std::uint32_t> m_index;
    std::uint32_t m_holes = 0;
};

} // namespace avm2
