#include "PropertyMap.h"

#include "Object.h"

namespace avm1 {

namespace {
constexpr std::int32_t kEmpty = -1;
constexpr std::int32_t kDeleted = -2;
} // namespace

std::int32_t PropertyMap::scan(std::string_view key, std::uint32_t hash, CaseRule rule) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Property& p = m_entries[i];
        if (p.name && p.name->foldedHash() == hash && sameKey(p.name->view(), key, rule))
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::int32_t PropertyMap::slotOf(const String* key, std::uint32_t hash, CaseRule rule) const
{
    if (m_index.empty())
        return scan(key->view(), hash, rule);
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t i = hash & mask, probes = 0; probes < m_index.size();
         i = (i + 1) & mask, ++probes) {
        const std::int32_t at = m_index[i];
        if (at == kEmpty)
            return -1;
        if (at == kDeleted)
            continue;
        const Property& p = m_entries[static_cast<std::size_t>(at)];
        if (p.name == key || (p.name->foldedHash() == hash && sameKey(p.name, key, rule)))
            return at;
    }
    return -1;
}

Property* PropertyMap::find(const String* key, CaseRule rule)
{
    const std::int32_t at = slotOf(key, key->foldedHash(), rule);
    return at < 0 ? nullptr : &m_entries[static_cast<std::size_t>(at)];
}

const Property* PropertyMap::find(const String* key, CaseRule rule) const
{
    const std::int32_t at = slotOf(key, key->foldedHash(), rule);
    return at < 0 ? nullptr : &m_entries[static_cast<std::size_t>(at)];
}

Property* PropertyMap::find(std::string_view key, CaseRule rule)
{
    const std::uint32_t hash = foldedHash(key);
    if (m_index.empty()) {
        const std::int32_t at = scan(key, hash, rule);
        return at < 0 ? nullptr : &m_entries[static_cast<std::size_t>(at)];
    }
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t i = hash & mask, probes = 0; probes < m_index.size();
         i = (i + 1) & mask, ++probes) {
        const std::int32_t at = m_index[i];
        if (at == kEmpty)
            return nullptr;
        if (at == kDeleted)
            continue;
        Property& p = m_entries[static_cast<std::size_t>(at)];
        if (p.name->foldedHash() == hash && sameKey(p.name->view(), key, rule))
            return &p;
    }
    return nullptr;
}

Property& PropertyMap::append(String* key)
{
    m_entries.push_back(Property{key, Value(), nullptr, nullptr, 0});
    ++m_live;
    const std::size_t position = m_entries.size() - 1;
    if (!m_index.empty() && (m_entries.size() * 2 <= m_index.size())) {
        const std::size_t mask = m_index.size() - 1;
        std::size_t i = key->foldedHash() & mask;
        while (m_index[i] >= 0)
            i = (i + 1) & mask;
        m_index[i] = static_cast<std::int32_t>(position);
    } else if (m_entries.size() > kScanLimit) {
        rebuildIndex();
    }
    return m_entries[position];
}

bool PropertyMap::remove(const String* key, CaseRule rule)
{
    const std::int32_t at = slotOf(key, key->foldedHash(), rule);
    if (at < 0)
        return false;
    const std::uint32_t hash = m_entries[static_cast<std::size_t>(at)].name->foldedHash();
    m_entries[static_cast<std::size_t>(at)] = Property{};
    --m_live;
    ++m_dead;
    if (m_dead > 16 && m_dead > m_live) {
        compact();
    } else if (!m_index.empty()) {
        // Only the entry's own index slot changes: rebuilding the whole index here
        // made every delete-and-assign loop (Array's shift, sort, reverse) quadratic.
        const std::size_t mask = m_index.size() - 1;
        for (std::size_t i = hash & mask, probes = 0; probes < m_index.size();
             i = (i + 1) & mask, ++probes) {
            if (m_index[i] == at) {
                m_index[i] = kDeleted;
                break;
            }
        }
    }
    return true;
}

void PropertyMap::compact()
{
    std::erase_if(m_entries, [](const Property& p) { return p.name == nullptr; });
    m_dead = 0;
    rebuildIndex();
}

void PropertyMap::rebuildIndex()
{
    if (m_entries.size() <= kScanLimit) {
        m_index.clear();
        return;
    }
    std::size_t capacity = 16;
    while (capacity < m_entries.size() * 2)
        capacity *= 2;
    m_index.assign(capacity, kEmpty);
    const std::size_t mask = capacity - 1;
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        if (!m_entries[e].name)
            continue;
        std::size_t i = m_entries[e].name->foldedHash() & mask;
        while (m_index[i] >= 0)
            i = (i + 1) & mask;
        m_index[i] = static_cast<std::int32_t>(e);
    }
}

void PropertyMap::trace(Tracer& tracer) const
{
    for (const Property& p : m_entries) {
        if (!p.name)
            continue;
        tracer.mark(p.name);
        tracer.mark(p.value);
        tracer.mark(p.getter);
        tracer.mark(p.setter);
    }
}

} // namespace avm1
