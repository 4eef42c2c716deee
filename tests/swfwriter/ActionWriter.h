#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

// An assembler of ActionScript byte code for tests: each call appends one action record
// with the format document's layout. Like the rest of the writer it checks nothing a
// player would: tests of malformed code write what they need with raw() and action().
namespace swfwriter {

// The actions without operands (codes below 0x80), by the format document's names.
enum class Op : std::uint8_t {
    End = 0x00,
    NextFrame = 0x04,
    PreviousFrame = 0x05,
    Play = 0x06,
    Stop = 0x07,
    ToggleQuality = 0x08,
    StopSounds = 0x09,
    Add = 0x0A,
    Subtract = 0x0B,
    Multiply = 0x0C,
    Divide = 0x0D,
    Equals = 0x0E,
    Less = 0x0F,
    And = 0x10,
    Or = 0x11,
    Not = 0x12,
    StringEquals = 0x13,
    StringLength = 0x14,
    StringExtract = 0x15,
    Pop = 0x17,
    ToInteger = 0x18,
    GetVariable = 0x1C,
    SetVariable = 0x1D,
    SetTarget2 = 0x20,
    StringAdd = 0x21,
    GetProperty = 0x22,
    SetProperty = 0x23,
    CloneSprite = 0x24,
    RemoveSprite = 0x25,
    Trace = 0x26,
    StartDrag = 0x27,
    EndDrag = 0x28,
    StringLess = 0x29,
    Throw = 0x2A,
    CastOp = 0x2B,
    ImplementsOp = 0x2C,
    RandomNumber = 0x30,
    MBStringLength = 0x31,
    CharToAscii = 0x32,
    AsciiToChar = 0x33,
    GetTime = 0x34,
    MBStringExtract = 0x35,
    MBCharToAscii = 0x36,
    MBAsciiToChar = 0x37,
    Delete = 0x3A,
    Delete2 = 0x3B,
    DefineLocal = 0x3C,
    CallFunction = 0x3D,
    Return = 0x3E,
    Modulo = 0x3F,
    NewObject = 0x40,
    DefineLocal2 = 0x41,
    InitArray = 0x42,
    InitObject = 0x43,
    TypeOf = 0x44,
    TargetPath = 0x45,
    Enumerate = 0x46,
    Add2 = 0x47,
    Less2 = 0x48,
    Equals2 = 0x49,
    ToNumber = 0x4A,
    ToString = 0x4B,
    PushDuplicate = 0x4C,
    StackSwap = 0x4D,
    GetMember = 0x4E,
    SetMember = 0x4F,
    Increment = 0x50,
    Decrement = 0x51,
    CallMethod = 0x52,
    NewMethod = 0x53,
    InstanceOf = 0x54,
    Enumerate2 = 0x55,
    BitAnd = 0x60,
    BitOr = 0x61,
    BitXor = 0x62,
    BitLShift = 0x63,
    BitRShift = 0x64,
    BitURShift = 0x65,
    StrictEquals = 0x66,
    Greater = 0x67,
    StringGreater = 0x68,
    Extends = 0x69,
    Call = 0x9E, // has the long header, with no operands
};

// The values ActionPush can carry. Plain C++ values pick the usual type (integers in
// range as type 7, other numbers as type 6); the wrappers force one.
struct Undefined {};
struct Register {
    std::uint8_t index;
};
// A constant pool index: type 8 below 256, type 9 above.
struct Constant {
    std::uint16_t index;
};
struct Constant8 {
    std::uint8_t index;
};
struct Constant16 {
    std::uint16_t index;
};
struct Float {
    float value;
};
struct Double {
    double value;
};
struct Int {
    std::int32_t value;
};
struct Str {
    std::string value;
};

class PushValue {
public:
    PushValue(const char* s) : m_value(Str{s}) {}
    PushValue(std::string s) : m_value(Str{std::move(s)}) {}
    PushValue(double d);
    PushValue(int i) : m_value(Int{i}) {}
    PushValue(bool b) : m_value(b) {}
    PushValue(std::nullptr_t) : m_value(nullptr) {}
    PushValue(Undefined u) : m_value(u) {}
    PushValue(Register r) : m_value(r) {}
    PushValue(Constant c);
    PushValue(Constant8 c) : m_value(c) {}
    PushValue(Constant16 c) : m_value(c) {}
    PushValue(Float f) : m_value(f) {}
    PushValue(Double d) : m_value(d) {}
    PushValue(Int i) : m_value(i) {}
    PushValue(Str s) : m_value(std::move(s)) {}

