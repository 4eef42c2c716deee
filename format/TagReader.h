#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf {

struct TagRecord {
    std::uint16_t code = 0;
    std::span<const std::uint8_t> body;
    // Where the record's header starts, within the data walked.
    std::size_t offset = 0;
};

// Walks the tag records of a tag stream (the movie's or a sprite's), checking every
// declared length against the data that remains.
class TagReader {
public:
    explicit TagReader(std::span<const std::uint8_t> data) : m_data(data) {}

    // The next record, or nothing at the end of the data. The End tag is returned like
    // any other; stopping there is the caller's choice. A record whose length runs past
    // the data ends the walk and sets truncated().
    std::optional<TagRecord> next();
    bool truncated() const { return m_truncated; }
    std::size_t position() const { return m_pos; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_truncated = false;
};

} // namespace swf
