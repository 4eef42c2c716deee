#include "EventVoice.h"

#include <algorithm>
#include <cmath>

namespace sound {

EventPlayback EventPlayback::fromSoundInfo(const SoundInfo& info)
{
    EventPlayback playback;
    playback.inPoint44 = info.inPoint.value_or(0);
    playback.outPoint44 = info.outPoint;
    playback.loops = std::clamp<std::uint32_t>(info.loops, 1, limits::kMaxLoops);
    playback.envelope = info.envelope;
    return playback;
}

EventVoice::EventVoice(std::shared_ptr<const DecodedSound> sound, EventPlayback playback)
    : m_sound(std::move(sound)), m_playback(std::move(playback))
{
    const double frames = double(m_sound->frames());
    const double perOutput = m_sound->rate / limits::kOutputRate;
    m_step = perOutput;
    m_begin = std::min(frames, m_playback.inPoint44 * perOutput);
    m_end = frames;
    if (m_playback.outPoint44)
        m_end = std::clamp(*m_playback.outPoint44 * perOutput, m_begin, frames);
    m_position = m_begin;
    m_loopsLeft = std::clamp<std::uint32_t>(m_playback.loops, 1, limits::kMaxLoops);
}

float EventVoice::sampleAt(std::size_t frame, int channel) const
{
    const std::size_t channels = std::size_t(m_sound->channels);
    const std::size_t c = std::min(std::size_t(channel), channels - 1);
    return m_sound->samples[frame * channels + c] * (1.0f / 32768.0f);
}

void EventVoice::applyEnvelope(float& left, float& right) const
{
    const auto& points = m_playback.envelope;
    if (points.empty())
        return;
    // Between two points the levels move in a straight line; before the first and after
    // the last they hold.
    const EnvelopePoint& next = points[std::min(m_envelopeIndex, points.size() - 1)];
    double leftLevel = next.left;
    double rightLevel = next.right;
    if (m_envelopeIndex > 0 && m_envelopeIndex < points.size()) {
        const EnvelopePoint& previous = points[m_envelopeIndex - 1];
        const double span = double(next.position44) - double(previous.position44);
        const double t = span > 0 ? (double(m_played44) - previous.position44) / span : 1;
        leftLevel = previous.left + (double(next.left) - previous.left) * t;
        rightLevel = previous.right + (double(next.right) - previous.right) * t;
    }
    left *= float(leftLevel / 32768.0);
    right *= float(rightLevel / 32768.0);
}

std::size_t EventVoice::read(float* out, std::size_t frames)
{
    const std::size_t last = m_sound->frames();
    std::size_t written = 0;
    while (written < frames) {
        if (m_position >= m_end || last == 0) {
            if (m_loopsLeft <= 1 || m_end <= m_begin)
                break;
            --m_loopsLeft;
            m_position = m_begin + std::max(0.0, m_position - m_end);
            if (m_position >= m_end)
                m_position = m_begin;
        }
        const std::size_t index = std::size_t(m_position);
        const float fraction = float(m_position - double(index));
        const std::size_t following = std::min(index + 1, last - 1);
        float left = sampleAt(index, 0);
        float right = sampleAt(index, 1);
        left += (sampleAt(following, 0) - left) * fraction;
        right += (sampleAt(following, 1) - right) * fraction;
        while (m_envelopeIndex < m_playback.envelope.size() &&
               m_playback.envelope[m_envelopeIndex].position44 <= m_played44)
            ++m_envelopeIndex;
        applyEnvelope(left, right);
        out[2 * written] = left;
        out[2 * written + 1] = right;
        ++written;
        ++m_played44;
        m_position += m_step;
    }
    return written;
}

double EventVoice::positionMs() const
{
    return m_sound->rate > 0 ? std::min(m_position, m_end) * 1000.0 / m_sound->rate : 0;
}

} // namespace sound
