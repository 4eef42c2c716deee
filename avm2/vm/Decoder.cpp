#include "Decoder.h"

#include "AbcUnit.h"
#include "avm2/verify/ControlFlow.h"

namespace avm2 {

namespace {
VerifyError refuse(VerifyErrorKind kind, std::uint32_t body, std::size_t offset)
{
    return VerifyError{kind, "body " + std::to_string(body) + ", offset " + std::to_string(offset)};
}

// Which register operands an instruction has, to check them against the body's locals.
bool usesLocal(std::uint8_t code)
{
    switch (code) {
    case 0x08: // kill
    case 0x62: // getlocal
    case 0x63: // setlocal
    case 0x92: // inclocal
    case 0x94: // declocal
    case 0xC2: // inclocal_i
    case 0xC3: // declocal_i
        return true;
    default:
        return false;
    }
}
// The size of the table an instruction's first operand indexes, or nothing when it
// indexes none; the parser checked the tables, not the code's references into them.
std::optional<std::size_t> tableSize(const AbcUnit& unit, const abc::MethodBody& body,
                                     abc::OperandMeaning meaning)
{
    const abc::ConstantPool& pool = unit.file.pool;
    switch (meaning) {
    case abc::OperandMeaning::Int:
        return pool.ints.size();
    case abc::OperandMeaning::UInt:
        return pool.uints.size();
    case abc::OperandMeaning::Double:
        return pool.doubles.size();
    case abc::OperandMeaning::String:
        return pool.strings.size();
    case abc::OperandMeaning::Namespace:
        return pool.namespaces.size();
    case abc::OperandMeaning::Name:
        return pool.multinames.size();
    case abc::OperandMeaning::Method:
        return unit.file.methods.size();
    case abc::OperandMeaning::Class:
        return unit.file.classes.size();
    case abc::OperandMeaning::Exception:
        return body.exceptions.size();
    default:
        return std::nullopt;
    }
}
} // namespace

Verified<DecodedBody> decodeBody(const AbcUnit& unit, std::uint32_t index)
{
    const abc::MethodBody& body = unit.file.bodies[index];
    auto flow = analyseControlFlow(body);
    if (!flow)
        return flow.error();
    const ControlFlow& cf = flow.value();
    DecodedBody out;
    out.body = index;
    out.maxStack = body.maxStack;
    out.localCount = body.localCount;
    out.maxScope = body.maxScopeDepth;
    out.ops.reserve(cf.instructions.size() + 1);
    auto indexOf = [&](std::int64_t offset) -> std::int32_t {
        if (offset < 0 || static_cast<std::size_t>(offset) >= cf.indexAt.size())
            return -1;
        return cf.indexAt[static_cast<std::size_t>(offset)];
    };
    // Instructions keep their order; a jump over unreachable code lands on the next
    // reachable instruction's index, which the control flow already checked.
    for (const abc::Instruction& insn : cf.instructions) {
        Op op;
        op.code = insn.code;
        op.a = insn.operands[0];
        op.b = insn.operands[1];
        if (usesLocal(insn.code) && op.a >= body.localCount)
            return refuse(VerifyErrorKind::IllegalOpcode, index, insn.offset);
        if (insn.code == 0x32 && (op.a >= body.localCount || op.b >= body.localCount))
            return refuse(VerifyErrorKind::IllegalOpcode, index, insn.offset);
        if (insn.code >= 0xD0 && insn.code <= 0xD7 &&
            static_cast<std::uint32_t>(insn.code & 3) >= body.localCount)
            return refuse(VerifyErrorKind::IllegalOpcode, index, insn.offset);
        const abc::OpcodeInfo& info = abc::opcodeInfo(insn.code);
        if (const auto size = tableSize(unit, body, info.meaning); size && op.a >= *size)
            return refuse(VerifyErrorKind::PoolIndexOutOfRange, index, insn.offset);
        if (info.layout == abc::OperandLayout::Branch) {
            op.target = indexOf(insn.target);
            if (op.target < 0)
                return refuse(VerifyErrorKind::BadBranchTarget, index, insn.offset);
        } else if (info.layout == abc::OperandLayout::Switch) {
            op.target = static_cast<std::int32_t>(out.switchTargets.size());
            op.b = static_cast<std::uint32_t>(insn.cases.size());
            for (std::int64_t c : insn.cases) {
                const std::int32_t t = indexOf(c);
                if (t < 0)
                    return refuse(VerifyErrorKind::BadBranchTarget, index, insn.offset);
                out.switchTargets.push_back(t);
            }
        }
        out.ops.push_back(op);
    }
    // Falling off the end is refused by the control flow; a sentinel keeps the loop
    // from reading past the last instruction all the same.
    out.ops.push_back(Op{0x47, 0, 0, 0});
    auto firstAtOrAfter = [&](std::uint32_t offset) -> std::uint32_t {
        std::uint32_t i = 0;
        while (i < cf.instructions.size() && cf.instructions[i].offset < offset)
            ++i;
        return i;
    };
    for (const abc::ExceptionInfo& e : body.exceptions) {
        Handler h;
        h.from = firstAtOrAfter(e.from);
        h.to = firstAtOrAfter(e.to);
        const std::int32_t t = indexOf(e.target);
        if (t < 0)
            return refuse(VerifyErrorKind::BadExceptionRange, index, e.target);
        h.target = static_cast<std::uint32_t>(t);
        h.type = e.type;
        h.varName = e.varName;
        out.handlers.push_back(std::move(h));
    }
    return out;
}

} // namespace avm2
