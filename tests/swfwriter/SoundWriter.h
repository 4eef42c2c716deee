#pragma once

// The sound tags: DefineSound, StartSound and StartSound2 with their SoundInfo, and the
// stream heads and blocks. Sample data is given already coded (tests code it with the
// encoders of tests/sound/ToneEncoder.h).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfwriter {

// The format byte's fields: codec (SoundFormat), rate index (0 = 5.5 kHz, 1 = 11 kHz,
// 2 = 22 kHz, 3 = 44 kHz), sample width and channels.
struct SoundFormatBits {
    std::uint8_t codec = 3;
    std::uint8_t rateIndex = 3;
    bool sixteenBit = true;
    bool stereo = false;

    std::uint8_t byte() const
    {
        return std::uint8_t(codec << 4 | (rateIndex & 3) << 2 | (sixteenBit ? 2 : 0) |
                            (stereo ? 1 : 0));
    }
};

struct EnvelopeRecord {
    std::uint32_t position44 = 0;
    std::uint16_t left = 32768;
    std::uint16_t right = 32768;
};

// SOUNDINFO; unset fields are left out, as their flags say.
struct SoundInfoRecord {
    bool stop = false;
    bool noMultiple = false;
    std::optional<std::uint32_t> inPoint;
    std::optional<std::uint32_t> outPoint;
    std::optional<std::uint16_t> loops;
    std::vector<EnvelopeRecord> envelope;
};

// DefineSound (tag 14); MP3 data gets its seek-samples field first.
std::vector<std::uint8_t> defineSound(std::uint16_t id, SoundFormatBits format,
                                      std::uint32_t sampleCount,
                                      const std::vector<std::uint8_t>& data,
                                      std::uint16_t mp3SeekSamples = 0);
std::vector<std::uint8_t> soundInfo(const SoundInfoRecord& info);
// StartSound (tag 15) and StartSound2 (tag 89).
std::vector<std::uint8_t> startSound(std::uint16_t id, const SoundInfoRecord& info = {});
std::vector<std::uint8_t> startSound2(const std::string& className,
                                      const SoundInfoRecord& info = {});
// DefineButtonSound (17): for the button's four transitions (OverUpToIdle,
// IdleToOverUp, OverUpToOverDown, OverDownToOverUp) the sound, 0 for none, each played
// as `info` says.
std::vector<std::uint8_t> defineButtonSound(std::uint16_t buttonId,
                                            const std::array<std::uint16_t, 4>& soundIds,
                                            const SoundInfoRecord& info = {});
// SoundStreamHead (18) or SoundStreamHead2 (45): the playback and stream formats.
std::vector<std::uint8_t> soundStreamHead(SoundFormatBits format, std::uint16_t samplesPerBlock,
                                          std::int16_t mp3Latency = 0);
// SoundStreamBlock (19) of MP3 frames: their frame count and seek field first.
std::vector<std::uint8_t> mp3StreamBlock(std::uint16_t sampleCount, std::int16_t seekSamples,
                                         const std::vector<std::uint8_t>& frames);

} // namespace swfwriter
