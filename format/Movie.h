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
#include "Video.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace swf {

// Bytes the engine keeps but does not interpret yet (sounds, binary data).
struct OpaqueCharacter {
    std::uint16_t tagCode = 0;
    std::vector<std::uint8_t> body;
};

using CharacterData = std::variant<Shape, MorphShape, Bitmap, Font, StaticText, EditText, Button,
                                   Sprite, VideoStream, OpaqueCharacter>;

struct Character {
    CharacterId id = 0;
    CharacterData data;
    // The version of the movie whose byte code this character carries, for one brought
    // in from another movie (Imports.h); 0 for the movie's own.
    std::uint8_t swfVersion = 0;
};

struct FileAttributes {
    bool useDirectBlit = false;
    bool useGpu = false;
    bool hasMetadata = false;
    bool actionScript3 = false;
    bool useNetwork = false;
};

// ScriptLimits: the movie's own bounds on its scripts, in place of the player's.
struct ScriptLimits {
    std::uint16_t maxRecursionDepth = 0;
    std::uint16_t scriptTimeoutSeconds = 0;
};

// ImportAssets and ImportAssets2: characters another movie exports by name, to be
// fetched from `url` and known here by the ids given.
struct ImportedAsset {
    CharacterId id = 0;
    std::string name;
};
struct AssetImport {
    std::string url;
    std::vector<ImportedAsset> assets;
    // Where the tag stood on the main timeline: its frame, and the number of that
    // frame's control tags before it.
    std::size_t frame = 0;
    std::size_t tagIndex = 0;
};

// Everything a movie defines, read once and shared read-only by the runtime and the
// renderer (and safe to hand from the loading thread to the drawing one).
struct MovieDefinition {
    MovieHeader header;
    FileAttributes attributes;
    Timeline timeline;
    // ExportAssets: name to id; the first export of a name keeps it.
    std::map<std::string, CharacterId> exports;
    // One entry per import tag, in the order read.
    std::vector<AssetImport> imports;
    // The last ScriptLimits tag read, if any.
    std::optional<ScriptLimits> scriptLimits;
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
