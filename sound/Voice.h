#pragma once

#include "AudioSource.h"
#include "Limits.h"

namespace sound {

/// A sound the mixer plays: a source at the mixer's rate and channel count (44.1 kHz
/// stereo), already resampled.
class Voice : public AudioSource {
public:
    int rate() const final { return limits::kOutputRate; }
    int channels() const final { return limits::kOutputChannels; }

    /// Where the voice stands in its sound, in milliseconds from the sound's start (in
    /// the current loop).
    virtual double positionMs() const = 0;
};

/// How the owner of a voice hears it: the four ways the source's channels reach the
/// output's (1 keeps a channel as it is), then the volume (1 is unchanged).
struct SoundTransform {
    double leftToLeft = 1;
    double leftToRight = 0;
    double rightToLeft = 0;
    double rightToRight = 1;
    double volume = 1;

    bool operator==(const SoundTransform&) const = default;
};

} // namespace sound
