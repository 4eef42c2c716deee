#pragma once

#include <cstdint>
#include <optional>

namespace player {

// The movie's time: while a stream sound plays through the output, the sound's own clock
// (so the timeline keeps pace with what is heard, however the device's rate drifts from
// the system clock); otherwise, and whenever the sound's clock stalls, the system clock.
// Switching between them never makes time jump: each takes over where the other was.
class SoundClock {
public:
    // The sound clock counts as stalled after this long without moving.
    static constexpr std::int64_t kStallMs = 300;

    // `wallMs` is the system clock; `soundMs` the output's played time while a stream
    // plays, nothing otherwise.
    std::int64_t now(std::int64_t wallMs, std::optional<std::int64_t> soundMs);

private:
    struct Anchor {
        std::int64_t movieMs = 0;
        std::int64_t soundMs = 0;
    };
    std::int64_t m_offset = 0; // movie time minus the system clock's
    std::optional<Anchor> m_anchor;
    std::int64_t m_lastSoundMs = -1;
    std::int64_t m_lastSoundChangeWallMs = 0;
};

} // namespace player
