#include "ByteBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace swf {

namespace {

// Below this, the ordinary allocator serves better.
constexpr std::size_t kMapThreshold = 4 * 1024 * 1024;
constexpr std::size_t kHugePage = 2 * 1024 * 1024;

std::size_t roundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

std::uint8_t* mapZeroed(std::size_t capacity)
{
    void* p = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    ::madvise(p, capacity, MADV_HUGEPAGE);
    return static_cast<std::uint8_t*>(p);
}

} // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : m_data(other.m_data), m_size(other.m_size), m_capacity(other.m_capacity),
      m_mapped(other.m_mapped)
{
    other.m_data = nullptr;
    other.m_size = other.m_capacity = 0;
    other.m_mapped = false;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_mapped, other.m_mapped);
    }
    return *this;
}

ByteBuffer::~ByteBuffer()
{
    release();
}

void ByteBuffer::release()
{
    if (m_mapped)
        ::munmap(m_data, m_capacity);
    else
        std::free(m_data);
    m_data = nullptr;
    m_size = m_capacity = 0;
    m_mapped = false;
}

ByteBuffer ByteBuffer::copyOf(std::span<const std::uint8_t> bytes)
{
    ByteBuffer buffer;
    if (buffer.resize(bytes.size()) && !bytes.empty())
        std::memcpy(buffer.data(), bytes.data(), bytes.size());
    return buffer;
}

bool ByteBuffer::resize(std::size_t size)
{
    if (size <= m_capacity) {
        // Bytes given up and taken again must read as zero.
        if (size > m_size)
            std::memset(m_data + m_size, 0, size - m_size);
        m_size = size;
        return true;
    }
    if (size >= kMapThreshold) {
        const std::size_t capacity =
            roundUp(std::max(size, m_capacity + m_capacity / 2), kHugePage);
        std::uint8_t* grown = nullptr;
        if (m_mapped) {
            void* p = ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE);
            grown = p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
            if (grown)
                ::madvise(grown, capacity, MADV_HUGEPAGE);
        } else {
            grown = mapZeroed(capacity);
            if (grown && m_size)
                std::memcpy(grown, m_data, m_size);
            if (grown)
                std::free(m_data);
        }
        if (!grown)
            return false;
        m_data = grown;
        m_capacity = capacity;
        m_mapped = true;
    } else {
        const std::size_t capacity = std::max(size, m_capacity * 2);
        auto* grown = static_cast<std::uint8_t*>(std::realloc(m_data, capacity));
        if (!grown)
            return false;
        std::memset(grown + m_size, 0, capacity - m_size);
        m_data = grown;
        m_capacity = capacity;
    }
    m_size = size;
    return true;
}

bool operator==(const ByteBuffer& a, std::span<const std::uint8_t> b)
{
    return a.size() == b.size() && (b.empty() || std::memcmp(a.data(), b.data(), b.size()) == 0);
}

MappedFile::MappedFile(const char* path, std::size_t maxBytes)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_exists = errno != ENOENT && errno != ENOTDIR;
        return;
    }
    m_exists = true;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        if (size > maxBytes) {
            m_tooLarge = true;
            ::close(fd);
            return;
        }
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            m_data = static_cast<const std::uint8_t*>(p);
            m_size = size;
            m_mapped = true;
            m_ok = true;
            ::close(fd);
            return;
        }
    }
    // Not a plain file, or one that cannot be mapped: read it.
    std::size_t used = 0;
    while (true) {
        if (used > maxBytes) {
            m_tooLarge = true;
            break;
        }
        if (used == m_copy.size() &&
            !m_copy.resize(std::min(std::max<std::size_t>(65536, used * 2), maxBytes + 1)))
            break;
        const ssize_t n = ::read(fd, m_copy.data() + used, m_copy.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_ok = n == 0 && !m_tooLarge;
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    m_copy.resize(used);
    m_data = m_copy.data();
    m_size = used;
}

MappedFile::~MappedFile()
{
    close();
}

void MappedFile::close()
{
    if (m_mapped)
        ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
    m_mapped = false;
    m_copy = ByteBuffer();
    m_data = nullptr;
    m_size = 0;
}

} // namespace swf
