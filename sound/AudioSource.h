#pragma once

#include <cstddef>

namespace sound {

/// A source of sound that fills a buffer when asked: the mixer pulls from its voices,
/// and the output pulls from the mixer, each on its own schedule.
///
/// A frame is one sample of every channel; samples are floats, nominally -1 to 1,
/// interleaved (left, right for two channels). rate() and channels() do not change over
/// a source's life.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    /// Frames per second.
    virtual int rate() const = 0;
    virtual int channels() const = 0;

    /// Writes up to `frames` frames to `out` (frames x channels() floats) and returns
    /// how many it wrote. Fewer than asked means the source has ended: it writes nothing
    /// from then on.
    virtual std::size_t read(float* out, std::size_t frames) = 0;

    /// Whether the source has anything to play now; an output may wait to open until it
    /// has.
    virtual bool sounding() const { return true; }
};

} // namespace sound
