#pragma once

#include "Decoder.h"
#include "SoundFormat.h"

#include <memory>

namespace sound {

/// Decodes a timeline's stream blocks in order. MP3 blocks start with their frame count
/// and seek field, which are skipped; the decoder carries its state from block to block.
/// After a damaged block the stream decodes to nothing: it plays as silence from there on.
class StreamDecoder {
public:
    static swf::Result<StreamDecoder> create(const StreamHead& head);

    /// The block's frames, interleaved in the format's channel count.
    std::vector<std::int16_t> decodeBlock(std::span<const std::uint8_t> block);
    bool damaged() const { return m_damaged; }
    const SoundFormat& format() const { return m_format; }

private:
    SoundFormat m_format;
    std::unique_ptr<Decoder> m_decoder;
    bool m_damaged = false;
};

} // namespace sound
