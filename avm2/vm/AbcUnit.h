#pragma once

// An ABC block as the machine holds it once loaded: the parsed file with its names
// interned and linked, the classes its newclass instructions made, its scripts and
// the method bodies decoded for the interpreter on their first call.
#include "Names.h"
#include "Traits.h"
#include "avm2/abc/AbcFile.h"

#include <deque>
#include <memory>
#include <vector>

namespace avm2 {

struct DecodedBody;

struct ScriptEnv {
    enum class State : std::uint8_t { NotRun, Running, Done };
    AbcUnit* unit = nullptr;
    std::uint32_t index = 0;
    Object* global = nullptr;
    std::unique_ptr<Traits> traits;
    State state = State::NotRun;
};

struct AbcUnit {
    abc::AbcFile file;
    std::vector<String*> strings;
    std::vector<const Namespace*> namespaces;
    std::deque<NamespaceSet> namespaceSets;
    std::vector<Name> names;
    std::vector<ClassObject*> classes;
    std::vector<std::unique_ptr<ScriptEnv>> scripts;
    std::vector<std::unique_ptr<DecodedBody>> decoded;
    std::vector<std::unique_ptr<Traits>> activationTraits;
    std::vector<MethodEnv*> catchEnvs; // kept for tracing
    // Each multiname as a type, resolved on first use by coerce, istype and astype.
    std::vector<TypeRef> types;

    ~AbcUnit();
    void trace(script::Tracer& tracer) const;
};

} // namespace avm2
