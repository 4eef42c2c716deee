#include "Bytecode.h"

#include "Limits.h"
#include "Vm.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace avm1 {

namespace {

// A reader that cannot pass the end of its span: every read reports whether the bytes
// were there, and a failed read leaves the reader failed.
class BoundedReader {
public:
    explicit BoundedReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_ok ? m_bytes.size() - m_pos : 0; }

    std::uint8_t u8()
    {
        if (!need(1))
            return 0;
        return m_bytes[m_pos++];
    }
    std::uint16_t u16()
    {
        if (!need(2))
            return 0;
        const std::uint16_t v =
            static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint32_t u32()
    {
        if (!need(4))
            return 0;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
        m_pos += 4;
        return v;
    }
    // A NUL-terminated string; a string cut by the end of the data reads to the end.
    std::string_view cstring()
    {
        if (!m_ok)
            return {};
        const std::uint8_t* start = m_bytes.data() + m_pos;
        const std::size_t left = m_bytes.size() - m_pos;
        const void* nul = std::memchr(start, 0, left);
        if (!nul) {
            m_ok = false;
            return {};
        }
        const std::size_t length =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - start);
        m_pos += length + 1;
        return {reinterpret_cast<const char*>(start), length};
    }
    void skip(std::size_t n)
    {
        if (need(n))
            m_pos += n;
    }

private:
    bool need(std::size_t n)
    {
        if (!m_ok || m_bytes.size() - m_pos < n) {
            m_ok = false;
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

// Strings keep the bytes the movie wrote. Before SWF 6 they are in the authoring
// system's code page and scripts count them by bytes; they become UTF-8 only where
// they leave the movie (TextEncoding.h).
std::string decodeText(std::string_view bytes, int /*swfVersion*/)
{
    return std::string(bytes);
}

double readDouble(BoundedReader& in)
{
    // The format stores doubles as two little-endian 32-bit halves, high half first.
    const std::uint64_t high = in.u32();
    const std::uint64_t low = in.u32();
    const std::uint64_t bits = (high << 32) | low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float readFloat(BoundedReader& in)
{
    const std::uint32_t bits = in.u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

class Decoder {
public:
    Decoder(Vm& vm, DecodedBlock& block) : m_vm(vm), m_block(block) {}

    void run();

private:
    String* text(std::string_view bytes)
    {
        String* s = m_vm.str(decodeText(bytes, m_block.swfVersion));
        m_block.strings.push_back(s);
        return s;
    }
    bool decodeOperands(Instruction& ins, const ActionInfo& info, BoundedReader& in,
                        std::size_t bodyEnd, std::size_t& next);
    void decodePush(Instruction& ins, BoundedReader& in);
    bool decodeFunction(Instruction& ins, BoundedReader& in, bool v2, std::size_t bodyEnd,
                        std::size_t& next);
    bool decodeTry(Instruction& ins, BoundedReader& in, std::size_t bodyEnd);
    void resolveTargets();
    void fail(std::size_t offset, std::string why)
    {
        if (m_endSeen)
            return;
        m_block.fault = "at offset " + std::to_string(offset) + ": " + std::move(why);
    }

    Vm& m_vm;
    DecodedBlock& m_block;
    // Byte offsets still to be turned into instruction indexes: (instruction, field).
    struct Pending {
        std::size_t instruction;
        std::size_t byteTarget;
        enum class Field : std::uint8_t { Target, TryEnd, CatchEnd, FinallyEnd } field;
        std::size_t tryIndex = 0;
    };
    std::vector<Pending> m_pending;
    std::unordered_map<std::size_t, std::uint32_t> m_indexOfOffset;
    bool m_endSeen = false;
};

void Decoder::run()
{
    const std::span<const std::uint8_t> code = m_block.code;
    std::size_t pos = 0;
    while (pos < code.size()) {
        if (m_block.instructions.size() >= limits::kMaxInstructionsPerBlock) {
            fail(pos, "too many actions in one block");
            break;
        }
        const std::uint8_t opcode = code[pos];
        Instruction ins;
        ins.code = static_cast<ActionCode>(opcode);
        ins.offset = static_cast<std::uint32_t>(pos);
        std::size_t next = pos + 1;
        const ActionInfo& info = actionInfo(opcode);
        if (opcode >= 0x80) {
            if (code.size() - pos < 3) {
                fail(pos, "action header cut short");
                break;
            }
            const std::size_t length = code[pos + 1] | (code[pos + 2] << 8);
            const std::size_t bodyStart = pos + 3;
            if (code.size() - bodyStart < length) {
                fail(pos, "action length runs past the block");
                break;
            }
            next = bodyStart + length;
            BoundedReader in(code.subspan(bodyStart, length));
            if (!info.name.empty() && !decodeOperands(ins, info, in, bodyStart + length, next)) {
                fail(pos, std::string("bad operands of ") + std::string(info.name));
                break;
            }
        }
        m_indexOfOffset.emplace(pos, static_cast<std::uint32_t>(m_block.instructions.size()));
        m_block.instructions.push_back(ins);
        // End stops the block where it runs, but code after it may still be the
        // target of a branch: decoding goes on, and damage after an End is no fault.
        if (opcode == 0)
            m_endSeen = true;
        pos = next;
    }
    m_indexOfOffset.emplace(std::min(pos, code.size()),
                            static_cast<std::uint32_t>(m_block.instructions.size()));
    resolveTargets();
}

bool Decoder::decodeOperands(Instruction& ins, const ActionInfo& info, BoundedReader& in,
                             std::size_t bodyEnd, std::size_t& next)
{
    const std::size_t index = m_block.instructions.size();
    switch (info.shape) {
    case OperandShape::None:
        return true;
    case OperandShape::Frame:
        ins.u16 = in.u16();
        return in.ok();
    case OperandShape::TwoStrings: {
        ins.operand = static_cast<std::uint32_t>(m_block.strings.size());
        const std::string_view url = in.cstring();
        const std::string_view target = in.cstring();
        if (!in.ok())
            return false;
        text(url);
        text(target);
        return true;
    }
    case OperandShape::Register:
    case OperandShape::SkipCount:
    case OperandShape::Flags:
        ins.u8 = in.u8();
        return in.ok();
    case OperandShape::ConstantPool: {
        const std::uint16_t count = in.u16();
        std::vector<String*> pool;
        pool.reserve(std::min<std::size_t>(count, in.remaining()));
        for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
            const std::string_view s = in.cstring();
            if (in.ok())
                pool.push_back(text(s));
        }
        // Leniency: a pool whose count claims more strings than its length holds keeps
        // the strings that are there; compilers padded pools this way.
        ins.operand = static_cast<std::uint32_t>(m_block.constantPools.size());
        m_block.constantPools.push_back(std::move(pool));
        return true;
    }
    case OperandShape::WaitForFrame:
        ins.u16 = in.u16();
        ins.u8 = in.u8();
        return in.ok();
    case OperandShape::String: {
        const std::string_view s = in.cstring();
        if (!in.ok())
            return false;
        ins.operand = static_cast<std::uint32_t>(m_block.strings.size());
        text(s);
        return true;
    }
    case OperandShape::Push:
        decodePush(ins, in);
        return true;
    case OperandShape::Branch: {
        const auto delta = static_cast<std::int16_t>(in.u16());
        if (!in.ok())
            return false;
        const long target = static_cast<long>(bodyEnd) + delta;
        ins.target = kBadTarget;
        if (target >= 0)
            m_pending.push_back({index, static_cast<std::size_t>(target), Pending::Field::Target});
        return true;
    }
    case OperandShape::With: {
        const std::uint16_t size = in.u16();
        if (!in.ok())
            return false;
        ins.target = kBadTarget;
        m_pending.push_back({index, bodyEnd + size, Pending::Field::Target});
        return true;
    }
    case OperandShape::GotoFrame2:
        ins.u8 = in.u8();
        if (ins.u8 & 0x02)
            ins.u16 = in.u16();
        return in.ok();
    case OperandShape::DefineFunction:
        return decodeFunction(ins, in, false, bodyEnd, next);
    case OperandShape::DefineFunction2:
        return decodeFunction(ins, in, true, bodyEnd, next);
    case OperandShape::Try:
        return decodeTry(ins, in, bodyEnd);
    }
    return true;
}

void Decoder::decodePush(Instruction& ins, BoundedReader& in)
{
    ins.operand = static_cast<std::uint32_t>(m_block.pushItems.size());
    std::uint32_t count = 0;
    while (in.remaining() > 0) {
        const std::uint8_t type = in.u8();
        PushItem item;
        switch (type) {
        case 0: {
            const std::string_view s = in.cstring();
            if (!in.ok())
                break;
            item.literal = Value(text(s));
            break;
        }
        case 1:
            item.literal = Value(static_cast<double>(readFloat(in)));
            break;
        case 2:
            item.literal = Value::null();
            break;
        case 3:
            item.literal = Value::undefined();
            break;
        case 4:
            item.kind = PushItem::Kind::Register;
            item.index = in.u8();
            break;
        case 5:
            item.literal = Value(in.u8() != 0);
            break;
        case 6:
            item.literal = Value(readDouble(in));
            break;
        case 7:
            item.literal = Value(static_cast<double>(static_cast<std::int32_t>(in.u32())));
            break;
        case 8:
            item.kind = PushItem::Kind::Constant;
            item.index = in.u8();
            break;
        case 9:
            item.kind = PushItem::Kind::Constant;
            item.index = in.u16();
            break;
        default:
            // An unknown type ends the list: its size is unknown. What came before
            // is pushed.
            in.skip(in.remaining() + 1);
            break;
        }
        if (!in.ok())
            break;
        m_block.pushItems.push_back(item);
        ++count;
    }
    ins.u16 = static_cast<std::uint16_t>(std::min<std::uint32_t>(count, 0xFFFF));
}

bool Decoder::decodeFunction(Instruction& ins, BoundedReader& in, bool v2, std::size_t bodyEnd,
                             std::size_t& next)
{
    FunctionDef def;
    def.isFunction2 = v2;
    const std::string_view name = in.cstring();
    const std::uint16_t count = in.u16();
    if (v2) {
        def.registerCount = in.u8();
        def.flags = in.u16();
    }
    if (!in.ok())
        return false;
    def.name = text(name);
    for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
        FunctionParam param;
        if (v2)
            param.reg = in.u8();
        const std::string_view pname = in.cstring();
        if (in.ok()) {
            param.name = text(pname);
            def.params.push_back(param);
        }
    }
    const std::uint16_t codeSize = in.u16();
    if (!in.ok())
        return false;
    // The body follows the action in the block; the block goes on after it.
    const std::size_t available = m_block.code.size() - bodyEnd;
    // Leniency: a body that claims more than the block holds runs to the block's end.
    const std::size_t size = std::min<std::size_t>(codeSize, available);
    def.body = m_block.code.subspan(bodyEnd, size);
    next = bodyEnd + size;
    ins.operand = static_cast<std::uint32_t>(m_block.functions.size());
    m_block.functions.push_back(std::move(def));
    return true;
}

bool Decoder::decodeTry(Instruction& ins, BoundedReader& in, std::size_t bodyEnd)
{
    TryDef def;
    const std::uint8_t flags = in.u8();
    const std::uint16_t trySize = in.u16();
    const std::uint16_t catchSize = in.u16();
    const std::uint16_t finallySize = in.u16();
    if (!in.ok())
        return false;
    def.hasCatch = flags & 0x01;
    def.hasFinally = flags & 0x02;
    def.catchInRegister = flags & 0x04;
    if (def.catchInRegister) {
        def.catchRegister = in.u8();
    } else {
        const std::string_view name = in.cstring();
        if (in.ok())
            def.catchName = text(name);
    }
    if (!in.ok())
        return false;
    const std::size_t index = m_block.instructions.size();
    const std::size_t tryIndex = m_block.tries.size();
    ins.operand = static_cast<std::uint32_t>(tryIndex);
    const std::size_t tryEnd = bodyEnd + trySize;
    const std::size_t catchEnd = tryEnd + catchSize;
    const std::size_t finallyEnd = catchEnd + finallySize;
    m_pending.push_back({index, tryEnd, Pending::Field::TryEnd, tryIndex});
    m_pending.push_back({index, catchEnd, Pending::Field::CatchEnd, tryIndex});
    m_pending.push_back({index, finallyEnd, Pending::Field::FinallyEnd, tryIndex});
    m_block.tries.push_back(def);
    return true;
}

void Decoder::resolveTargets()
{
    const auto end = static_cast<std::uint32_t>(m_block.instructions.size());
    for (const Pending& p : m_pending) {
        std::uint32_t resolved = kBadTarget;
        if (auto it = m_indexOfOffset.find(p.byteTarget); it != m_indexOfOffset.end())
            resolved = it->second;
        else if (p.byteTarget >= m_block.code.size())
            resolved = end; // past the end: the block ends there
        switch (p.field) {
        case Pending::Field::Target:
            m_block.instructions[p.instruction].target = resolved;
            break;
        case Pending::Field::TryEnd:
            m_block.tries[p.tryIndex].tryEnd = resolved == kBadTarget ? end : resolved;
            break;
        case Pending::Field::CatchEnd:
            m_block.tries[p.tryIndex].catchEnd = resolved == kBadTarget ? end : resolved;
            break;
        case Pending::Field::FinallyEnd:
            m_block.tries[p.tryIndex].finallyEnd = resolved == kBadTarget ? end : resolved;
            break;
        }
    }
}

} // namespace

void DecodedBlock::trace(Tracer& tracer) const
{
    for (String* s : strings)
        tracer.mark(s);
}

std::shared_ptr<const DecodedBlock> decodeBlock(Vm& vm, std::span<const std::uint8_t> code,
                                                int swfVersion)
{
    auto block = std::make_shared<DecodedBlock>();
    block->code = code;
    block->swfVersion = swfVersion;
    Decoder(vm, *block).run();
    return block;
}

} // namespace avm1