    void write(ByteWriter& out) const;

private:
    std::variant<Str, Float, std::nullptr_t, Undefined, Register, bool, Double, Int, Constant8,
                 Constant16>
        m_value;
};

// DefineFunction2's flags, with their bit values in the record's 16-bit field.
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

// A DefineFunction2 parameter: kept in `reg`, or by name in the activation when 0.
struct RegisterParam {
    std::uint8_t reg = 0;
    std::string name;
};

// Where a try block's catch puts the exception: a variable or a register.
using CatchTarget = std::variant<std::string, Register>;

class ActionWriter {
public:
    // A branch target in this writer's code, bound before or after the branches to it.
    struct Label {
        std::size_t id;
    };

    // A one-byte action, or Call (0x9E), whose record has a length of zero.
    ActionWriter& op(Op code);
    // A record of any code with these operand bytes; the length is theirs.
    ActionWriter& action(std::uint8_t code, const std::vector<std::uint8_t>& operands);
    // Bytes as given, for code no well-formed record can express.
    ActionWriter& raw(std::initializer_list<std::uint8_t> bytes);
    ActionWriter& raw(const std::vector<std::uint8_t>& bytes);

    ActionWriter& push(std::initializer_list<PushValue> values);
    ActionWriter& push(const std::vector<PushValue>& values);
    ActionWriter& constantPool(const std::vector<std::string>& constants);
    ActionWriter& storeRegister(std::uint8_t reg);

    ActionWriter& gotoFrame(std::uint16_t frame);
    // GotoFrame2: the SceneBias field is written only when a bias is given.
    ActionWriter& gotoFrame2(bool play, std::optional<std::uint16_t> sceneBias = std::nullopt);
    ActionWriter& gotoLabel(const std::string& label);
    ActionWriter& getUrl(const std::string& url, const std::string& target);
    ActionWriter& getUrl2(std::uint8_t flags);
    ActionWriter& setTarget(const std::string& target);
    ActionWriter& waitForFrame(std::uint16_t frame, std::uint8_t skipCount);
    ActionWriter& waitForFrame2(std::uint8_t skipCount);

    // With: `body` is written after the record, its size in the record.
    ActionWriter& with(const ActionWriter& body);
    ActionWriter& defineFunction(const std::string& name, const std::vector<std::string>& params,
                                 const ActionWriter& body);
    ActionWriter& defineFunction2(const std::string& name, std::uint8_t registerCount,
                                  std::uint16_t flags, const std::vector<RegisterParam>& params,
                                  const ActionWriter& body);
    // Try: the record, then the three bodies. Without a catch target the record has no
    // catch block (its flag clear, an empty name); without a finally body no finally.
    ActionWriter& tryBlock(const ActionWriter& tryBody,
                           const std::optional<CatchTarget>& catchTarget,
                           const ActionWriter& catchBody,
                           const std::optional<ActionWriter>& finallyBody = std::nullopt);
    ActionWriter& end() { return op(Op::End); }

    Label label();
    // Binds `label` to the next action written; branches already written to it are
    // patched now, later ones get their offset directly.
    ActionWriter& bind(Label label);
    ActionWriter& jump(Label target);
    ActionWriter& ifTrue(Label target);
    // Branches by a given offset, from the end of the branch record, for code that
    // jumps where no label can be (outside the block, into an operand).
    ActionWriter& jumpBy(std::int16_t offset);
    ActionWriter& ifTrueBy(std::int16_t offset);

    std::size_t size() const { return m_bytes.size(); }
    // Whether the last action written was End.
    bool endsWithEnd() const { return m_lastWasEnd; }
    // The code; every label branched to must be bound (a test's mistake aborts).
    const std::vector<std::uint8_t>& bytes() const;

private:
    void record(std::uint8_t code, const std::vector<std::uint8_t>& operands);
    ActionWriter& branch(std::uint8_t code, Label target);

    struct LabelState {
        std::optional<std::size_t> position;
        std::vector<std::size_t> pendingOffsets; // where a branch's offset field sits
    };
    std::vector<std::uint8_t> m_bytes;
    std::vector<LabelState> m_labels;
    bool m_lastWasEnd = false;
};

// Appends one frame per script: a DoAction with its code (End added unless the code
// ends with it), then ShowFrame.
void addScriptFrames(TagList& timeline, std::span<const ActionWriter> frames);
// A movie of `version` whose frames run these scripts, with FileAttributes first from
// SWF 8 as the authoring tool writes it.
MovieWriter scriptMovie(int version, std::span<const ActionWriter> frames);
MovieWriter scriptMovie(int version, const ActionWriter& frame);

} // namespace swfwriter
