#pragma once

// Namespaces and names as the machine uses them. Namespaces are interned by the Vm:
// two namespaces are the same exactly when their pointers are, so that lookups compare
// pointers (private namespaces are each their own, whatever their text).
#include "String.h"

#include <cstdint>
#include <vector>

namespace avm2 {

class Object;

enum class NsKind : std::uint8_t {
    Public,
    PackageInternal,
    Protected,
    StaticProtected,
    Explicit,
    Private
};

struct Namespace {
    NsKind kind = NsKind::Public;
    String* uri = nullptr; // interned
    // Public namespaces and package-internal ones are each one per URI; the others
    // record where they came from only for printing.
};

struct NamespaceSet {
    std::vector<const Namespace*> namespaces;
    bool hasPublic = false; // any public namespace: dynamic properties are visible
};

// A name at run time: a multiname with its run-time parts filled in. `local` is null
// for the any name; `ns` or `set` says which namespaces match, or neither for any.
struct Name {
    String* local = nullptr;
    const Namespace* ns = nullptr;
    const NamespaceSet* set = nullptr;
    bool attribute = false;
    bool anyNamespace = false;
    // The object a run-time name was made from (obj[key] with an object key): a
    // Dictionary keys by it rather than by its text.
    Object* key = nullptr;

    bool matches(const Namespace* candidate) const
    {
        if (anyNamespace)
            return true;
        if (ns)
            return ns == candidate;
        if (set) {
            for (const Namespace* n : set->namespaces)
                if (n == candidate)
                    return true;
        }
        return false;
    }
    // Whether dynamic (public) properties answer to the name.
    bool seesPublic() const
    {
        if (anyNamespace)
            return true;
        if (ns)
            return ns->kind == NsKind::Public && ns->uri->empty();
        return set && set->hasPublic;
    }
};

} // namespace avm2
