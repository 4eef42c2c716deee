#pragma once

#include "DecodedSound.h"
#include "SoundFormat.h"
#include "Voice.h"

#include <memory>
#include <vector>

namespace sound {

/// How one start of an event sound plays it. Points are in 44.1 kHz frames, as the
/// format gives them, whatever the sound's own rate.
struct EventPlayback {
    std::uint32_t inPoint44 = 0;
    std::optional<std::uint32_t> outPoint44;
    std::uint32_t loops = 1;
    std::vector<EnvelopePoint> envelope;

    static EventPlayback fromSoundInfo(const SoundInfo& info);
};

/// An event sound playing: the decoded sound from its in point to its out point, as many
/// times as it loops, through its envelope, resampled to the mixer's rate. Several voices
/// share one decoded sound.
class EventVoice final : public Voice {
public:
    EventVoice(std::shared_ptr<const DecodedSound> sound, EventPlayback playback);

    std::size_t read(float* out, std::size_t frames) override;
    double positionMs() const override;

private:
    float sampleAt(std::size_t frame, int channel) const;
    void applyEnvelope(float& left, float& right) const;

    std::shared_ptr<const DecodedSound> m_sound;
    EventPlayback m_playback;
    double m_step = 1;     // source frames per output frame
    double m_begin = 0;    // the in point, in source frames
    double m_end = 0;      // the out point, in source frames
    double m_position = 0; // the next frame to play, in source frames
    std::uint32_t m_loopsLeft = 1;
    std::uint64_t m_played44 = 0; // output frames since the start, for the envelope
    std::size_t m_envelopeIndex = 0;
};

} // namespace sound
