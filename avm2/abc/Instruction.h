#pragma once

#include "Opcodes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace avm2::abc {

// One instruction as it is stored. Branch targets are made absolute (code offsets);
// they may still lie outside the code, which the verifier rejects.
struct Instruction {
    std::uint8_t code = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
    // u30 operands in order; pushbyte's byte sign-extended; debug's four fields.
    std::uint32_t operands[4] = {};
    std::int64_t target = 0;         // a branch's target
    std::vector<std::int64_t> cases; // lookupswitch: the default first, then each case
};

// The instruction at `offset`, or nothing when the byte is no instruction or its
// operands run past the end of the code. A lookupswitch's case count is bounded by the
// bytes left, three to a case.
std::optional<Instruction> readInstruction(std::span<const std::uint8_t> code, std::size_t offset);

} // namespace avm2::abc
