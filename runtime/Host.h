#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

/// What a diagnostic is about; a host can turn each on alone.
enum class LogCategory : std::uint8_t {
    Timeline, ///< placements, removals and jumps the movie asked for and could not have
    Display,  ///< objects refused: unknown ids, wrong kinds, caps reached
    Buttons,  ///< pointer tracking and button transitions
    Actions,  ///< action blocks queued, run or dropped
};

std::string_view logCategoryName(LogCategory category);

/// The one seam between the engine and whoever runs it: the player control, the
/// swfrun tool, the tests. The engine is a library that knows nothing of windows,
/// timers or threads; everything it needs from outside goes through this interface, so
/// that a headless host is a few lines and the window's host can forward each call to
/// its own thread.
///
/// The engine calls these from the thread that drives the MoviePlayer, inside the
/// player's own calls (construction, advance(), pointer input), never later. Each has a
/// default that does nothing, so a host overrides only what it uses.
///
/// Still to come here: the audio sink (a pull-model output the sound mixer feeds) and
/// file loading (a file beside the movie, for loadMovie and loadVariables).
class Host {
public:
    virtual ~Host() = default;

    /// The picture has changed since the last request: build a DrawList and paint it
    /// when convenient. Asked at most once per call into the player.
    virtual void requestRepaint() {}

    /// One line of the movie's trace output (UTF-8, without a line break).
    virtual void trace(std::string_view /*line*/) {}

    /// The diagnostic log, off by default: a normal run prints nothing. The engine asks
    /// logEnabled() before it formats a message, so a silent log costs nothing.
    virtual bool logEnabled(LogCategory /*category*/) const { return false; }
    virtual void log(LogCategory /*category*/, std::string_view /*message*/) {}
};

} // namespace runtime
