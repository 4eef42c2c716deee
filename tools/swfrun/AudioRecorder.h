#pragma once

#include "runtime/AudioSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swfrun {

// The headless run's sound output: it pulls the mixer's sound at the movie's frame timing
// (frame N ends at N / frame rate seconds), so sounds progress as they would in a window,
// and keeps it, as 16-bit stereo at the mixer's rate, when a WAV file was asked for.
class AudioRecorder final : public runtime::AudioSink {
public:
    explicit AudioRecorder(bool keep) : m_keep(keep) {}

    void connect(std::shared_ptr<sound::AudioSource> mix) override { m_mix = std::move(mix); }
    void disconnect() override { m_mix.reset(); }

    // The sound of one more frame at `frameRate` frames per second.
    void pullFrame(double frameRate);
    // Writes the kept sound as a WAV file; false when it cannot be written.
    bool writeWav(const std::string& path) const;

    const std::vector<std::int16_t>& samples() const { return m_samples; }

private:
    std::shared_ptr<sound::AudioSource> m_mix;
    bool m_keep = false;
    std::uint64_t m_frames = 0;      // movie frames pulled
    std::uint64_t m_soundFrames = 0; // sample frames pulled
    std::vector<float> m_buffer;
    std::vector<std::int16_t> m_samples;
};

} // namespace swfrun
