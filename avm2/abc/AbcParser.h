#pragma once

#include "AbcFile.h"
#include "format/Result.h"

#include <cstdint>
#include <span>

namespace avm2::abc {

// Reads an ABC block (a DoABC tag's byte code). Every count is checked against the
// caps in avm2/Limits.h and against the bytes left, and every index against the table
// it points into, so that what it returns can be used without further bounds checks.
// Fails on the first defect, naming it.
swf::Result<AbcFile> parseAbc(std::span<const std::uint8_t> bytes);

} // namespace avm2::abc
