#pragma once

// Object.registerClass: the table from exported symbol names to the constructors that
// clips made from those symbols are given (attachMovie, placement, duplication).

#include "avm1/Heap.h"
#include "avm1/String.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace avm1 {

class Object;
class Vm;

class ClassRegistry final : public Cell {
public:
    void bind(std::string_view symbol, Object* constructor);
    // False when the name had no class.
    bool unbind(std::string_view symbol);
    // The class registered for `symbol`, compared as the movie compares names; null if
    // none.
    Object* find(std::string_view symbol, CaseRule rule) const;
    const std::map<std::string, Object*, std::less<>>& entries() const { return m_entries; }
    // The name `constructor` was bound to last (the alias its objects travel under in
    // AMF data); null when it has none.
    const std::string* nameOf(const Object* constructor) const;

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_entries.size() * 64; }

private:
    std::map<std::string, Object*, std::less<>> m_entries;
    // When each name was bound, counting bindings.
    std::map<std::string, std::uint64_t, std::less<>> m_boundAt;
    std::uint64_t m_bindings = 0;
};

// The running code's realm's table, made on first use and kept alive with the VM.
ClassRegistry& registeredClasses(Vm& vm);
// The table of the realm a display object's movie belongs to (Vm's realms), and the
// class registered for the symbol the object was made from, compared as that realm
// compares names; null if none.
ClassRegistry& registeredClassesOf(Vm& vm, int realm);
Object* classForSymbol(Vm& vm, int realm, std::string_view symbol);

} // namespace avm1
