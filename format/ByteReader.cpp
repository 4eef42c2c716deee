#include "ByteReader.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace swf {

bool ByteReader::claim(std::size_t n)
{
    if (m_failed || n > m_bytes.size() - m_pos) {
        m_failed = true;
        return false;
    }
    return true;
}

std::span<const std::uint8_t> ByteReader::rest() const
{
    return m_failed ? std::span<const std::uint8_t>() : m_bytes.subspan(m_pos);
}

std::uint8_t ByteReader::u8()
{
    if (!claim(1))
        return 0;
    return m_bytes[m_pos++];
}

std::uint16_t ByteReader::u16()
{
    if (!claim(2))
        return 0;
    const auto* p = m_bytes.data() + m_pos;
    m_pos += 2;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ByteReader::u32()
{
    if (!claim(4))
        return 0;
    const auto* p = m_bytes.data() + m_pos;
    m_pos += 4;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint64_t ByteReader::u64()
{
    const std::uint64_t low = u32();
    const std::uint64_t high = u32();
    return low | (high << 32);
}

float ByteReader::fixed8()
{
    return static_cast<float>(s16()) / 256.0f;
}

double ByteReader::fixed16()
{
    return static_cast<double>(s32()) / 65536.0;
}

float ByteReader::f16()
{
    const std::uint16_t half = u16();
    const int sign = (half >> 15) ? -1 : 1;
    const int exponent = (half >> 10) & 0x1f;
    const int mantissa = half & 0x3ff;
    float magnitude;
    if (exponent == 0)
        magnitude = std::ldexp(static_cast<float>(mantissa), -24);
    else if (exponent == 31)
        magnitude = mantissa ? std::numeric_limits<float>::quiet_NaN()
                             : std::numeric_limits<float>::infinity();
    else
        magnitude = std::ldexp(static_cast<float>(mantissa | 0x400), exponent - 25);
    return sign * magnitude;
}

float ByteReader::f32()
{
    return std::bit_cast<float>(u32());
}

double ByteReader::f64()
{
    return std::bit_cast<double>(u64());
}

std::uint32_t ByteReader::encodedU32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t byte = u8();
        value |= std::uint32_t(byte & 0x7f) << (7 * i);
        if (!(byte & 0x80))
            break;
    }
    return value;
}

std::string ByteReader::cstring()
{
    if (m_failed)
        return {};
    const auto* begin = m_bytes.data() + m_pos;
    const auto* end =
        static_cast<const std::uint8_t*>(std::memchr(begin, 0, m_bytes.size() - m_pos));
    if (!end) {
        m_failed = true;
        return {};
    }
    std::string text(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    m_pos += text.size() + 1;
    return text;
}

std::span<const std::uint8_t> ByteReader::take(std::size_t n)
{
    if (!claim(n))
        return {};
    auto part = m_bytes.subspan(m_pos, n);
    m_pos += n;
    return part;
}

void ByteReader::seek(std::size_t pos)
{
    if (pos > m_bytes.size())
        m_failed = true;
    else
        m_pos = pos;
}

} // namespace swf
