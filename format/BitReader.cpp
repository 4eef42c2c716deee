#include "BitReader.h"

namespace swf {

std::uint32_t BitReader::ub(unsigned n)
{
    if (n > 32) {
        m_bytes.fail();
        return 0;
    }
    std::uint64_t value = 0;
    while (n > 0) {
        if (m_bitsLeft == 0) {
            m_current = m_bytes.u8();
            m_bitsLeft = 8;
            if (!m_bytes.ok())
                return 0;
        }
        const unsigned take = n < m_bitsLeft ? n : m_bitsLeft;
        const unsigned shift = m_bitsLeft - take;
        const unsigned bits = (m_current >> shift) & ((1u << take) - 1);
        value = (value << take) | bits;
        m_bitsLeft -= take;
        n -= take;
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t BitReader::sb(unsigned n)
{
    if (n == 0)
        return 0;
    const std::uint32_t raw = ub(n);
    if (n >= 32)
        return static_cast<std::int32_t>(raw);
    const std::uint32_t signBit = 1u << (n - 1);
    return static_cast<std::int32_t>((raw ^ signBit) - signBit);
}

} // namespace swf
