// Exceptions: Try, Throw.
#include "Handlers.h"
#include "Stack.h"

namespace avm1::handlers {

void doTry(Interpreter& in, Activation& frame, const Instruction& ins)
{
    if (frame.tries.size() >= limits::kMaxTryNesting) {
        in.vm().abortScripts("try blocks nested too deeply");
        return;
    }
    TryState state;
    state.def = &frame.block->tries[ins.operand];
    state.start = frame.ip;
    state.stackDepth = in.vm().stack().size();
    frame.tries.push_back(state);
}

void doThrow(Interpreter& in, Activation&, const Instruction&)
{
    in.vm().throwValue(pop(in));
}

} // namespace avm1::handlers
