#pragma once

// Byte code decoded once into instructions. A block (DoAction, a button's or clip's
// actions, a function body) is read through a bounded reader when it first runs:
// every length is checked against the block, every branch is resolved to an
// instruction, and the strings it pushes become heap strings kept by the block. The
// interpreter then runs instructions without looking at bytes again.
//
// Malformed code does not fail the decode: the instructions before the fault stay,
// and the fault is recorded where it was met, so the block runs up to it and then
// ends with a diagnostic, as the reference player runs damaged code up to the damage.

#include "Actions.h"
#include "Value.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace avm1 {

class Vm;

struct PushItem {
    enum class Kind : std::uint8_t { Literal, Register, Constant };
    Kind kind = Kind::Literal;
    std::uint16_t index = 0; // register or constant pool index
    Value literal;
};

struct DecodedBlock;

struct FunctionParam {
    String* name = nullptr;
    std::uint8_t reg = 0; // DefineFunction2: 0 means "not in a register"
};

// DefineFunction2's flags, as the format document lists them.
namespace FunctionFlag {
inline constexpr std::uint16_t PreloadThis = 0x0001;
inline constexpr std::uint16_t SuppressThis = 0x0002;
inline constexpr std::uint16_t PreloadArguments = 0x0004;
inline constexpr std::uint16_t SuppressArguments = 0x0008;
inline constexpr std::uint16_t PreloadSuper = 0x0010;
inline constexpr std::uint16_t SuppressSuper = 0x0020;
inline constexpr std::uint16_t PreloadRoot = 0x0040;
inline constexpr std::uint16_t PreloadParent = 0x0080;
inline constexpr std::uint16_t PreloadGlobal = 0x0100;
} // namespace FunctionFlag

struct FunctionDef {
    String* name = nullptr; // empty for anonymous functions
    std::vector<FunctionParam> params;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    bool isFunction2 = false;
    std::span<const std::uint8_t> body;
    // Decoded on the first call.
    mutable std::shared_ptr<const DecodedBlock> decoded;
};

struct TryDef {
    bool catchInRegister = false;
    std::uint8_t catchRegister = 0;
    String* catchName = nullptr;
    bool hasCatch = false;
    bool hasFinally = false;
    // Instruction indexes: the try body runs up to tryEnd, the catch body up to
    // catchEnd, the finally body up to finallyEnd.
    std::uint32_t tryEnd = 0;
    std::uint32_t catchEnd = 0;
    std::uint32_t finallyEnd = 0;
};

struct Instruction {
    ActionCode code = ActionCode::End;
    std::uint8_t u8 = 0;       // register, flags, skip count
    std::uint16_t u16 = 0;     // frame, counts
    std::uint32_t operand = 0; // index into the block's pools (first push item, string...)
    // Branches: the target instruction (instructions.size() is the end; kBadTarget a
    // target between instructions). With: the end of its body.
    std::uint32_t target = 0;
    std::uint32_t offset = 0; // of the action in the block, for diagnostics
};

inline constexpr std::uint32_t kBadTarget = 0xFFFFFFFFu;

struct DecodedBlock {
    std::span<const std::uint8_t> code;
    int swfVersion = 0;
    std::vector<Instruction> instructions;
    std::vector<PushItem> pushItems;
    std::vector<String*> strings;
    std::vector<std::vector<String*>> constantPools;
    std::vector<FunctionDef> functions;
    std::vector<TryDef> tries;
    // Where decoding stopped on damage (instructions.size() when the fault is met),
    // and why; empty when the block is sound.
    std::string fault;

    void trace(Tracer& tracer) const;
};

// Decodes a block. Never fails: damage is recorded in `fault`.
std::shared_ptr<const DecodedBlock> decodeBlock(Vm& vm, std::span<const std::uint8_t> code,
                                                int swfVersion);

// One line per action, for swfrun --disasm and diagnostics.
std::string disassemble(const DecodedBlock& block);
// A block and, after it, the bodies of the functions it defines.
std::string disassembleCode(Vm& vm, std::span<const std::uint8_t> code, int swfVersion,
                            int depth = 0);

} // namespace avm1
