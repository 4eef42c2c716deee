#include "SoundClock.h"

namespace player {

std::int64_t SoundClock::now(std::int64_t wallMs, std::optional<std::int64_t> soundMs)
{
    if (soundMs && *soundMs != m_lastSoundMs) {
        // A sound clock that went back is another output's: follow it from here.
        if (*soundMs < m_lastSoundMs)
            m_anchor.reset();
        m_lastSoundMs = *soundMs;
        m_lastSoundChangeWallMs = wallMs;
    }
    const bool stalled = soundMs && wallMs - m_lastSoundChangeWallMs > kStallMs;
    if (!soundMs || stalled) {
        m_anchor.reset();
        return wallMs + m_offset;
    }
    if (!m_anchor)
        m_anchor = Anchor{wallMs + m_offset, *soundMs};
    const std::int64_t time = m_anchor->movieMs + (*soundMs - m_anchor->soundMs);
    m_offset = time - wallMs;
    return time;
}

} // namespace player
