#include "Traits.h"

#include "ClassObject.h"

namespace avm2 {

const Binding* Traits::find(const Name& wanted) const
{
    if (!wanted.local)
        return nullptr;
    auto it = names.find(wanted.local);
    if (it == names.end())
        return nullptr;
    const auto& entries = it->second;
    if (wanted.set) {
        // The set's order decides between namespaces that both match.
        for (const Namespace* ns : wanted.set->namespaces)
            for (const Entry& e : entries)
                if (e.ns == ns)
                    return &e.binding;
        return nullptr;
    }
    for (const Entry& e : entries)
        if (wanted.matches(e.ns))
            return &e.binding;
    return nullptr;
}

const Binding* Traits::findQualified(const String* local, const Namespace* ns) const
{
    auto it = names.find(local);
    if (it == names.end())
        return nullptr;
    for (const Entry& e : it->second)
        if (e.ns == ns)
            return &e.binding;
    return nullptr;
}

Binding* Traits::findQualified(const String* local, const Namespace* ns)
{
    auto it = names.find(local);
    if (it == names.end())
        return nullptr;
    for (Entry& e : it->second)
        if (e.ns == ns)
            return &e.binding;
    return nullptr;
}

const Binding* Traits::findPublic(const String* local) const
{
    auto it = names.find(local);
    if (it == names.end())
        return nullptr;
    for (const Entry& e : it->second)
        if (e.ns->kind == NsKind::Public && e.ns->uri->empty())
            return &e.binding;
    return nullptr;
}

void Traits::add(String* local, const Namespace* ns, Binding binding)
{
    auto& entries = names[local];
    for (Entry& e : entries) {
        if (e.ns == ns) {
            e.binding = binding;
            return;
        }
    }
    entries.push_back(Entry{ns, binding});
}

bool Traits::implements(const ClassObject* interface) const
{
    for (const ClassObject* i : interfaces)
        if (i == interface)
            return true;
    return false;
}

void Traits::trace(script::Tracer& tracer) const
{
    tracer.mark(owner);
    tracer.mark(name);
    for (const SlotInfo& s : slots) {
        tracer.mark(s.name);
        tracer.mark(s.initial);
        tracer.mark(s.type.resolved);
    }
    for (MethodEnv* m : vtable)
        tracer.mark(m);
    for (const auto& [local, entries] : names)
        tracer.mark(const_cast<String*>(local));
    for (ClassObject* i : interfaces)
        tracer.mark(i);
}

bool ClassObject::isSubclassOf(const ClassObject* other) const
{
    for (const ClassObject* c = this; c; c = c->base)
        if (c == other)
            return true;
    return false;
}

void ClassObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    if (ownClassTraits)
        ownClassTraits->trace(tracer);
    if (instanceTraits)
        instanceTraits->trace(tracer);
    tracer.mark(base);
    tracer.mark(instancePrototype);
    tracer.mark(initializer);
    tracer.mark(qualifiedName);
    tracer.mark(localName);
    tracer.mark(typeParameter);
    for (const auto& [k, v] : applied) {
        tracer.mark(k);
        tracer.mark(v);
    }
}

} // namespace avm2
