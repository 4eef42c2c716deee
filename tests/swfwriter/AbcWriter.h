#pragma once

// An assembler for ActionScript 3 byte code: the constant pool (entries interned as
// they are asked for), methods, classes, scripts and bodies, written as an ABC block
// for a DoABC tag. Written from the virtual machine's overview, independently of the
// engine's reader, so that each checks the other.
#include "BitWriter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace swfwriter {

namespace abc {

// Namespace kinds.
inline constexpr std::uint8_t kPrivateNs = 0x05;
inline constexpr std::uint8_t kNamespace = 0x08;
inline constexpr std::uint8_t kPackageNs = 0x16;
inline constexpr std::uint8_t kPackageInternalNs = 0x17;
inline constexpr std::uint8_t kProtectedNs = 0x18;

// Constant kinds, for optional parameters and slot values.
inline constexpr std::uint8_t kConstUtf8 = 0x01;
inline constexpr std::uint8_t kConstInt = 0x03;
inline constexpr std::uint8_t kConstDouble = 0x06;
inline constexpr std::uint8_t kConstFalse = 0x0A;
inline constexpr std::uint8_t kConstTrue = 0x0B;
inline constexpr std::uint8_t kConstNull = 0x0C;

struct ConstantValue {
    std::uint32_t index = 0;
    std::uint8_t kind = 0;
};

struct MethodInfo {
    std::vector<std::uint32_t> paramTypes = {}; // multinames; 0 is any
    std::uint32_t returnType = 0;
    std::string name = {};
    std::uint8_t flags = 0;
    std::vector<ConstantValue> optional = {};
    std::vector<std::string> paramNames = {};
};

enum class TraitKind : std::uint8_t { Slot, Method, Getter, Setter, Class, Function, Const };

struct TraitInfo {
    std::uint32_t name = 0; // a QName multiname
    TraitKind kind = TraitKind::Slot;
    std::uint8_t attributes = 0; // final 1, override 2 (metadata is added when given)
    std::uint32_t id = 0;        // slot id or disp id
    std::uint32_t typeName = 0;  // slots and constants
    std::optional<ConstantValue> value = {};
    std::uint32_t index = 0; // class or method
    std::vector<std::uint32_t> metadata = {};
};

struct ExceptionInfo {
    std::uint32_t from = 0, to = 0, target = 0;
    std::uint32_t type = 0, varName = 0;
};

struct MethodBody {
    std::uint32_t method = 0;
    std::uint32_t maxStack = 8, localCount = 1, initScopeDepth = 0, maxScopeDepth = 4;
    std::vector<std::uint8_t> code = {};
    std::vector<ExceptionInfo> exceptions = {};
    std::vector<TraitInfo> traits = {};
};

struct ClassInfo {
    std::uint32_t name = 0;      // QName
    std::uint32_t superName = 0; // 0 for none
    std::uint8_t flags = 0x01;   // sealed 1, final 2, interface 4, protected ns 8
    std::uint32_t protectedNs = 0;
    std::vector<std::uint32_t> interfaces = {};
    std::uint32_t instanceInit = 0; // method
    std::vector<TraitInfo> instanceTraits = {};
    std::uint32_t classInit = 0; // method
    std::vector<TraitInfo> classTraits = {};
};

// Instruction codes the tests use by name; any other byte goes through Code::op.
enum class Op : std::uint8_t {
    Throw = 0x03,
    Jump = 0x10,
    IfTrue = 0x11,
    IfFalse = 0x12,
    LookupSwitch = 0x1B,
    PopScope = 0x1D,
    PushNull = 0x20,
    PushUndefined = 0x21,
    PushByte = 0x24,
    PushShort = 0x25,
    PushTrue = 0x26,
    PushFalse = 0x27,
    Pop = 0x29,
    Dup = 0x2A,
    PushString = 0x2C,
    PushInt = 0x2D,
    PushDouble = 0x2F,
    PushScope = 0x30,
    NewFunction = 0x40,
    Call = 0x41,
    CallProperty = 0x46,
    ReturnVoid = 0x47,
    ReturnValue = 0x48,
    ConstructSuper = 0x49,
    ConstructProp = 0x4A,
    CallPropVoid = 0x4F,
    NewObject = 0x55,
    NewArray = 0x56,
    NewClass = 0x58,
    FindPropStrict = 0x5D,
    FindProperty = 0x5E,
    GetLex = 0x60,
    SetProperty = 0x61,
    GetLocal = 0x62,
    SetLocal = 0x63,
    GetGlobalScope = 0x64,
    GetProperty = 0x66,
    InitProperty = 0x68,
    GetSlot = 0x6C,
    SetSlot = 0x6D,
    Coerce = 0x80,
    Add = 0xA0,
    Subtract = 0xA1,
    LessThan = 0xAD,
    IncLocalI = 0xC2,
    AddI = 0xC5,
    GetLocal0 = 0xD0,
    GetLocal1 = 0xD1,
    SetLocal1 = 0xD5,
};

// One method's code, with labels for branches.
class Code {
public:
    struct Label {
        std::size_t id;
    };

