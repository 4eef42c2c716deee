#pragma once

// What RegExp's class and String's matching methods share.
#include "RegExpObject.h"
#include "avm2/vm/Vm.h"

#include <string>
#include <string_view>

namespace avm2 {

// Compiles `source` into `re`. False with an error thrown when the reference throws
// for the source; a source that is otherwise no pattern leaves `re` matching nothing.
bool compileInto(Vm& vm, RegExpObject& re, std::u16string source,
                 const script::regexp::RegExpFlags& flags);

// One search from `start`; false with an error thrown when it ran out of its budget.
bool execRegExp(Vm& vm, const RegExpObject& re, std::u16string_view subject, std::size_t start,
                script::regexp::ExecResult& out);

// exec's result: the groups, then index, input and the named groups as properties.
Value matchArray(Vm& vm, const RegExpObject& re, const String* input,
                 const script::regexp::Match& match);

// RegExp.exec: from lastIndex when global (which it then moves), else from 0.
Value execWithLastIndex(Vm& vm, RegExpObject& re, String* input);

// The argument itself when a RegExp, else new RegExp(String(pattern)).
Value toRegExp(Vm& vm, const Value& pattern);

} // namespace avm2
