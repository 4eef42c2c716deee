// One line per action: offset, the format document's name, operands.
#include "Bytecode.h"
#include "String.h"

#include <cstdio>

namespace avm1 {

namespace {

std::string quoted(const String* s)
{
    std::string out = "\"";
    for (char c : s->view()) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string number(double d)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", d);
    return buffer;
}

std::string pushItem(const DecodedBlock& block, const PushItem& item)
{
    switch (item.kind) {
    case PushItem::Kind::Register:
        return "r:" + std::to_string(item.index);
    case PushItem::Kind::Constant:
        return "c:" + std::to_string(item.index);
    case PushItem::Kind::Literal:
        break;
    }
    const Value& v = item.literal;
    switch (v.type()) {
    case Value::Type::Undefined:
        return "undefined";
    case Value::Type::Null:
        return "null";
    case Value::Type::Boolean:
        return v.asBoolean() ? "true" : "false";
    case Value::Type::Number:
        return number(v.asNumber());
    case Value::Type::String:
        return quoted(v.asString());
    case Value::Type::Object:
        break;
    }
    (void)block;
    return "?";
}

std::string target(const DecodedBlock& block, std::uint32_t index)
{
    if (index == kBadTarget)
        return "<between actions>";
    if (index >= block.instructions.size())
        return "<end>";
    return "@" + std::to_string(block.instructions[index].offset);
}

} // namespace

std::string disassemble(const DecodedBlock& block)
{
    std::string out;
    for (std::size_t i = 0; i < block.instructions.size(); ++i) {
        const Instruction& ins = block.instructions[i];
        const ActionInfo& info = actionInfo(static_cast<std::uint8_t>(ins.code));
        char head[32];
        std::snprintf(head, sizeof head, "%6u  ", ins.offset);
        out += head;
        if (info.name.empty()) {
            char unknown[24];
            std::snprintf(unknown, sizeof unknown, "Unknown 0x%02X",
                          static_cast<unsigned>(ins.code));
            out += unknown;
        } else {
            out += info.name;
        }
        std::string operands;
        switch (info.shape) {
        case OperandShape::None:
            break;
        case OperandShape::Frame:
            operands = std::to_string(ins.u16);
            break;
        case OperandShape::TwoStrings:
            operands =
                quoted(block.strings[ins.operand]) + ", " + quoted(block.strings[ins.operand + 1]);
            break;
        case OperandShape::Register:
            operands = "r:" + std::to_string(ins.u8);
            break;
        case OperandShape::SkipCount:
        case OperandShape::Flags:
            operands = std::to_string(ins.u8);
            break;
        case OperandShape::ConstantPool: {
            const auto& pool = block.constantPools[ins.operand];
            for (std::size_t k = 0; k < pool.size(); ++k)
                operands += (k ? ", " : "") + quoted(pool[k]);
            break;
        }
        case OperandShape::WaitForFrame:
            operands = std::to_string(ins.u16) + ", skip " + std::to_string(ins.u8);
            break;
        case OperandShape::String:
            operands = quoted(block.strings[ins.operand]);
            break;
        case OperandShape::Push:
            for (std::uint32_t k = 0; k < ins.u16; ++k)
                operands += (k ? ", " : "") + pushItem(block, block.pushItems[ins.operand + k]);
            break;
        case OperandShape::Branch:
        case OperandShape::With:
            operands = target(block, ins.target);
            break;
        case OperandShape::GotoFrame2:
            operands = (ins.u8 & 1) ? "play" : "stop";
            if (ins.u8 & 2)
                operands += ", bias " + std::to_string(ins.u16);
            break;
        case OperandShape::DefineFunction:
        case OperandShape::DefineFunction2: {
            const FunctionDef& def = block.functions[ins.operand];
            operands = quoted(def.name) + " (";
            for (std::size_t k = 0; k < def.params.size(); ++k) {
                operands += k ? ", " : "";
                if (def.params[k].reg)
                    operands += "r:" + std::to_string(def.params[k].reg) + "=";
                operands += def.params[k].name->text();
            }
            operands += ") " + std::to_string(def.body.size()) + " bytes";
            if (def.isFunction2)
                operands += ", " + std::to_string(def.registerCount) + " registers, flags " +
                            std::to_string(def.flags);
            break;
        }
        case OperandShape::Try: {
            const TryDef& def = block.tries[ins.operand];
            operands = "try to " + target(block, def.tryEnd);
            if (def.hasCatch)
                operands += ", catch " +
                            (def.catchInRegister ? "r:" + std::to_string(def.catchRegister)
                                                 : (def.catchName ? def.catchName->text() : "")) +
                            " to " + target(block, def.catchEnd);
            if (def.hasFinally)
                operands += ", finally to " + target(block, def.finallyEnd);
            break;
        }
        }
        if (!operands.empty())
            out += " " + operands;
        out += '\n';
    }
    if (!block.fault.empty())
        out += "        ; damaged " + block.fault + "\n";
    return out;
}

std::string disassembleCode(Vm& vm, std::span<const std::uint8_t> code, int swfVersion, int depth)
{
    auto block = decodeBlock(vm, code, swfVersion);
    std::string out = disassemble(*block);
    // Function bodies, after the block that defines them, indented one step each.
    if (depth >= 16)
        return out;
    for (const FunctionDef& def : block->functions) {
        out += "        ; function " + quoted(def.name) + ":\n";
        std::string body = disassembleCode(vm, def.body, swfVersion, depth + 1);
        std::size_t start = 0;
        while (start < body.size()) {
            const std::size_t end = body.find('\n', start);
            out += "    " + body.substr(start, end - start) + "\n";
            start = end == std::string::npos ? body.size() : end + 1;
        }
    }
    return out;
}

} // namespace avm1