    Code& op(Op code) { return op(static_cast<std::uint8_t>(code)); }
    Code& op(std::uint8_t code);
    // An instruction with u30 operands (an index, a count, a register).
    Code& op(Op code, std::uint32_t a);
    Code& op(Op code, std::uint32_t a, std::uint32_t b);
    Code& pushByte(std::int8_t value);
    Code& u30(std::uint32_t value);
    Code& u8(std::uint8_t value);

    Label label();
    Code& bind(Label label);
    // A branch instruction (jump, iftrue...) to `target`.
    Code& branch(Op code, Label target);
    Code& lookupSwitch(Label defaultTarget, const std::vector<Label>& cases);

    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& bytes() const;

private:
    void s24At(std::size_t at, std::int64_t value);

    struct Fixup {
        std::size_t at;   // where the s24 goes
        std::size_t base; // the offset it counts from
        std::size_t label;
    };
    std::vector<std::uint8_t> m_bytes;
    std::vector<std::optional<std::size_t>> m_labels;
    std::vector<Fixup> m_fixups;
};

} // namespace abc

class AbcWriter {
public:
    std::uint32_t integer(std::int32_t value);
    std::uint32_t uinteger(std::uint32_t value);
    std::uint32_t number(double value);
    std::uint32_t string(const std::string& text);
    std::uint32_t ns(std::uint8_t kind, const std::string& name);
    std::uint32_t nsSet(const std::vector<std::uint32_t>& namespaces);
    // A QName in the namespace given, or in the package (public) namespace `package`.
    std::uint32_t qname(std::uint32_t nsIndex, const std::string& name);
    std::uint32_t publicName(const std::string& name, const std::string& package = "");
    std::uint32_t multiname(const std::string& name, std::uint32_t nsSetIndex);
    std::uint32_t multinameL(std::uint32_t nsSetIndex);
    std::uint32_t rtqname(const std::string& name);
    std::uint32_t rtqnameL();
    std::uint32_t typeName(std::uint32_t base, const std::vector<std::uint32_t>& params);

    std::uint32_t method(const abc::MethodInfo& info);
    std::uint32_t metadata(const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& items);
    std::uint32_t addClass(const abc::ClassInfo& classInfo);
    std::uint32_t script(std::uint32_t init, const std::vector<abc::TraitInfo>& traits);
    void body(const abc::MethodBody& methodBody);
    // A method and its body in one step: the method's index.
    std::uint32_t function(const abc::MethodInfo& info, const abc::Code& code,
                           std::uint32_t maxStack = 8, std::uint32_t localCount = 1);

    // The block, 46.16 unless changed.
    std::vector<std::uint8_t> bytes() const;
    // A DoABC tag's body (tag 82): flags (1: lazy initialisation), name, block.
    std::vector<std::uint8_t> doAbcBody(std::uint32_t flags = 1,
                                        const std::string& name = "") const;

    std::uint16_t minorVersion = 16;
    std::uint16_t majorVersion = 46;

private:
    struct NamespaceEntry {
        std::uint8_t kind;
        std::uint32_t name;
        auto operator<=>(const NamespaceEntry&) const = default;
    };
    struct MultinameEntry {
        std::uint8_t kind;
        std::uint32_t a, b;
        std::vector<std::uint32_t> params;
        auto operator<=>(const MultinameEntry&) const = default;
    };
    std::uint32_t intern(const MultinameEntry& entry);
    void writeTraits(ByteWriter& out, const std::vector<abc::TraitInfo>& traits) const;

    std::vector<std::int32_t> m_ints;
    std::vector<std::uint32_t> m_uints;
    std::vector<double> m_doubles;
    std::vector<std::string> m_strings;
    std::vector<NamespaceEntry> m_namespaces;
    std::vector<std::vector<std::uint32_t>> m_nsSets;
    std::vector<MultinameEntry> m_multinames;
    std::vector<abc::MethodInfo> m_methods;
    std::vector<std::vector<std::uint32_t>> m_methodNames; // param names interned
    std::vector<std::uint32_t> m_methodNameIndex;
    std::vector<std::pair<std::uint32_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>>>
        m_metadata;
    std::vector<abc::ClassInfo> m_classes;
    std::vector<std::pair<std::uint32_t, std::vector<abc::TraitInfo>>> m_scripts;
    std::vector<abc::MethodBody> m_bodies;
};

} // namespace swfwriter
