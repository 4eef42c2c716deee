#pragma once

#include "ActionList.h"

#include <cstdint>
#include <string_view>

namespace avm1 {

enum class ActionCode : std::uint8_t {
#define AVM1_ACTION_ENUM(name, code, shape, family, version) name = code,
    AVM1_ACTION_LIST(AVM1_ACTION_ENUM)
#undef AVM1_ACTION_ENUM
};

// How an action's operands are laid out after its length field.
enum class OperandShape : std::uint8_t {
    None,
    Frame,           // u16 frame index
    TwoStrings,      // url, target
    Register,        // u8 register
    ConstantPool,    // u16 count, strings
    WaitForFrame,    // u16 frame, u8 skip count
    String,          // one string
    SkipCount,       // u8 skip count
    DefineFunction,  // name, u16 count, names, u16 code size
    DefineFunction2, // name, u16 count, u8 registers, u16 flags, (u8 reg, name)*, u16 size
    Try,             // flags, sizes, catch name or register
    With,            // u16 size
    Push,            // typed values
    Branch,          // s16 offset
    Flags,           // u8 flags
    GotoFrame2,      // u8 flags, optional u16 scene bias
};

enum class ActionFamily : std::uint8_t {
    Control,
    Timeline,
    Stack,
    Arithmetic,
    Comparison,
    Strings,
    Variables,
    Properties,
    Movie,
    Objects,
    Functions,
    Exceptions,
};

struct ActionInfo {
    std::string_view name; // empty for codes no action has
    OperandShape shape = OperandShape::None;
    ActionFamily family = ActionFamily::Control;
    std::uint8_t firstVersion = 0;
};

// Every code has an entry; unknown codes have an empty name.
const ActionInfo& actionInfo(std::uint8_t code);

} // namespace avm1
