#pragma once

// A RegExp instance: its source and flags as given, the compiled expression (none when
// the source is no pattern: such an expression matches nothing) and lastIndex.
#include "avm2/vm/Object.h"
#include "script/regexp/CompiledRegExp.h"

#include <optional>
#include <string>

namespace avm2 {

class RegExpObject final : public Object {
public:
    RegExpObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::RegExp)
    {}

    std::u16string source;
    script::regexp::RegExpFlags flags;
    std::optional<script::regexp::CompiledRegExp> compiled;
    std::int32_t lastIndex = 0;
};

inline RegExpObject* asRegExp(const Value& v)
{
    if (v.isObject() && v.asObject()->kind() == ObjectKind::RegExp)
        return static_cast<RegExpObject*>(v.asObject());
    return nullptr;
}

} // namespace avm2
