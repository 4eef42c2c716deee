#pragma once

#include "VerifyError.h"
#include "avm2/abc/AbcFile.h"
#include "avm2/abc/Instruction.h"

#include <cstdint>
#include <vector>

namespace avm2 {

// The instructions of a method body that control can reach, from its entry and from
// its exception handlers, with every branch checked to land on one of them. Compilers
// leave junk in unreachable code, so the code is followed, never read straight
// through: what no path reaches is not decoded and cannot refuse the method.
struct ControlFlow {
    std::vector<abc::Instruction> instructions; // in code order
    // The index in `instructions` of the instruction starting at each code offset; -1
    // where none starts or the code is unreachable. One entry past the end.
    std::vector<std::int32_t> indexAt;
};

Verified<ControlFlow> analyseControlFlow(const abc::MethodBody& body);

// Whether control never passes from the instruction to the next one.
bool endsBlock(std::uint8_t code);

} // namespace avm2
