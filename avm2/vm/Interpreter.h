#pragma once

#include "Object.h"

#include <span>

namespace avm2 {

class Vm;

// Whether an ABC method takes `count` arguments; throws ArgumentError #1063 when not.
// Checked before the call is entered, so the error's stack starts at the caller.
bool acceptsArguments(Vm& vm, MethodEnv& env, std::size_t count);
// Runs an ABC method: decodes its body on the first call, then interprets it.
Value interpret(Vm& vm, MethodEnv& env, const Value& thisValue, std::span<const Value> args);

} // namespace avm2
