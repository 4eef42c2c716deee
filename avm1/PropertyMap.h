#pragma once

#include "String.h"
#include "Value.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace avm1 {

class Object;

// Property attributes, with the bit values ASSetPropFlags uses.
namespace PropertyFlag {
inline constexpr std::uint16_t DontEnum = 1;
inline constexpr std::uint16_t DontDelete = 2;
inline constexpr std::uint16_t ReadOnly = 4;
// ASSetPropFlags' higher bits hide a property from movies of some versions; they are
// kept as given and interpreted by versionHides().
inline constexpr std::uint16_t VersionMask = 0xFF80;
} // namespace PropertyFlag

// Whether a property with `flags` is invisible to a movie of `swfVersion`.
bool versionHides(std::uint16_t flags, int swfVersion);

struct Property {
    String* name = nullptr; // null marks a deleted entry
    Value value;
    // addProperty's accessors; a property with either is an accessor property.
    Object* getter = nullptr;
    Object* setter = nullptr;
    std::uint16_t flags = 0;
    // Calls of this property's accessors running now, nested: each accessor property
    // bounds its own recursion (limits::kMaxPropertyHookDepth).
    std::uint8_t hooksRunning = 0;

    bool isAccessor() const { return getter || setter; }
    bool enumerable() const { return !(flags & PropertyFlag::DontEnum); }
};

// An object's own properties, in the order they were first set (enumeration and
// several built-ins depend on it). Small maps are scanned; larger ones keep an open
// addressing index over the case-folded hash, which serves exact and folded lookups
// alike.
class PropertyMap {
public:
    Property* find(const String* key, CaseRule rule);
    const Property* find(const String* key, CaseRule rule) const;
    Property* find(std::string_view key, CaseRule rule);
    // Appends a new entry; the caller has checked that the key is absent.
    Property& append(String* key);
    bool remove(const String* key, CaseRule rule);

    std::size_t size() const { return m_live; }
    // Live entries in insertion order.
    template <typename F> void forEach(F&& f) const
    {
        for (const Property& p : m_entries)
            if (p.name)
                f(p);
    }
    template <typename F> void forEachMutable(F&& f)
    {
        for (Property& p : m_entries)
            if (p.name)
                f(p);
    }

    void trace(Tracer& tracer) const;
    // Starts fetching the entries, for a trace that will walk them soon.
    void prefetch() const
    {
        if (!m_entries.empty())
            __builtin_prefetch(m_entries.data(), 0);
    }
    std::size_t extraBytes() const
    {
        return m_entries.capacity() * sizeof(Property) + m_index.capacity() * sizeof(std::int32_t);
    }

private:
    static constexpr std::size_t kScanLimit = 8;
    std::int32_t slotOf(const String* key, std::uint32_t hash, CaseRule rule) const;
    std::int32_t scan(std::string_view key, std::uint32_t hash, CaseRule rule) const;
    void rebuildIndex();
    void compact();

    std::vector<Property> m_entries;
    std::vector<std::int32_t> m_index; // entry positions, -1 empty, -2 deleted
    std::size_t m_live = 0;
    std::size_t m_dead = 0;
};

} // namespace avm1
