#pragma once

// Namespace and QName instances, shared by the classes that read them (E4X).
#include "avm2/vm/Object.h"

namespace avm2 {

class NamespaceObject final : public Object {
public:
    NamespaceObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Namespace)
    {}
    const Namespace* ns = nullptr;
    Value prefix; // a String, or undefined when unknown
    // for-in sees prefix and uri.
    std::uint32_t nextEnumerable(std::uint32_t position) const override
    {
        return position < 2 ? position + 1 : 0;
    }
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override
    {
        Object::traceChildren(tracer);
        tracer.mark(prefix);
    }
};

class QNameObject final : public Object {
public:
    QNameObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::QName)
    {}
    const Namespace* ns = nullptr; // null for any namespace
    String* local = nullptr;       // null for the any name
    // for-in sees uri and localName.
    std::uint32_t nextEnumerable(std::uint32_t position) const override
    {
        return position < 2 ? position + 1 : 0;
    }
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override
    {
        Object::traceChildren(tracer);
        tracer.mark(local);
    }
};

// A Namespace of `uri` with `prefix` (undefined for unknown).
Value makeNamespace(Vm& vm, const Value& prefix, String* uri);
// A QName of `uri` (null for any namespace) and `local`.
Value makeQName(Vm& vm, String* uri, String* local, bool anyNamespace);

} // namespace avm2
