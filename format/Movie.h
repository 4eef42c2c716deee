#pragma once

#include "Bitmap.h"
#include "Button.h"
#include "Font.h"
#include "MorphShape.h"
#include "MovieHeader.h"
#include "Result.h"
#include "Shape.h"
#include "Text.h"
#include "Timeline.h"

#include <array>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace swf {

// Bytes the engine keeps but does not interpret yet (sounds, video, binary data).
struct OpaqueCharacter {
    std::uint16_t tagCode = 0;
    std::vector<std::uint8_t> body;
};

using CharacterData = std::variant<Shape, MorphShape, Bitmap, Font, StaticText, EditText, Button,
                                   Sprite, OpaqueCharacter>;

struct Character {
    CharacterId id = 0;
    CharacterData data;
};

struct FileAttributes {
    bool useDirectBlit = false;
    bool useGpu = false;
    bool hasMetadata = false;
    bool actionScript3 = false;
    bool useNetwork = false;
};

// Everything a movie defines, read once and shared read-only by the runtime and the
// renderer (and safe to hand from the loading thread to the drawing one).
struct MovieDefinition {
    MovieHeader header;
    FileAttributes attributes;
    Timeline timeline;
    std::map<std::string, CharacterId> exports;
    // False when the data ended early (a cut file, a tag running past the end);
    // what was read before stays.
    bool complete = true;
    // Notes on defects that were tolerated, for diagnostics.
    std::vector<std::string> notes;

    // The character with `id`, or nullptr.
    const Character* character(CharacterId id) const;
    template <typename T> const T* get(CharacterId id) const
    {
        const Character* c = character(id);
        return c ? std::get_if<T>(&c->data) : nullptr;
    }
    void define(std::shared_ptr<const Character> character);
    std::size_t characterCount() const { return m_count; }
    // One past the largest id defined: the range to look through for every character.
    std::size_t idLimit() const { return m_characters.size(); }

private:
    // Indexed by id: 65,536 pointers at most, and lookups on every placement.
    std::vector<std::shared_ptr<const Character>> m_characters;
    std::size_t m_count = 0;
};

using MoviePtr = std::shared_ptr<const MovieDefinition>;

// Reads a whole movie file: header, decompression, every tag. Fails only when the file
// is not a movie at all or breaks a cap; damage inside the tag stream ends the movie
// with what was read.
Result<MoviePtr> loadMovie(std::span<const std::uint8_t> file);
Result<MoviePtr> parseMovie(const MovieFile& file);

} // namespace swf
