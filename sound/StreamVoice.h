#pragma once

#include "Voice.h"

#include <cstdint>
#include <deque>
#include <span>

namespace sound {

/// A timeline's stream sound: a queue the timeline feeds one block of decoded samples per
/// frame, played at the mixer's rate. It never ends by itself: when the queue runs dry it
/// plays silence until more comes or its owner stops it.
class StreamVoice final : public Voice {
public:
    StreamVoice(double sourceRate, int sourceChannels);

    /// Adds decoded frames (interleaved in the source's channel count); beyond
    /// limits::kMaxQueuedStreamFrames waiting, the oldest are dropped.
    void push(std::span<const std::int16_t> samples);
    /// Frames waiting to be played, at the source's rate.
    std::size_t queuedFrames() const { return m_queue.size() / m_channels; }

    std::size_t read(float* out, std::size_t frames) override;
    double positionMs() const override;

private:
    float sampleAt(std::size_t frame, std::size_t channel) const;

    double m_step = 1;
    std::size_t m_channels = 1;
    std::deque<std::int16_t> m_queue;
    double m_fraction = 0;            // between queue frame 0 and 1
    std::uint64_t m_playedFrames = 0; // source frames taken from the queue
    double m_rate = 44100;
};

} // namespace sound
