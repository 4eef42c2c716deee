#pragma once

// Internal to the movie reader: the state one movie's tag walk shares with the tag
// decoders of TagTable.h.
#include "Limits.h"
#include "Movie.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace swf {

struct ParseContext {
    ParseContext(MovieDefinition& target, int version) : movie(target), swfVersion(version) {}

    MovieDefinition& movie;
    int swfVersion = 0;
    // The uncompressed movie, which shapes read late keep alive.
    std::shared_ptr<const ByteBuffer> owner;
    std::vector<std::uint8_t> jpegTables;
    PixelBudget pixels{limits::kMaxTotalBitmapPixels};
    // The characters as they are read; font info and button colour transforms change a
    // definition after it was made, so they stay writable until the movie is published.
    std::vector<std::shared_ptr<Character>> characters;

    // A diagnostic on a tolerated defect, kept in MovieDefinition::notes.
    void note(std::string text)
    {
        if (movie.notes.size() < limits::kMaxNotes)
            movie.notes.push_back(std::move(text));
    }
    Character* find(CharacterId id)
    {
        return id < characters.size() ? characters[id].get() : nullptr;
    }
    void define(CharacterId id, CharacterData data)
    {
        if (find(id)) {
            // Leniency: a second definition of an id is ignored; the first one stays.
            note("character " + std::to_string(id) + " defined twice");
            return;
        }
        if (id >= characters.size())
            characters.resize(std::size_t(id) + 1);
        characters[id] = std::make_shared<Character>(Character{id, std::move(data)});
    }
};

// Where a tag is read: the movie, the timeline being read and its open frame.
struct TagSite {
    ParseContext& ctx;
    Timeline& timeline;
    Frame& frame;
    int nesting = 0; // 0 on the main timeline, one more inside each sprite definition
    std::uint16_t code = 0;
    // For definitions and completions: the character id the body starts with, already
    // read; the body reader stands after it.
    CharacterId id = 0;
};

// Reads a tag stream (the movie's or a sprite's) into `timeline`.
Status parseTimeline(ParseContext& ctx, std::span<const std::uint8_t> data, Timeline& timeline,
                     int nesting);

} // namespace swf
