#pragma once

// The instructions of ActionScript 3 byte code: code, name and the layout of the
// operands that follow the code byte. One table (Opcodes.cpp) drives the disassembler
// and the decoder.
#include <cstdint>
#include <string_view>

namespace avm2::abc {

enum class OperandLayout : std::uint8_t {
    None,
    U30,    // one u30: an index or a count
    U30U30, // two u30s: an index and an argument count, or two registers
    U8,     // one byte (pushbyte sign-extends it)
    Branch, // one s24, counted from the end of the instruction
    Switch, // s24 default, u30 case count, then count + 1 s24s, counted from the start
    Debug,  // u8 kind, u30 name, u8 register, u30 extra
};

// What an instruction's first operand stands for: the pool table or frame part it
// indexes, or a plain number. The second operand of two is always an argument count,
// except hasnext2's, another local.
enum class OperandMeaning : std::uint8_t {
    None,
    Byte,      // pushbyte's signed value
    Short,     // pushshort's value, a u30 read as 16 signed bits
    Count,     // arguments or entries
    Int,       // the integer pool
    UInt,      // the unsigned pool
    Double,    // the double pool
    String,    // the string pool
    Namespace, // the namespace pool
    Name,      // the multiname pool
    Method,    // the method table
    Class,     // the class table
    Exception, // the body's exception table
    Local,     // a register
    Slot,      // a slot or dispatch id
    Scope,     // a scope stack index
    Line,      // a source line
};

struct OpcodeInfo {
    std::string_view name; // empty for a byte that is no instruction
    OperandLayout layout = OperandLayout::None;
    OperandMeaning meaning = OperandMeaning::None;
};

// Every byte value; undefined ones have an empty name.
const OpcodeInfo& opcodeInfo(std::uint8_t code);

} // namespace avm2::abc
