#pragma once

// ByteArray.compress and uncompress: zlib streams, raw deflate and LZMA's "alone" form
// (five bytes of properties, the uncompressed size as eight little-endian bytes, then
// the stream). Output stops at `maxOutput`; a failure leaves `out` unspecified.
#include <cstdint>
#include <span>
#include <vector>

namespace avm2 {

enum class Compression : std::uint8_t { Zlib, Deflate, Lzma };

bool compressBytes(Compression kind, std::span<const std::uint8_t> in,
                   std::vector<std::uint8_t>& out);
bool uncompressBytes(Compression kind, std::span<const std::uint8_t> in, std::size_t maxOutput,
                     std::vector<std::uint8_t>& out);

} // namespace avm2
