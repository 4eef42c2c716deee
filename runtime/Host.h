#pragma once

#include "AudioSink.h"
#include "FileDialog.h"
#include "FontMetrics.h"
#include "format/Result.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace runtime {

class BitmapRasterizer;

/// The diagnostic log's categories, each with the name hosts show and match. The enum,
/// the names and the player's Qt logging categories ("reelvane.<name>") all come from
/// this one list:
/// - Format: defects the file reader tolerated (the movie's notes, logged as it loads)
/// - Timeline: placements, removals and jumps the movie asked for and could not have
/// - Display: objects refused: unknown ids, wrong kinds, caps reached
/// - Buttons: pointer tracking and button transitions
/// - Actions: action blocks queued, run or dropped
/// - Avm1: the interpreter: malformed byte code, failed calls, limits reached
/// - Sound: sounds that cannot be decoded or played
/// The movie's trace output is no diagnostic: it goes to Host::trace.
#define RUNTIME_LOG_CATEGORY_LIST(X)                                                               \
    X(Format, "format")                                                                            \
    X(Timeline, "timeline")                                                                        \
    X(Display, "display")                                                                          \
    X(Buttons, "buttons")                                                                          \
    X(Actions, "actions")                                                                          \
    X(Avm1, "avm1")                                                                                \
    X(Avm2, "avm2")                                                                                \
    X(Sound, "sound")

/// What a diagnostic is about; a host can turn each on alone.
enum class LogCategory : std::uint8_t {
#define RUNTIME_LOG_CATEGORY_ENUM(id, name) id,
    RUNTIME_LOG_CATEGORY_LIST(RUNTIME_LOG_CATEGORY_ENUM)
#undef RUNTIME_LOG_CATEGORY_ENUM
};

inline constexpr LogCategory kLogCategories[] = {
#define RUNTIME_LOG_CATEGORY_VALUE(id, name) LogCategory::id,
    RUNTIME_LOG_CATEGORY_LIST(RUNTIME_LOG_CATEGORY_VALUE)
#undef RUNTIME_LOG_CATEGORY_VALUE
};
inline constexpr std::size_t kLogCategoryCount = std::size(kLogCategories);

constexpr std::string_view logCategoryName(LogCategory category)
{
    switch (category) {
#define RUNTIME_LOG_CATEGORY_NAME(id, name)                                                        \
    case LogCategory::id:                                                                          \
        return name;
        RUNTIME_LOG_CATEGORY_LIST(RUNTIME_LOG_CATEGORY_NAME)
#undef RUNTIME_LOG_CATEGORY_NAME
    }
    return "unknown";
}

/// The category called `name` ("format", "timeline"...), or nothing.
constexpr std::optional<LogCategory> logCategoryFromName(std::string_view name)
{
    for (LogCategory category : kLogCategories) {
        if (logCategoryName(category) == name)
            return category;
    }
    return std::nullopt;
}

/// The one seam between the engine and whoever runs it: the player control, the
/// swfrun tool, the tests. The engine is a library that knows nothing of windows,
/// timers or threads; everything it needs from outside goes through this interface, so
/// that a headless host is a few lines and the window's host can forward each call to
/// its own thread.
///
/// The engine calls these from the thread that drives the MoviePlayer, inside the
/// player's own calls (construction, advance(), pointer input), never later. Each has a
/// default that does nothing, so a host overrides only what it uses.
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

    /// The bytes of the file a script loads (XML.load, LoadVars.load, loadMovie and the
    /// imports of the movies it loads): `url` as the movie wrote it, relative to the
    /// movie's own place. A host serves only files it is willing to give (beside the
    /// movie, no larger than `maxBytes`) and gives the reason for any other; by default it
    /// has none.
    virtual swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view /*url*/,
                                                             std::size_t /*maxBytes*/)
    {
        return swf::makeError(swf::ErrorCode::CannotOpen, "the host loads no files");
    }

    /// The measures of the system font text fields show `family` in (a font name, or
    /// "_sans", "_serif" or "_typewriter"), in the style asked for: the engine reads no
    /// font files. Null when the host has no fonts; the engine then lays text out with
    /// rough proportions of its own.
    virtual std::shared_ptr<const FontMetrics> deviceFont(std::string_view /*family*/,
                                                          bool /*bold*/, bool /*italic*/)
    {
        return nullptr;
    }

    /// What draws display objects and filters into scripts' bitmaps (BitmapRasterizer.h);
    /// none by default, and BitmapData.draw and applyFilter then do little.
    virtual BitmapRasterizer* bitmapRasterizer() { return nullptr; }

    /// Whether a movie's fscommand("quit") ends its playing. A standalone run (swfrun)
    /// stops there; a player inside a window keeps playing, since the window's own
    /// controls are what close a movie.
    virtual bool honoursQuit() const { return false; }

    /// The sound output (AudioSink.h), asked once as the player is made; none by
    /// default, and the engine then plays no sound at all.
    virtual AudioSink* audioSink() { return nullptr; }

    /// Opens a file dialog (FileDialog.h) without waiting for it: returns a ticket, not
    /// 0, that fileDialogAnswer is then asked about once a frame. 0 means the host shows
    /// no dialogs, which the movie hears as a cancelled one; that is the default.
    virtual std::uint32_t openFileDialog(const FileDialogRequest& /*request*/) { return 0; }
    /// The answer to the dialog of `ticket` once the user has given it, nothing while it
    /// is still open. Asked until it answers, never after.
    virtual std::optional<FileDialogAnswer> fileDialogAnswer(std::uint32_t /*ticket*/)
    {
        return FileDialogAnswer{};
    }
    /// Writes a downloaded file to the place the user chose in a save dialog (`path` as
    /// that answer gave it); false when it cannot, and by default.
    virtual bool writeChosenFile(std::string_view /*path*/, std::span<const std::uint8_t> /*bytes*/)
    {
        return false;
    }
};

} // namespace runtime
