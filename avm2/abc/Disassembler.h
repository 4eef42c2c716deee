#pragma once

#include "AbcFile.h"

#include <string>

namespace avm2::abc {

// A readable listing of an ABC block: its scripts, classes and methods with their
// code, names resolved from the pool (swfrun --disasm).
std::string disassemble(const AbcFile& abc);
// A multiname as text: "flash.display::Sprite", "*", "Vector.<int>", "{ns,...}::x".
std::string multinameText(const AbcFile& abc, std::uint32_t index);

} // namespace avm2::abc
