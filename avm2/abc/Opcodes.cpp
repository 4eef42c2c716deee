#include "Opcodes.h"

#include <array>

namespace avm2::abc {

namespace {

// Code, name, operands and what the first operand names: the instruction set of the virtual
// machine's overview, with the instructions it leaves out that compilers emit (the domain-memory
// loads, stores and sign extensions, applytype).
#define AVM2_OPCODE_LIST(X)                                                                        \
    X(0x01, "bkpt", None, None)                                                                    \
    X(0x02, "nop", None, None)                                                                     \
    X(0x03, "throw", None, None)                                                                   \
    X(0x04, "getsuper", U30, Name)                                                                 \
    X(0x05, "setsuper", U30, Name)                                                                 \
    X(0x06, "dxns", U30, String)                                                                   \
    X(0x07, "dxnslate", None, None)                                                                \
    X(0x08, "kill", U30, Local)                                                                    \
    X(0x09, "label", None, None)                                                                   \
    X(0x0C, "ifnlt", Branch, None)                                                                 \
    X(0x0D, "ifnle", Branch, None)                                                                 \
    X(0x0E, "ifngt", Branch, None)                                                                 \
    X(0x0F, "ifnge", Branch, None)                                                                 \
    X(0x10, "jump", Branch, None)                                                                  \
    X(0x11, "iftrue", Branch, None)                                                                \
    X(0x12, "iffalse", Branch, None)                                                               \
    X(0x13, "ifeq", Branch, None)                                                                  \
    X(0x14, "ifne", Branch, None)                                                                  \
    X(0x15, "iflt", Branch, None)                                                                  \
    X(0x16, "ifle", Branch, None)                                                                  \
    X(0x17, "ifgt", Branch, None)                                                                  \
    X(0x18, "ifge", Branch, None)                                                                  \
    X(0x19, "ifstricteq", Branch, None)                                                            \
    X(0x1A, "ifstrictne", Branch, None)                                                            \
    X(0x1B, "lookupswitch", Switch, None)                                                          \
    X(0x1C, "pushwith", None, None)                                                                \
    X(0x1D, "popscope", None, None)                                                                \
    X(0x1E, "nextname", None, None)                                                                \
    X(0x1F, "hasnext", None, None)                                                                 \
    X(0x20, "pushnull", None, None)                                                                \
    X(0x21, "pushundefined", None, None)                                                           \
    X(0x23, "nextvalue", None, None)                                                               \
    X(0x24, "pushbyte", U8, Byte)                                                                  \
    X(0x25, "pushshort", U30, Short)                                                               \
    X(0x26, "pushtrue", None, None)                                                                \
    X(0x27, "pushfalse", None, None)                                                               \
    X(0x28, "pushnan", None, None)                                                                 \
    X(0x29, "pop", None, None)                                                                     \
    X(0x2A, "dup", None, None)                                                                     \
    X(0x2B, "swap", None, None)                                                                    \
    X(0x2C, "pushstring", U30, String)                                                             \
    X(0x2D, "pushint", U30, Int)                                                                   \
    X(0x2E, "pushuint", U30, UInt)                                                                 \
    X(0x2F, "pushdouble", U30, Double)                                                             \
    X(0x30, "pushscope", None, None)                                                               \
    X(0x31, "pushnamespace", U30, Namespace)                                                       \
    X(0x32, "hasnext2", U30U30, Local)                                                             \
    X(0x35, "li8", None, None)                                                                     \
    X(0x36, "li16", None, None)                                                                    \
    X(0x37, "li32", None, None)                                                                    \
    X(0x38, "lf32", None, None)                                                                    \
    X(0x39, "lf64", None, None)                                                                    \
    X(0x3A, "si8", None, None)                                                                     \
    X(0x3B, "si16", None, None)                                                                    \
    X(0x3C, "si32", None, None)                                                                    \
    X(0x3D, "sf32", None, None)                                                                    \
    X(0x3E, "sf64", None, None)                                                                    \
    X(0x40, "newfunction", U30, Method)                                                            \
    X(0x41, "call", U30, Count)                                                                    \
    X(0x42, "construct", U30, Count)                                                               \
    X(0x43, "callmethod", U30U30, Slot)                                                            \
    X(0x44, "callstatic", U30U30, Method)                                                          \
    X(0x45, "callsuper", U30U30, Name)                                                             \
    X(0x46, "callproperty", U30U30, Name)                                                          \
    X(0x47, "returnvoid", None, None)                                                              \
    X(0x48, "returnvalue", None, None)                                                             \
    X(0x49, "constructsuper", U30, Count)                                                          \
    X(0x4A, "constructprop", U30U30, Name)                                                         \
    X(0x4C, "callproplex", U30U30, Name)                                                           \
    X(0x4E, "callsupervoid", U30U30, Name)                                                         \
    X(0x4F, "callpropvoid", U30U30, Name)                                                          \
    X(0x50, "sxi1", None, None)                                                                    \
    X(0x51, "sxi8", None, None)                                                                    \
    X(0x52, "sxi16", None, None)                                                                   \
    X(0x53, "applytype", U30, Count)                                                               \
    X(0x55, "newobject", U30, Count)                                                               \
    X(0x56, "newarray", U30, Count)                                                                \
    X(0x57, "newactivation", None, None)                                                           \
    X(0x58, "newclass", U30, Class)                                                                \
    X(0x59, "getdescendants", U30, Name)                                                           \
    X(0x5A, "newcatch", U30, Exception)                                                            \
    X(0x5D, "findpropstrict", U30, Name)                                                           \
    X(0x5E, "findproperty", U30, Name)                                                             \
    X(0x5F, "finddef", U30, Name)                                                                  \
    X(0x60, "getlex", U30, Name)                                                                   \
    X(0x61, "setproperty", U30, Name)                                                              \
    X(0x62, "getlocal", U30, Local)                                                                \
    X(0x63, "setlocal", U30, Local)                                                                \
    X(0x64, "getglobalscope", None, None)                                                          \
    X(0x65, "getscopeobject", U8, Scope)                                                           \
    X(0x66, "getproperty", U30, Name)                                                              \
    X(0x67, "getouterscope", U30, Scope)                                                           \
    X(0x68, "initproperty", U30, Name)                                                             \
    X(0x6A, "deleteproperty", U30, Name)                                                           \
    X(0x6C, "getslot", U30, Slot)                                                                  \
    X(0x6D, "setslot", U30, Slot)                                                                  \
    X(0x6E, "getglobalslot", U30, Slot)                                                            \
    X(0x6F, "setglobalslot", U30, Slot)                                                            \
    X(0x70, "convert_s", None, None)                                                               \
    X(0x71, "esc_xelem", None, None)                                                               \
    X(0x72, "esc_xattr", None, None)                                                               \
    X(0x73, "convert_i", None, None)                                                               \
    X(0x74, "convert_u", None, None)                                                               \
    X(0x75, "convert_d", None, None)                                                               \
    X(0x76, "convert_b", None, None)                                                               \
    X(0x77, "convert_o", None, None)                                                               \
    X(0x78, "checkfilter", None, None)                                                             \
    X(0x80, "coerce", U30, Name)                                                                   \
    X(0x81, "coerce_b", None, None)                                                                \
    X(0x82, "coerce_a", None, None)                                                                \
    X(0x83, "coerce_i", None, None)                                                                \
    X(0x84, "coerce_d", None, None)                                                                \
    X(0x85, "coerce_s", None, None)                                                                \
    X(0x86, "astype", U30, Name)                                                                   \
    X(0x87, "astypelate", None, None)                                                              \
    X(0x88, "coerce_u", None, None)                                                                \
    X(0x89, "coerce_o", None, None)                                                                \
    X(0x90, "negate", None, None)                                                                  \
    X(0x91, "increment", None, None)                                                               \
    X(0x92, "inclocal", U30, Local)                                                                \
    X(0x93, "decrement", None, None)                                                               \
    X(0x94, "declocal", U30, Local)                                                                \
    X(0x95, "typeof", None, None)                                                                  \
    X(0x96, "not", None, None)                                                                     \
    X(0x97, "bitnot", None, None)                                                                  \
    X(0xA0, "add", None, None)                                                                     \
    X(0xA1, "subtract", None, None)                                                                \
    X(0xA2, "multiply", None, None)                                                                \
    X(0xA3, "divide", None, None)                                                                  \
    X(0xA4, "modulo", None, None)                                                                  \
    X(0xA5, "lshift", None, None)                                                                  \
    X(0xA6, "rshift", None, None)                                                                  \
    X(0xA7, "urshift", None, None)                                                                 \
    X(0xA8, "bitand", None, None)                                                                  \
    X(0xA9, "bitor", None, None)                                                                   \
    X(0xAA, "bitxor", None, None)                                                                  \
    X(0xAB, "equals", None, None)                                                                  \
    X(0xAC, "strictequals", None, None)                                                            \
    X(0xAD, "lessthan", None, None)                                                                \
    X(0xAE, "lessequals", None, None)                                                              \
    X(0xAF, "greaterthan", None, None)                                                             \
    X(0xB0, "greaterequals", None, None)                                                           \
    X(0xB1, "instanceof", None, None)                                                              \
    X(0xB2, "istype", U30, Name)                                                                   \
    X(0xB3, "istypelate", None, None)                                                              \
    X(0xB4, "in", None, None)                                                                      \
    X(0xC0, "increment_i", None, None)                                                             \
    X(0xC1, "decrement_i", None, None)                                                             \
    X(0xC2, "inclocal_i", U30, Local)                                                              \
    X(0xC3, "declocal_i", U30, Local)                                                              \
    X(0xC4, "negate_i", None, None)                                                                \
    X(0xC5, "add_i", None, None)                                                                   \
    X(0xC6, "subtract_i", None, None)                                                              \
    X(0xC7, "multiply_i", None, None)                                                              \
    X(0xD0, "getlocal_0", None, None)                                                              \
    X(0xD1, "getlocal_1", None, None)                                                              \
    X(0xD2, "getlocal_2", None, None)                                                              \
    X(0xD3, "getlocal_3", None, None)                                                              \
    X(0xD4, "setlocal_0", None, None)                                                              \
    X(0xD5, "setlocal_1", None, None)                                                              \
    X(0xD6, "setlocal_2", None, None)                                                              \
    X(0xD7, "setlocal_3", None, None)                                                              \
    X(0xEF, "debug", Debug, None)                                                                  \
    X(0xF0, "debugline", U30, Line)                                                                \
    X(0xF1, "debugfile", U30, String)                                                              \
    X(0xF2, "bkptline", U30, Line)                                                                 \
    X(0xF3, "timestamp", None, None)

constexpr std::array<OpcodeInfo, 256> makeTable()
{
    std::array<OpcodeInfo, 256> table{};
#define AVM2_OPCODE_ROW(code, text, operands, meaning)                                             \
    table[code] = {text, OperandLayout::operands, OperandMeaning::meaning};
    AVM2_OPCODE_LIST(AVM2_OPCODE_ROW)
#undef AVM2_OPCODE_ROW
    return table;
}

constexpr std::array<OpcodeInfo, 256> kOpcodes = makeTable();

} // namespace

const OpcodeInfo& opcodeInfo(std::uint8_t code)
{
    return kOpcodes[code];
}

} // namespace avm2::abc
