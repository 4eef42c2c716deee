#pragma once

// The sound records of the file format: the format byte that DefineSound and the stream
// heads share, DefineSound's body, SoundInfo (how StartSound plays an event sound) and
// the stream heads. The tag walk keeps these bodies as bytes; they are read here, where
// they are played.
#include "format/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sound {

/// The sound codings of the format (SoundFormat field, 4 bits).
enum class Codec : std::uint8_t {
    PcmNative = 0, // uncompressed, in the writer's byte order (little-endian in practice)
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    G711ALaw = 7,
    G711MuLaw = 8,
    Aac = 10, // FLV files only: SWF's sound tags never carry it
    Speex = 11,
};

/// How a sound's samples are stored: the coding, the rate in Hz, and per sample (one
/// value of one channel) its width in bits; `stereo` gives two channels.
struct SoundFormat {
    Codec codec = Codec::PcmLittle;
    double rate = 44100;
    bool sixteenBit = true;
    bool stereo = false;

    int channels() const { return stereo ? 2 : 1; }
};

/// The format byte: codec (4 bits), rate (2), size (1), type (1). Nellymoser 8k/16k and
/// Speex fix their rate whatever the byte says. Fails for codec values the format lacks.
swf::Result<SoundFormat> soundFormatFromByte(std::uint8_t byte);

/// DefineSound's body after the character id.
struct SoundDefinition {
    SoundFormat format;
    /// Frames (one sample of every channel) the sound holds, at its own rate.
    std::uint32_t sampleCount = 0;
    /// MP3 only: decoded frames to drop at the start (the encoder's delay).
    std::uint16_t seekSamples = 0;
    std::vector<std::uint8_t> data;

    /// Length in milliseconds, as scripts read it.
    double durationMs() const { return format.rate > 0 ? sampleCount * 1000.0 / format.rate : 0; }
};
swf::Result<SoundDefinition> parseDefineSound(std::span<const std::uint8_t> body);

/// One envelope point: from `position44` (in 44.1 kHz frames since the sound began)
/// the levels of the two channels, 0 (silent) to 32768 (unchanged).
struct EnvelopePoint {
    std::uint32_t position44 = 0;
    std::uint16_t left = 32768;
    std::uint16_t right = 32768;
};

/// SoundInfo: how StartSound and DefineButtonSound play an event sound. In and out
/// points are in 44.1 kHz frames, like the envelope's positions.
struct SoundInfo {
    bool stop = false;       // stop every instance of the sound instead
    bool noMultiple = false; // start only if the sound is not already playing
    std::optional<std::uint32_t> inPoint;
    std::optional<std::uint32_t> outPoint;
    std::uint16_t loops = 1; // plays this many times; 0 reads as 1
    std::vector<EnvelopePoint> envelope;
};
swf::Result<SoundInfo> parseSoundInfo(std::span<const std::uint8_t> bytes);

/// SoundStreamHead and SoundStreamHead2: the format of the blocks that follow on the
/// same timeline, and how many frames each block holds on average.
struct StreamHead {
    SoundFormat format;
    std::uint16_t samplesPerBlock = 0;
    std::int16_t latencySeek = 0; // MP3 only
};
swf::Result<StreamHead> parseStreamHead(std::span<const std::uint8_t> body);

} // namespace sound
