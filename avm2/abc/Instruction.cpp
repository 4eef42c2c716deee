#include "Instruction.h"

#include "format/ByteReader.h"

namespace avm2::abc {

namespace {

std::int32_t s24(swf::ByteReader& in)
{
    const std::uint32_t low = in.u8();
    const std::uint32_t mid = in.u8();
    const std::uint32_t high = in.u8();
    const std::uint32_t value = low | (mid << 8) | (high << 16);
    return static_cast<std::int32_t>(value << 8) >> 8;
}

} // namespace

std::optional<Instruction> readInstruction(std::span<const std::uint8_t> code, std::size_t offset)
{
    if (offset >= code.size())
        return std::nullopt;
    swf::ByteReader in(code);
    in.seek(offset);
    Instruction ins;
    ins.offset = offset;
    ins.code = in.u8();
    const OpcodeInfo& info = opcodeInfo(ins.code);
    if (info.name.empty())
        return std::nullopt;
    switch (info.layout) {
    case OperandLayout::None:
        break;
    case OperandLayout::U30:
        ins.operands[0] = in.encodedU32();
        break;
    case OperandLayout::U30U30:
        ins.operands[0] = in.encodedU32();
        ins.operands[1] = in.encodedU32();
        break;
    case OperandLayout::U8:
        // pushbyte's operand is signed; getscopeobject's is an index under 256.
        ins.operands[0] = ins.code == 0x24
                              ? static_cast<std::uint32_t>(static_cast<std::int8_t>(in.u8()))
                              : in.u8();
        break;
    case OperandLayout::Branch: {
        const std::int32_t delta = s24(in);
        ins.target = static_cast<std::int64_t>(in.position()) + delta;
        break;
    }
    case OperandLayout::Switch: {
        ins.cases.push_back(static_cast<std::int64_t>(offset) + s24(in));
        const std::uint32_t count = in.encodedU32();
        if (!in.ok() || count >= in.remaining() / 3)
            return std::nullopt;
        for (std::uint32_t i = 0; i <= count; ++i)
            ins.cases.push_back(static_cast<std::int64_t>(offset) + s24(in));
        break;
    }
    case OperandLayout::Debug:
        ins.operands[0] = in.u8();
        ins.operands[1] = in.encodedU32();
        ins.operands[2] = in.u8();
        ins.operands[3] = in.encodedU32();
        break;
    }
    if (!in.ok())
        return std::nullopt;
    ins.length = in.position() - offset;
    return ins;
}

} // namespace avm2::abc
