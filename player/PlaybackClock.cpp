#include "PlaybackClock.h"

#include <algorithm>
#include <cmath>

namespace player {

void PlaybackClock::start(double framesPerSecond, std::int64_t nowMs)
{
    m_rate = std::isfinite(framesPerSecond) ? std::min(framesPerSecond, kMaxFrameRate) : 0;
    m_origin = double(nowMs);
    m_counted = 0;
}

int PlaybackClock::framesDue(std::int64_t nowMs)
{
    if (m_rate <= 0)
        return 0;
    const double interval = 1000.0 / m_rate;
    const auto elapsedFrames =
        static_cast<std::int64_t>(std::floor((double(nowMs) - m_origin) / interval));
    const std::int64_t due = elapsedFrames - m_counted;
    if (due <= 0)
        return 0;
    if (due > kMaxCatchUp) {
        // Too far behind: play a few, then count again from now.
        m_origin = double(nowMs);
        m_counted = 0;
        return kMaxCatchUp;
    }
    m_counted = elapsedFrames;
    return static_cast<int>(due);
}

std::int64_t PlaybackClock::msUntilNextFrame(std::int64_t nowMs) const
{
    if (m_rate <= 0)
        return -1;
    const double interval = 1000.0 / m_rate;
    const double next = m_origin + double(m_counted + 1) * interval;
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(next - double(nowMs))));
}

} // namespace player
