#pragma once

// The ID3 tags of an MP3 file, as Sound.id3 gives them to scripts: the text frames of an
// ID3v2 tag (versions 2.2 to 2.4) at the file's start by their frame ids, the common
// ones also under the names scripts know them by (songname, artist, ...), and an ID3v1
// tag at the end where there is no v2 tag. Texts come out as UTF-8.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace sound {

using Id3Fields = std::vector<std::pair<std::string, std::string>>;

/// The tag's fields in the order they are found; empty when the file has no tag.
Id3Fields readId3Tags(std::span<const std::uint8_t> file);

} // namespace sound
