// Stack actions: Push, Pop, PushDuplicate, StackSwap, StoreRegister, ConstantPool.
#include "Handlers.h"
#include "Stack.h"

namespace avm1::handlers {

std::size_t popCount(Interpreter& in)
{
    const double n = in.vm().toNumber(pop(in));
    const std::size_t available = in.vm().stack().size();
    if (!(n > 0))
        return 0;
    return n >= static_cast<double>(available) ? available : static_cast<std::size_t>(n);
}

std::vector<Value> popValues(Interpreter& in, std::size_t count)
{
    std::vector<Value> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(pop(in));
    return values;
}

void doPush(Interpreter& in, Activation& frame, const Instruction& ins)
{
    const PushItem* item = frame.block->pushItems.data() + ins.operand;
    for (std::uint32_t i = 0; i < ins.u16; ++i, ++item) {
        switch (item->kind) {
        case PushItem::Kind::Literal:
            push(in, item->literal);
            break;
        case PushItem::Kind::Register:
            if (const Value* slot = frame.registerSlot(item->index))
                push(in, *slot);
            else
                push(in, Value());
            break;
        case PushItem::Kind::Constant: {
            const std::vector<String*>* pool = frame.constantPool;
            // An index past the pool pushes undefined, as the reference player does.
            if (pool && item->index < pool->size())
                push(in, Value((*pool)[item->index]));
            else
                push(in, Value());
            break;
        }
        }
    }
}

void doPop(Interpreter& in, Activation&, const Instruction&)
{
    pop(in);
}

void doPushDuplicate(Interpreter& in, Activation&, const Instruction&)
{
    push(in, peek(in));
}

void doStackSwap(Interpreter& in, Activation&, const Instruction&)
{
    const Value a = pop(in);
    const Value b = pop(in);
    push(in, a);
    push(in, b);
}

void doStoreRegister(Interpreter& in, Activation& frame, const Instruction& ins)
{
    if (Value* slot = frame.registerSlot(ins.u8))
        *slot = peek(in);
}

void doConstantPool(Interpreter&, Activation& frame, const Instruction& ins)
{
    frame.constantPool = &frame.block->constantPools[ins.operand];
}

void doUnknown(Interpreter& in, Activation&, const Instruction& ins)
{
    in.vm().logLazy([&] {
        return "skipped unknown action 0x" + std::to_string(static_cast<unsigned>(ins.code)) +
               " at offset " + std::to_string(ins.offset);
    });
}

} // namespace avm1::handlers
