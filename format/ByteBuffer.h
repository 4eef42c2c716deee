#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace swf {

// An owned, resizable block of bytes for a movie's uncompressed data. Large blocks are
// mapped from the system directly, in huge pages where it offers them: a fresh page
// costs far more to bring in than to fill, and a movie body can be hundreds of MiB.
// New bytes read as zero.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t size) { resize(size); }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    static ByteBuffer copyOf(std::span<const std::uint8_t> bytes);

    // Grows (keeping the contents, new bytes zero) or shrinks. False when the memory
    // cannot be had; the buffer is then unchanged.
    bool resize(std::size_t size);

    std::uint8_t* data() { return m_data; }
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::span<const std::uint8_t> span() const { return {m_data, m_size}; }
    std::uint8_t operator[](std::size_t i) const { return m_data[i]; }
    operator std::span<const std::uint8_t>() const { return span(); }
    friend bool operator==(const ByteBuffer& a, std::span<const std::uint8_t> b);

private:
    void release();

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_mapped = false;
};

// A file's bytes, mapped read-only where the system allows it (a copy otherwise, for
// pipes and the like). Empty with ok() false when the file cannot be read.
class MappedFile {
public:
    // A file larger than `maxBytes` is not read: tooLarge() says so.
    MappedFile(const char* path, std::size_t maxBytes);
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    bool ok() const { return m_ok; }
    bool exists() const { return m_exists; }
    bool tooLarge() const { return m_tooLarge; }
    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    // Lets go of the bytes early.
    void close();

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
    bool m_ok = false;
    bool m_exists = false;
    bool m_tooLarge = false;
    ByteBuffer m_copy;
};

} // namespace swf
