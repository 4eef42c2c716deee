#pragma once

// Object.registerClass: the table from exported symbol names to the constructors that
// clips made from those symbols are given (attachMovie, placement, duplication).

#include "avm1/Heap.h"
#include "avm1/String.h"

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

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_entries.size() * 64; }

private:
    std::map<std::string, Object*, std::less<>> m_entries;
};

// The VM's table, made on first use and kept alive with the VM.
ClassRegistry& registeredClasses(Vm& vm);

} // namespace avm1
