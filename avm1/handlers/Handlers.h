#pragma once

// One handler per action, in files by family (StackActions.cpp, ArithmeticActions.cpp
// ...). A handler runs one instruction on the activation: it pops and pushes on the
// VM's stack, and moves the activation's ip for branches (the loop has already moved
// it past the instruction).

#include "avm1/ActionList.h"
#include "avm1/Interpreter.h"

namespace avm1::handlers {

using Handler = void (*)(Interpreter& in, Activation& frame, const Instruction& ins);

#define AVM1_HANDLER_DECLARE(name, code, shape, family, version)                                   \
    void do##name(Interpreter& in, Activation& frame, const Instruction& ins);
AVM1_ACTION_LIST(AVM1_HANDLER_DECLARE)
#undef AVM1_HANDLER_DECLARE

// Codes no action has: skipped, as the reference player skips them.
void doUnknown(Interpreter& in, Activation& frame, const Instruction& ins);

} // namespace avm1::handlers
