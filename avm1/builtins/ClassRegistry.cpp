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
    m_boundAt[std::string(symbol)] = ++m_bindings;
}

const std::string* ClassRegistry::nameOf(const Object* constructor) const
{
    const std::string* found = nullptr;
    std::uint64_t latest = 0;
    for (const auto& [name, bound] : m_entries) {
        if (bound != constructor)
            continue;
        auto at = m_boundAt.find(name);
        const std::uint64_t when = at == m_boundAt.end() ? 0 : at->second;
        if (!found || when > latest) {
            found = &name;
            latest = when;
        }
    }
    return found;
}

bool ClassRegistry::unbind(std::string_view symbol)
{
    auto it = m_entries.find(symbol);
    if (it == m_entries.end())
        return false;
    m_entries.erase(it);
    m_boundAt.erase(std::string(symbol));
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
    return registeredClassesOf(vm, vm.realm());
}

Object* classForSymbol(Vm& vm, int realm, std::string_view symbol)
{
    const CaseRule rule = realm == Vm::realmOf(7) ? CaseRule::Sensitive : CaseRule::Insensitive;
    return registeredClassesOf(vm, realm).find(symbol, rule);
}

ClassRegistry& registeredClassesOf(Vm& vm, int realm)
{
    Cell*& slot = vm.builtinsOf(realm).classRegistry;
    if (!slot) {
        auto* registry = vm.heap().make<ClassRegistry>();
        slot = registry;
        vm.addRoots([registry](Tracer& tracer) { tracer.mark(registry); });
    }
    return *static_cast<ClassRegistry*>(slot);
}

} // namespace avm1
