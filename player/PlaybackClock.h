#pragma once

#include <cstdint>

namespace player {

// Keeps a timeline to its frame rate: it says how many frames are due at a moment, so
// that a frame that comes late is stepped over rather than shown late, and the
// picture is drawn once for however many frames were due. A long stall (a suspended
// machine, a slow disk) does not make the movie race to catch up: past a few frames
// the clock starts again from the present.
class PlaybackClock {
public:
    static constexpr int kMaxCatchUp = 4;
    // Frame rates beyond this are played at it.
    static constexpr double kMaxFrameRate = 120;

    // Starts counting frames from `nowMs`. A rate of 0 or less never makes a frame due.
    void start(double framesPerSecond, std::int64_t nowMs);
    // The frames due since the last call (the first one a frame interval after start).
    int framesDue(std::int64_t nowMs);
    // Milliseconds until the next frame is due (0 when it already is), or -1 for never.
    std::int64_t msUntilNextFrame(std::int64_t nowMs) const;
    double framesPerSecond() const { return m_rate; }

private:
    double m_rate = 0;
    double m_origin = 0;        // when frame 0 was due
    std::int64_t m_counted = 0; // frames counted since the origin
};

} // namespace player
