#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace swf {

// Reads little-endian values from a bounded span of bytes. A read past the end
// returns zero and marks the reader as failed; the failure is sticky, so a decoder
// reads a whole record and tests ok() once, the way a frame of known length is
// claimed before it is parsed.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }
    std::size_t size() const { return m_bytes.size(); }
    std::span<const std::uint8_t> bytes() const { return m_bytes; }
    // The unread part, without consuming it.
    std::span<const std::uint8_t> rest() const;

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::uint64_t u64();
    std::int8_t s8() { return static_cast<std::int8_t>(u8()); }
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
    // 8.8 and 16.16 fixed-point numbers.
    float fixed8();
    double fixed16();
    float f16(); // IEEE half precision
    float f32();
    double f64();
    // Variable-length unsigned integer of up to five bytes.
    std::uint32_t encodedU32();

    // A zero-terminated string; the terminator is consumed and not returned. A string
    // that runs to the end of the data without a terminator fails the reader.
    std::string cstring();
    // The next n bytes, consumed; empty and failed when fewer remain.
    std::span<const std::uint8_t> take(std::size_t n);
    // A reader over the next n bytes, consumed from this one.
    ByteReader sub(std::size_t n) { return ByteReader(take(n)); }
    void skip(std::size_t n) { take(n); }
    void seek(std::size_t pos);
    void fail() { m_failed = true; }

private:
    bool claim(std::size_t n);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace swf
