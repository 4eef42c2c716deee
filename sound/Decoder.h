#pragma once

// Decoders turn a coding's bytes into 16-bit samples. PCM is read here; every compressed
// coding goes through libavcodec (AvDecoder.cpp).
#include "DecodedSound.h"
#include "SoundFormat.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace sound {

class Decoder {
public:
    virtual ~Decoder() = default;

    /// Decodes `bytes`, the next part of the sound (an event sound's whole data, or one
    /// stream block's), appending at most `maxFrames` frames to `out`, interleaved in
    /// the format's channel count. A decoder keeps its state between calls, so a
    /// stream's blocks continue each other. On damage it fails, keeping in `out` what
    /// came before the damage.
    virtual swf::Status decode(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& out,
                               std::size_t maxFrames) = 0;

    /// The sound has no more bytes: appends what the decoder still holds.
    virtual void finish(std::vector<std::int16_t>& /*out*/, std::size_t /*maxFrames*/) {}
};

/// A whole event sound, decoded: damage ends it early (what follows plays as silence,
/// as nothing), MP3's leading seek samples are dropped, and it is cut to the frame count
/// its definition gives. Fails only when the coding cannot be decoded at all.
swf::Result<DecodedSound> decodeEventSound(const SoundDefinition& sound);

/// A decoder for `format`, or why there is none.
swf::Result<std::unique_ptr<Decoder>> makeDecoder(const SoundFormat& format);

/// Decoders of the codings libavcodec reads (everything but PCM).
swf::Result<std::unique_ptr<Decoder>> makeAvDecoder(const SoundFormat& format);

/// AAC as FLV files carry it: `config` is the AudioSpecificConfig of the first audio
/// packet, which gives the rate and channels (`format` comes out with them); the
/// decoder then takes the raw frames of the packets after it.
swf::Result<std::unique_ptr<Decoder>> makeAacDecoder(std::span<const std::uint8_t> config,
                                                     SoundFormat& format);

} // namespace sound
