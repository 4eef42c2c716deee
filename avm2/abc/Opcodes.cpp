#include "Opcodes.h"

#include <array>

namespace avm2::abc {

namespace {

// Code, name, operands: the instruction set of the virtual machine's overview, with
// the instructions it leaves out that compilers emit (the domain-memory loads, stores
// and sign extensions, applytype).
#define AVM2_OPCODE_LIST(X)                                                                        \
    X(0x01, "bkpt", None)                                                                          \
    X(0x02, "nop", None)                                                                           \
    X(0x03, "throw", None)                                                                         \
    X(0x04, "getsuper", U30)                                                                       \
    X(0x05, "setsuper", U30)                                                                       \
    X(0x06, "dxns", U30)                                                                           \
    X(0x07, "dxnslate", None)                                                                      \
    X(0x08, "kill", U30)                                                                           \
    X(0x09, "label", None)                                                                         \
    X(0x0C, "ifnlt", Branch)                                                                       \
    X(0x0D, "ifnle", Branch)                                                                       \
    X(0x0E, "ifngt", Branch)                                                                       \
    X(0x0F, "ifnge", Branch)                                                                       \
    X(0x10, "jump", Branch)                                                                        \
    X(0x11, "iftrue", Branch)                                                                      \
    X(0x12, "iffalse", Branch)                                                                     \
    X(0x13, "ifeq", Branch)                                                                        \
    X(0x14, "ifne", Branch)                                                                        \
    X(0x15, "iflt", Branch)                                                                        \
    X(0x16, "ifle", Branch)                                                                        \
    X(0x17, "ifgt", Branch)                                                                        \
    X(0x18, "ifge", Branch)                                                                        \
    X(0x19, "ifstricteq", Branch)                                                                  \
    X(0x1A, "ifstrictne", Branch)                                                                  \
    X(0x1B, "lookupswitch", Switch)                                                                \
    X(0x1C, "pushwith", None)                                                                      \
    X(0x1D, "popscope", None)                                                                      \
    X(0x1E, "nextname", None)                                                                      \
    X(0x1F, "hasnext", None)                                                                       \
    X(0x20, "pushnull", None)                                                                      \
    X(0x21, "pushundefined", None)                                                                 \
    X(0x23, "nextvalue", None)                                                                     \
    X(0x24, "pushbyte", U8)                                                                        \
    X(0x25, "pushshort", U30)                                                                      \
    X(0x26, "pushtrue", None)                                                                      \
    X(0x27, "pushfalse", None)                                                                     \
    X(0x28, "pushnan", None)                                                                       \
    X(0x29, "pop", None)                                                                           \
    X(0x2A, "dup", None)                                                                           \
    X(0x2B, "swap", None)                                                                          \
    X(0x2C, "pushstring", U30)                                                                     \
    X(0x2D, "pushint", U30)                                                                        \
    X(0x2E, "pushuint", U30)                                                                       \
    X(0x2F, "pushdouble", U30)                                                                     \
    X(0x30, "pushscope", None)                                                                     \
    X(0x31, "pushnamespace", U30)                                                                  \
    X(0x32, "hasnext2", U30U30)                                                                    \
    X(0x35, "li8", None)                                                                           \
    X(0x36, "li16", None)                                                                          \
    X(0x37, "li32", None)                                                                          \
    X(0x38, "lf32", None)                                                                          \
    X(0x39, "lf64", None)                                                                          \
    X(0x3A, "si8", None)                                                                           \
    X(0x3B, "si16", None)                                                                          \
    X(0x3C, "si32", None)                                                                          \
    X(0x3D, "sf32", None)                                                                          \
    X(0x3E, "sf64", None)                                                                          \
    X(0x40, "newfunction", U30)                                                                    \
    X(0x41, "call", U30)                                                                           \
    X(0x42, "construct", U30)                                                                      \
    X(0x43, "callmethod", U30U30)                                                                  \
    X(0x44, "callstatic", U30U30)                                                                  \
    X(0x45, "callsuper", U30U30)                                                                   \
    X(0x46, "callproperty", U30U30)                                                                \
    X(0x47, "returnvoid", None)                                                                    \
    X(0x48, "returnvalue", None)                                                                   \
    X(0x49, "constructsuper", U30)                                                                 \
    X(0x4A, "constructprop", U30U30)                                                               \
    X(0x4C, "callproplex", U30U30)                                                                 \
    X(0x4E, "callsupervoid", U30U30)                                                               \
    X(0x4F, "callpropvoid", U30U30)                                                                \
    X(0x50, "sxi1", None)                                                                          \
    X(0x51, "sxi8", None)                                                                          \
    X(0x52, "sxi16", None)                                                                         \
    X(0x53, "applytype", U30)                                                                      \
    X(0x55, "newobject", U30)                                                                      \
    X(0x56, "newarray", U30)                                                                       \
    X(0x57, "newactivation", None)                                                                 \
    X(0x58, "newclass", U30)                                                                       \
    X(0x59, "getdescendants", U30)                                                                 \
    X(0x5A, "newcatch", U30)                                                                       \
    X(0x5D, "findpropstrict", U30)                                                                 \
    X(0x5E, "findproperty", U30)                                                                   \
    X(0x5F, "finddef", U30)                                                                        \
    X(0x60, "getlex", U30)                                                                         \
    X(0x61, "setproperty", U30)                                                                    \
    X(0x62, "getlocal", U30)                                                                       \
    X(0x63, "setlocal", U30)                                                                       \
    X(0x64, "getglobalscope", None)                                                                \
    X(0x65, "getscopeobject", U8)                                                                  \
    X(0x66, "getproperty", U30)                                                                    \
    X(0x67, "getouterscope", U30)                                                                  \
    X(0x68, "initproperty", U30)                                                                   \
    X(0x6A, "deleteproperty", U30)                                                                 \
    X(0x6C, "getslot", U30)                                                                        \
    X(0x6D, "setslot", U30)                                                                        \
    X(0x6E, "getglobalslot", U30)                                                                  \
    X(0x6F, "setglobalslot", U30)                                                                  \
    X(0x70, "convert_s", None)                                                                     \
    X(0x71, "esc_xelem", None)                                                                     \
    X(0x72, "esc_xattr", None)                                                                     \
    X(0x73, "convert_i", None)                                                                     \
    X(0x74, "convert_u", None)                                                                     \
    X(0x75, "convert_d", None)                                                                     \
    X(0x76, "convert_b", None)                                                                     \
    X(0x77, "convert_o", None)                                                                     \
    X(0x78, "checkfilter", None)                                                                   \
    X(0x80, "coerce", U30)                                                                         \
    X(0x81, "coerce_b", None)                                                                      \
    X(0x82, "coerce_a", None)                                                                      \
    X(0x83, "coerce_i", None)                                                                      \
    X(0x84, "coerce_d", None)                                                                      \
    X(0x85, "coerce_s", None)                                                                      \
    X(0x86, "astype", U30)                                                                         \
    X(0x87, "astypelate", None)                                                                    \
    X(0x88, "coerce_u", None)                                                                      \
    X(0x89, "coerce_o", None)                                                                      \
    X(0x90, "negate", None)                                                                        \
    X(0x91, "increment", None)                                                                     \
    X(0x92, "inclocal", U30)                                                                       \
    X(0x93, "decrement", None)                                                                     \
    X(0x94, "declocal", U30)                                                                       \
    X(0x95, "typeof", None)                                                                        \
    X(0x96, "not", None)                                                                           \
    X(0x97, "bitnot", None)                                                                        \
    X(0xA0, "add", None)                                                                           \
    X(0xA1, "subtract", None)                                                                      \
    X(0xA2, "multiply", None)                                                                      \
    X(0xA3, "divide", None)                                                                        \
    X(0xA4, "modulo", None)                                                                        \
    X(0xA5, "lshift", None)                                                                        \
    X(0xA6, "rshift", None)                                                                        \
    X(0xA7, "urshift", None)                                                                       \
    X(0xA8, "bitand", None)                                                                        \
    X(0xA9, "bitor", None)                                                                         \
    X(0xAA, "bitxor", None)                                                                        \
    X(0xAB, "equals", None)                                                                        \
    X(0xAC, "strictequals", None)                                                                  \
    X(0xAD, "lessthan", None)                                                                      \
    X(0xAE, "lessequals", None)                                                                    \
    X(0xAF, "greaterthan", None)                                                                   \
    X(0xB0, "greaterequals", None)                                                                 \
    X(0xB1, "instanceof", None)                                                                    \
    X(0xB2, "istype", U30)                                                                         \
    X(0xB3, "istypelate", None)                                                                    \
    X(0xB4, "in", None)                                                                            \
    X(0xC0, "increment_i", None)                                                                   \
    X(0xC1, "decrement_i", None)                                                                   \
    X(0xC2, "inclocal_i", U30)                                                                     \
    X(0xC3, "declocal_i", U30)                                                                     \
    X(0xC4, "negate_i", None)                                                                      \
    X(0xC5, "add_i", None)                                                                         \
    X(0xC6, "subtract_i", None)                                                                    \
    X(0xC7, "multiply_i", None)                                                                    \
    X(0xD0, "getlocal_0", None)                                                                    \
    X(0xD1, "getlocal_1", None)                                                                    \
    X(0xD2, "getlocal_2", None)                                                                    \
    X(0xD3, "getlocal_3", None)                                                                    \
    X(0xD4, "setlocal_0", None)                                                                    \
    X(0xD5, "setlocal_1", None)                                                                    \
    X(0xD6, "setlocal_2", None)                                                                    \
    X(0xD7, "setlocal_3", None)                                                                    \
    X(0xEF, "debug", Debug)                                                                        \
    X(0xF0, "debugline", U30)                                                                      \
    X(0xF1, "debugfile", U30)                                                                      \
    X(0xF2, "bkptline", U30)                                                                       \
    X(0xF3, "timestamp", None)

constexpr std::array<OpcodeInfo, 256> makeTable()
{
    std::array<OpcodeInfo, 256> table{};
#define AVM2_OPCODE_ROW(code, text, operands) table[code] = {text, OperandLayout::operands};
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
