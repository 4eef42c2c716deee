#pragma once

#include <QRect>
#include <cstdint>

namespace render {

// One drawn thing of a frame, as the dirty-area search compares frames: what it is
// (`key`), everything that decides its pixels (`signature`) and where they fall.
struct DiffEntry {
    std::uint64_t key = 0;
    std::uint64_t signature = 0;
    QRect bounds;
};

// FNV-1a over the bytes of a few values: keys and signatures.
class Hasher {
public:
    template <typename T> Hasher& add(const T& value)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            m_hash ^= bytes[i];
            m_hash *= 0x100000001b3ull;
        }
        return *this;
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xcbf29ce484222325ull;
};

} // namespace render
