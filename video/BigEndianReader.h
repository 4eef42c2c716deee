#pragma once

// Big-endian reads over a bounded span, for FLV and its script data. A read past the end
// returns zero and fails the reader for good, so a record is read whole and ok() tested
// once.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace video {

class BigEndianReader {
public:
    explicit BigEndianReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return !m_failed; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }

    std::uint64_t read(int byteCount)
    {
        if (!claim(std::size_t(byteCount)))
            return 0;
        std::uint64_t value = 0;
        for (int i = 0; i < byteCount; ++i)
            value = value << 8 | m_bytes[m_pos++];
        return value;
    }
    std::uint8_t u8() { return std::uint8_t(read(1)); }
    std::uint16_t u16() { return std::uint16_t(read(2)); }
    std::uint32_t u24() { return std::uint32_t(read(3)); }
    std::uint32_t u32() { return std::uint32_t(read(4)); }
    double f64() { return std::bit_cast<double>(read(8)); }

    std::span<const std::uint8_t> take(std::size_t n)
    {
        if (!claim(n))
            return {};
        const auto part = m_bytes.subspan(m_pos, n);
        m_pos += n;
        return part;
    }

private:
    bool claim(std::size_t n)
    {
        if (m_failed || n > m_bytes.size() - m_pos) {
            m_failed = true;
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace video
