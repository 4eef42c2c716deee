#pragma once

// A class's traits: what its instances (or the class object itself, or a script's
// global, or an activation) hold by declaration. Built once, when the class is made,
// from the base's traits and the class's own; never changed after, so a pointer to
// them is a safe key for caches.
#include "Names.h"
#include "Object.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace avm2 {

struct AbcUnit;

// A declared type: resolved to its class on first use (classes may be declared after
// the traits that name them). Unset means any type (*).
struct TypeRef {
    AbcUnit* unit = nullptr;
    std::uint32_t multiname = 0;
    mutable ClassObject* resolved = nullptr;
    mutable bool resolving = false;
    bool isAny() const { return (unit == nullptr || multiname == 0) && resolved == nullptr; }
};

struct Binding {
    enum class Kind : std::uint8_t { Slot, Const, Method, Accessor };
    static constexpr std::uint32_t kNone = 0xffffffffu;
    Kind kind = Kind::Slot;
    std::uint32_t index = kNone;  // slot index, or vtable index of a method
    std::uint32_t getter = kNone; // vtable indices of an accessor
    std::uint32_t setter = kNone;
};

struct SlotInfo {
    String* name = nullptr;
    TypeRef type;
    Value initial;
};

class Traits {
public:
    struct Entry {
        const Namespace* ns = nullptr;
        Binding binding;
    };

    const Traits* base = nullptr;
    ClassObject* owner = nullptr; // whose instances (or whose class object) these are
    String* name = nullptr;       // for messages: "Test", "Test$", "global"
    bool sealed = true;
    bool isInterface = false;
    bool isFinal = false;
    const Namespace* protectedNs = nullptr;
    std::vector<SlotInfo> slots;
    std::vector<MethodEnv*> vtable;
    std::unordered_map<const String*, std::vector<Entry>> names;
    std::vector<ClassObject*> interfaces; // every interface, inherited ones too

    // The binding of `name`, or null. A name that matches in several namespaces takes
    // the first in the name's set order.
    const Binding* find(const Name& name) const;
    const Binding* findQualified(const String* local, const Namespace* ns) const;
    Binding* findQualified(const String* local, const Namespace* ns);
    // The binding of `local` in any public namespace, for the names strings make.
    const Binding* findPublic(const String* local) const;
    void add(String* local, const Namespace* ns, Binding binding);
    // The qualified name of a vtable entry or slot, for describeType and messages.
    bool implements(const ClassObject* interface) const;

    void trace(script::Tracer& tracer) const;
};

} // namespace avm2
