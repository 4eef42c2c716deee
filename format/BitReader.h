#pragma once

#include "ByteReader.h"

#include <cstdint>

namespace swf {

// Reads bit-packed fields, most significant bit first, from a byte reader. Bytes are
// taken from the byte reader as they are needed, so once the bit fields are read the
// byte reader stands at the next whole byte. Failures go to the byte reader.
class BitReader {
public:
    explicit BitReader(ByteReader& bytes) : m_bytes(bytes) {}

    // Unsigned field of n bits (n up to 32).
    std::uint32_t ub(unsigned n);
    // Signed field of n bits, sign-extended.
    std::int32_t sb(unsigned n);
    // Signed 16.16 fixed-point field of n bits.
    double fb(unsigned n) { return sb(n) / 65536.0; }
    bool flag() { return ub(1) != 0; }
    // Drops the rest of the current byte.
    void align() { m_bitsLeft = 0; }
    bool ok() const { return m_bytes.ok(); }

private:
    ByteReader& m_bytes;
    std::uint8_t m_current = 0;
    unsigned m_bitsLeft = 0;
};

} // namespace swf
