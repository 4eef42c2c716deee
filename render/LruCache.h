#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

namespace render {

// A map that forgets its least recently used entries once their total cost passes a
// budget. Values are shared so that what a frame took from the cache stays valid to the
// end of that frame even if a later lookup evicts it.
template <typename Key, typename Value, typename Hash = std::hash<Key>> class LruCache {
public:
    explicit LruCache(std::size_t budget) : m_budget(budget) {}

    // The entry for `key`, now the most recently used, or null.
    std::shared_ptr<Value> find(const Key& key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->value;
    }

    // Adds or replaces the entry for `key`, then evicts old entries while over budget;
    // the new entry itself always stays.
    std::shared_ptr<Value> insert(const Key& key, std::shared_ptr<Value> value, std::size_t cost)
    {
        erase(key);
        m_order.push_front(Entry{key, std::move(value), cost});
        m_index.emplace(key, m_order.begin());
        m_total += cost;
        while (m_total > m_budget && m_order.size() > 1)
            erase(m_order.back().key);
        return m_order.front().value;
    }

    void erase(const Key& key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return;
        m_total -= it->second->cost;
        m_order.erase(it->second);
        m_index.erase(it);
    }

    void clear()
    {
        m_index.clear();
        m_order.clear();
        m_total = 0;
    }

    std::size_t size() const { return m_order.size(); }
    std::size_t totalCost() const { return m_total; }

private:
    struct Entry {
        Key key;
        std::shared_ptr<Value> value;
        std::size_t cost = 0;
    };
    std::size_t m_budget;
    std::size_t m_total = 0;
    std::list<Entry> m_order; // most recent first
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> m_index;
};

// Combines hashes of the parts of a composite key.
inline std::size_t hashCombine(std::size_t seed, std::size_t value)
{
    return seed ^ (value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
}

} // namespace render
