#include "StreamVoice.h"

#include <algorithm>

namespace sound {

StreamVoice::StreamVoice(double sourceRate, int sourceChannels)
    : m_step(sourceRate / limits::kOutputRate),
      m_channels(std::size_t(std::clamp(sourceChannels, 1, 2))), m_rate(sourceRate)
{}

void StreamVoice::push(std::span<const std::int16_t> samples)
{
    m_queue.insert(m_queue.end(), samples.begin(), samples.end());
    const std::size_t cap = limits::kMaxQueuedStreamFrames * m_channels;
    if (m_queue.size() > cap) {
        const std::size_t drop = (m_queue.size() - cap) / m_channels * m_channels;
        m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(drop));
        m_playedFrames += drop / m_channels;
    }
}

float StreamVoice::sampleAt(std::size_t frame, std::size_t channel) const
{
    return m_queue[frame * m_channels + std::min(channel, m_channels - 1)] * (1.0f / 32768.0f);
}

std::size_t StreamVoice::read(float* out, std::size_t frames)
{
    std::size_t written = 0;
    while (written < frames && queuedFrames() > 0) {
        // The last queued frame interpolates towards itself until the next block comes.
        const std::size_t following = queuedFrames() > 1 ? 1 : 0;
        const float f = float(m_fraction);
        float left = sampleAt(0, 0);
        float right = sampleAt(0, 1);
        out[2 * written] = left + (sampleAt(following, 0) - left) * f;
        out[2 * written + 1] = right + (sampleAt(following, 1) - right) * f;
        ++written;
        m_fraction += m_step;
        const std::size_t whole = std::min(std::size_t(m_fraction), queuedFrames());
        m_fraction -= double(whole);
        m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(whole * m_channels));
        m_playedFrames += whole;
    }
    // A starved stream is silent, not ended.
    std::fill(out + 2 * written, out + 2 * frames, 0.0f);
    return frames;
}

double StreamVoice::positionMs() const
{
    return m_rate > 0 ? double(m_playedFrames) * 1000.0 / m_rate : 0;
}

} // namespace sound
