#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace swfwriter {

// Little-endian bytes and bit-packed fields (most significant bit first), the two
// encodings of the file format.
class ByteWriter {
public:
    void u8(std::uint8_t v)
    {
        beforeBytes();
        m_bytes.push_back(v);
    }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void s16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void s32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f64(double v);
    void fixed8(double v) { s16(static_cast<std::int16_t>(v * 256)); }
    void fixed16(double v) { s32(static_cast<std::int32_t>(v * 65536)); }
    void encodedU32(std::uint32_t v);
    void cstring(const std::string& text);
    void bytes(const std::vector<std::uint8_t>& data);

    // Bit fields; the next whole-byte write (or flushBits) pads the last byte with zeros.
    void ub(unsigned bits, std::uint32_t value);
    void sb(unsigned bits, std::int32_t value) { ub(bits, static_cast<std::uint32_t>(value)); }
    void fb(unsigned bits, double value) { sb(bits, static_cast<std::int32_t>(value * 65536)); }
    void flushBits();

    const std::vector<std::uint8_t>& data();
    std::size_t size() { return data().size(); }

private:
    void beforeBytes() { flushBits(); }

    std::vector<std::uint8_t> m_bytes;
    std::uint8_t m_bitByte = 0;
    unsigned m_bitCount = 0;
};

// The fewest bits that hold these values as signed (sb) or unsigned (ub) fields.
unsigned signedBits(std::initializer_list<std::int32_t> values);
unsigned unsignedBits(std::initializer_list<std::uint32_t> values);

} // namespace swfwriter
