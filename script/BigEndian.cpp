#include "BigEndian.h"

#include <bit>

namespace script {

bool BigEndianReader::claim(std::size_t n)
{
    if (m_failed || m_bytes.size() - m_pos < n) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t BigEndianReader::u8()
{
    return claim(1) ? m_bytes[m_pos++] : 0;
}

std::uint16_t BigEndianReader::u16()
{
    if (!claim(2))
        return 0;
    const auto v = static_cast<std::uint16_t>((m_bytes[m_pos] << 8) | m_bytes[m_pos + 1]);
    m_pos += 2;
    return v;
}

std::uint32_t BigEndianReader::u24()
{
    if (!claim(3))
        return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 3; ++i)
        v = (v << 8) | m_bytes[m_pos++];
    return v;
}

std::uint32_t BigEndianReader::u32()
{
    if (!claim(4))
        return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | m_bytes[m_pos++];
    return v;
}

double BigEndianReader::f64()
{
    if (!claim(8))
        return 0;
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | m_bytes[m_pos++];
    return std::bit_cast<double>(v);
}

std::span<const std::uint8_t> BigEndianReader::take(std::size_t n)
{
    if (!claim(n))
        return {};
    const auto part = m_bytes.subspan(m_pos, n);
    m_pos += n;
    return part;
}

std::string BigEndianReader::text(std::size_t n)
{
    const auto part = take(n);
    return {part.begin(), part.end()};
}

void BigEndianWriter::u16(std::uint16_t v)
{
    u8(static_cast<std::uint8_t>(v >> 8));
    u8(static_cast<std::uint8_t>(v));
}

void BigEndianWriter::u32(std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        u8(static_cast<std::uint8_t>(v >> shift));
}

void BigEndianWriter::f64(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int shift = 56; shift >= 0; shift -= 8)
        u8(static_cast<std::uint8_t>(bits >> shift));
}

} // namespace script
