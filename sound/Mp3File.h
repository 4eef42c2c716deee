#pragma once

#include "DecodedSound.h"
#include "format/Result.h"

#include <cstdint>
#include <span>

namespace sound {

/// A whole MP3 file, as scripts load one beside the movie: an ID3v2 tag at its start is
/// skipped, the rate and channels come from its first frame. Damage ends it early.
swf::Result<DecodedSound> decodeMp3File(std::span<const std::uint8_t> file);

/// Whether the file starts with an ID3v2 tag.
bool hasId3Tag(std::span<const std::uint8_t> file);

} // namespace sound
