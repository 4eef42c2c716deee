#pragma once

// Bounded big-endian reading and writing, as FLV, AMF and ByteArray's default byte
// order store numbers. A read past the end returns zero and marks the reader failed; the
// failure is sticky, so a decoder tests ok() once after a record.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace script {

class BigEndianReader {
public:
    explicit BigEndianReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return !m_failed; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }
    void fail() { m_failed = true; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u24();
    std::uint32_t u32();
    double f64();
    // n bytes as text, consumed; empty and failed when fewer remain.
    std::string text(std::size_t n);
    std::span<const std::uint8_t> take(std::size_t n);

private:
    bool claim(std::size_t n);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

class BigEndianWriter {
public:
    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void f64(double v);
    void bytes(std::span<const std::uint8_t> data)
    {
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    }
    void text(const std::string& s) { m_bytes.insert(m_bytes.end(), s.begin(), s.end()); }

    const std::vector<std::uint8_t>& data() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace script
