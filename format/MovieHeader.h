#pragma once

#include "ByteBuffer.h"
#include "Geometry.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swf {

enum class Compression : std::uint8_t { None, Zlib, Lzma };

// What the first bytes of a movie say about it.
struct MovieHeader {
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    // The uncompressed length the header declares, its own 8 bytes included. Some
    // tools write it wrong; it is a hint, never trusted for allocation or bounds.
    std::uint32_t declaredLength = 0;
    // The length of the file as stored (compressed, for a compressed movie), when it was
    // read from one; 0 otherwise.
    std::uint32_t fileLength = 0;
    Rect stage;
    // Frames per second, as the 8.8 fixed-point field gives it (0 is possible).
    double frameRate = 0;
    std::uint16_t frameCount = 0;

    double widthPixels() const { return stage.width().pixels(); }
    double heightPixels() const { return stage.height().pixels(); }
};

// A movie with its body uncompressed. `body` holds everything after the 8-byte
// signature block; the tags start at `tagsOffset` within it.
struct MovieFile {
    MovieHeader header;
    // Shared: parts of a movie that are read late (shapes) keep it alive.
    std::shared_ptr<const ByteBuffer> body;
    std::size_t tagsOffset = 0;
    // False when the compressed data was cut short or damaged and only a prefix
    // could be decoded.
    bool complete = true;

    std::span<const std::uint8_t> bytes() const
    {
        return body ? body->span() : std::span<const std::uint8_t>();
    }
};

// Reads only the header, decompressing no more than it needs; cheap enough for the
// user-interface thread.
Result<MovieHeader> readMovieHeader(std::span<const std::uint8_t> file);

// Reads the header and uncompresses the whole body.
Result<MovieFile> decodeMovieFile(std::span<const std::uint8_t> file);

} // namespace swf
