#pragma once

#include <cstddef>
#include <cstdint>

// The caps of the script floor both virtual machines stand on. Each bounds what a
// movie's data (a shared object's file, a ByteArray, a stream's metadata) may ask of
// the readers, well above what real data holds.
namespace script::limits {

// Values of one AMF message or one readObject: each becomes an object or a string of
// the script's, so the count bounds the memory a message can make a movie spend.
inline constexpr std::size_t kMaxAmfValues = 1u << 20;

// Objects inside objects: readers and writers recurse once per level.
inline constexpr std::size_t kMaxAmfNesting = 256;

// Sealed members of one AMF 3 class, and elements of one array or vector, before the
// bytes left bound them further.
inline constexpr std::uint32_t kMaxAmfSealedMembers = 1u << 16;

} // namespace script::limits
