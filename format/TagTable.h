#pragma once

// Internal to the movie reader: how each tag of TagCodes.h is handled, stated once in
// one table (TagTable.cpp) that the tag walk dispatches on.
#include "ByteReader.h"
#include "Result.h"
#include "TagCodes.h"

#include <cstdint>

namespace swf {

struct TagSite;

// What the tag walk does around a tag's decoder.
enum class TagKind : std::uint8_t {
    End,        // ends the timeline being read
    ShowFrame,  // closes the open frame
    Definition, // defines a character; the body starts with its new id
    Completion, // completes a character defined earlier; the body starts with its id
    Control,    // belongs to the open frame: display list, actions, labels, sounds
    Movie,      // concerns the whole movie: tables, exports, imports, attributes, limits
    Skipped,    // known, but nothing this engine reads yet; skipped by its length
};

// Reads one tag body into the site. `tagVersion` tells the members of a tag family
// apart (DefineShape is 1, DefineShape3 is 3); 1 for a tag without siblings.
using TagDecoder = Status (*)(TagSite& site, ByteReader& body, int tagVersion);

struct TagHandler {
    TagCode code;
    TagKind kind;
    TagDecoder decode; // nullptr for End, ShowFrame and Skipped
    int version = 1;
};

// The row for `code`, or nullptr for a code the table does not list (skipped too).
const TagHandler* findTagHandler(std::uint16_t code);

} // namespace swf
