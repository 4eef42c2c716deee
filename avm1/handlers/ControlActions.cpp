// Control: End, Jump, If.
#include "Handlers.h"
#include "Stack.h"

namespace avm1::handlers {

namespace {

void branch(Interpreter& in, Activation& frame, const Instruction& ins)
{
    if (ins.target == kBadTarget) {
        in.vm().logLazy([&] {
            return "branch between actions at offset " + std::to_string(ins.offset) +
                   " ends the block";
        });
        frame.ip = static_cast<std::uint32_t>(frame.block->instructions.size()) + 1;
        return;
    }
    const bool backward = ins.target < frame.ip;
    frame.ip = ins.target;
    // A backward jump is where loops turn. Only the outermost activation collects
    // there: below it, handlers of the calling activations may hold popped values in
    // C++ locals that no root reaches.
    if (backward && in.activations().size() == 1)
        in.vm().maybeCollect();
}

} // namespace

void doEnd(Interpreter&, Activation& frame, const Instruction&)
{
    frame.ip = static_cast<std::uint32_t>(frame.block->instructions.size());
}

void doJump(Interpreter& in, Activation& frame, const Instruction& ins)
{
    branch(in, frame, ins);
}

void doIf(Interpreter& in, Activation& frame, const Instruction& ins)
{
    if (in.vm().toBoolean(pop(in)))
        branch(in, frame, ins);
}

} // namespace avm1::handlers
