#pragma once

#include "ByteBuffer.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Output of a decompression: the bytes produced, and whether the stream ended cleanly.
// A stream that is cut short or damaged keeps what was decoded before the fault, so
// that a movie plays as far as it can.
struct Decompressed {
    ByteBuffer bytes;
    bool complete = false;
};

// zlib stream (CWS). `sizeHint` is the expected output size, used only for the first
// reservation; output stops with TooLarge past `cap`, and stops early without error
// once `stopAfter` bytes are out (0: no early stop).
Result<Decompressed> inflateZlib(std::span<const std::uint8_t> input, std::size_t sizeHint,
                                 std::size_t cap, std::size_t stopAfter = 0);

// LZMA data as ZWS stores it: five bytes of properties, then the raw stream.
Result<Decompressed> decodeLzma(std::span<const std::uint8_t> propertiesAndData,
                                std::size_t sizeHint, std::size_t cap, std::size_t stopAfter = 0);

} // namespace swf
