#include "BitWriter.h"

#include <bit>
#include <cstdlib>

namespace swfwriter {

void ByteWriter::u16(std::uint16_t v)
{
    beforeBytes();
    m_bytes.push_back(static_cast<std::uint8_t>(v));
    m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::u32(std::uint32_t v)
{
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::f64(double v)
{
    const auto raw = std::bit_cast<std::uint64_t>(v);
    u32(static_cast<std::uint32_t>(raw));
    u32(static_cast<std::uint32_t>(raw >> 32));
}

void ByteWriter::encodedU32(std::uint32_t v)
{
    beforeBytes();
    do {
        std::uint8_t byte = v & 0x7f;
        v >>= 7;
        if (v)
            byte |= 0x80;
        m_bytes.push_back(byte);
    } while (v);
}

void ByteWriter::cstring(const std::string& text)
{
    beforeBytes();
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    m_bytes.push_back(0);
}

void ByteWriter::bytes(const std::vector<std::uint8_t>& data)
{
    beforeBytes();
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void ByteWriter::ub(unsigned bits, std::uint32_t value)
{
    for (unsigned i = bits; i > 0; --i) {
        m_bitByte = static_cast<std::uint8_t>((m_bitByte << 1) | ((value >> (i - 1)) & 1));
        if (++m_bitCount == 8) {
            m_bytes.push_back(m_bitByte);
            m_bitByte = 0;
            m_bitCount = 0;
        }
    }
}

void ByteWriter::flushBits()
{
    if (m_bitCount) {
        m_bytes.push_back(static_cast<std::uint8_t>(m_bitByte << (8 - m_bitCount)));
        m_bitByte = 0;
        m_bitCount = 0;
    }
}

const std::vector<std::uint8_t>& ByteWriter::data()
{
    flushBits();
    return m_bytes;
}

unsigned signedBits(std::initializer_list<std::int32_t> values)
{
    unsigned bits = 0;
    for (std::int32_t v : values) {
        const std::uint32_t magnitude =
            v < 0 ? ~static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
        const unsigned needed = static_cast<unsigned>(std::bit_width(magnitude)) + 1;
        bits = needed > bits ? needed : bits;
    }
    return bits;
}

unsigned unsignedBits(std::initializer_list<std::uint32_t> values)
{
    unsigned bits = 0;
    for (std::uint32_t v : values) {
        const auto needed = static_cast<unsigned>(std::bit_width(v));
        bits = needed > bits ? needed : bits;
    }
    return bits;
}

} // namespace swfwriter
