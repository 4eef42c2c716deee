#pragma once

// ASSetPropFlags and the meaning of its version bits.

#include "avm1/Function.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace avm1 {

// The high attribute bits by what they do: each hides a property from movies of the
// versions named. The reference's own built-ins use them to keep later additions away
// from older movies; scripts may set any of them through ASSetPropFlags.
namespace VersionFlag {
inline constexpr std::uint16_t SinceSwf6 = 0x0080;  // hidden up to SWF 5
inline constexpr std::uint16_t NotInSwf6 = 0x0100;  // hidden in SWF 6 only
inline constexpr std::uint16_t SinceSwf7 = 0x0400;  // hidden up to SWF 6
inline constexpr std::uint16_t SinceSwf8 = 0x1000;  // hidden up to SWF 7
inline constexpr std::uint16_t SinceSwf9 = 0x2000;  // hidden up to SWF 8
inline constexpr std::uint16_t SinceSwf10 = 0x4000; // hidden up to SWF 9
} // namespace VersionFlag

// ASSetPropFlags(object, names, set, clear): names is a comma-separated list, an array
// of names, or null for every own property; each named property's flags become
// (flags & ~clear) | set.
Value asSetPropFlags(Vm& vm, const CallArgs& call);

// Makes `object`'s own properties of these names read-only ("__proto__" included), as
// the reference leaves some of its classes' constructor, prototype and __proto__.
void makeReadOnly(Object* object, std::initializer_list<std::string_view> names);

} // namespace avm1
