#pragma once

#include "Object.h"

#include <span>

namespace avm2 {

class Vm;

// Runs an ABC method: decodes its body on the first call, then interprets it.
Value interpret(Vm& vm, MethodEnv& env, const Value& thisValue, std::span<const Value> args);

} // namespace avm2
