#include "ClassRegistry.h"

#include "avm1/Vm.h"

namespace avm1 {

void ClassRegistry::bind(std::string_view symbol, Object* constructor)
{
    auto it = m_entries.find(symbol);
    if (it != m_entries.end())
        it->second = constructor;
    else
        m_entries.emplace(std::string(symbol), constructor);
}

bool ClassRegistry::unbind(std::string_view symbol)
{
    auto it = m_entries.find(symbol);
    if (it == m_entries.end())
        return false;
    m_entries.erase(it);
    return true;
}

Object* ClassRegistry::find(std::string_view symbol, CaseRule rule) const
{
    if (auto it = m_entries.find(symbol); it != m_entries.end())
        return it->second;
    if (rule == CaseRule::Sensitive)
        return nullptr;
    for (const auto& [name, constructor] : m_entries)
        if (sameKey(name, symbol, rule))
            return constructor;
    return nullptr;
}

void ClassRegistry::traceChildren(Tracer& tracer)
{
    for (const auto& entry : m_entries)
        tracer.mark(entry.second);
}

ClassRegistry& registeredClasses(Vm& vm)
{
    Cell*& slot = vm.builtins().classRegistry;
    if (!slot) {
        auto* registry = vm.heap().make<ClassRegistry>();
        slot = registry;
        vm.addRoots([registry](Tracer& tracer) { tracer.mark(registry); });
    }
    return *static_cast<ClassRegistry*>(slot);
}

} // namespace avm1
