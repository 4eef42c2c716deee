#pragma once

// The mixer: every playing sound is a Voice the mixer pulls from when the output pulls
// from it. The engine adds, changes and stops voices from its own thread while the
// output reads from another, so every call takes the mixer's lock; a read holds it for
// one buffer.
#include "AudioSource.h"
#include "Voice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace sound {

class Mixer final : public AudioSource {
public:
    using VoiceId = std::uint64_t; // 0 is no voice

    int rate() const override { return limits::kOutputRate; }
    int channels() const override { return limits::kOutputChannels; }

    /// Starts a voice; 0 when limits::kMaxVoices already play. `tag` groups voices for
    /// stopTagged() (the engine tags an event sound's voices with its sound's identity).
    VoiceId play(std::unique_ptr<Voice> voice, std::uintptr_t tag = 0,
                 SoundTransform transform = {});
    void stop(VoiceId id);
    void stopTagged(std::uintptr_t tag);
    void stopAll();
    bool isPlaying(VoiceId id) const;
    bool isTagPlaying(std::uintptr_t tag) const;
    void setTransform(VoiceId id, const SoundTransform& transform);
    /// Applied to every voice after its own: the movie's global volume and pan.
    void setMasterTransform(const SoundTransform& transform);
    /// The voice's position in its sound in milliseconds, or nothing for a voice gone.
    std::optional<double> positionMs(VoiceId id) const;
    /// Runs `change` on the voice under the lock (a stream's queue is fed this way);
    /// false when the voice is gone.
    bool withVoice(VoiceId id, const std::function<void(Voice&)>& change);
    /// Voices that ended by themselves since the last call, oldest first (the last
    /// limits::kMaxEndedKept of them).
    std::vector<VoiceId> takeEnded();
    std::size_t voiceCount() const;

    /// Mixes the next `frames` frames of every voice into `out` (44.1 kHz stereo, soft
    /// clipped). The mix never ends: with no voices it is silence.
    std::size_t read(float* out, std::size_t frames) override;
    bool sounding() const override { return voiceCount() > 0; }

private:
    struct Entry {
        VoiceId id = 0;
        std::uintptr_t tag = 0;
        SoundTransform transform;
        std::unique_ptr<Voice> voice;
    };
    Entry* find(VoiceId id);
    const Entry* find(VoiceId id) const;

    mutable std::mutex m_lock;
    std::vector<Entry> m_voices;
    std::vector<VoiceId> m_ended;
    std::vector<float> m_scratch;
    SoundTransform m_master;
    VoiceId m_nextId = 1;
};

/// Soft clipping: values up to the knee pass unchanged, louder ones bend smoothly
/// towards full scale instead of being cut flat.
float softClip(float value);

} // namespace sound
