#pragma once

#include "format/Result.h"
#include "runtime/FileDialog.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace avm1 {

// What the VM needs from whoever runs it, beyond the movie's clips: the trace output,
// the diagnostic log, the clock and the files scripts load. The engine implements it over
// runtime::Host.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual void trace(std::string_view line) = 0;
    virtual bool logEnabled() const { return false; }
    virtual void log(std::string_view /*message*/) {}
    // Milliseconds since the movie started (getTimer, GetTime).
    virtual double elapsedMilliseconds() const { return 0; }
    // Milliseconds since 1970-01-01 UTC, and the local zone's offset from UTC in
    // minutes at that time (Date).
    virtual double currentTimeMilliseconds() const;
    virtual double localOffsetMinutes(double utcMilliseconds) const;
    // System.setClipboard: the player's clipboard, which text fields paste from; false
    // when the host has none.
    virtual bool setClipboardText(std::string_view /*utf8*/) { return false; }
    // The file at `url` beside the movie (XML.load, LoadVars.load); none by default.
    virtual swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view /*url*/,
                                                             std::size_t /*maxBytes*/)
    {
        return swf::makeError(swf::ErrorCode::CannotOpen, "the host loads no files");
    }
    // The host's file dialogs (runtime::Host has the rules): 0 when it shows none.
    virtual std::uint32_t openFileDialog(const runtime::FileDialogRequest& /*request*/)
    {
        return 0;
    }
    virtual std::optional<runtime::FileDialogAnswer> fileDialogAnswer(std::uint32_t /*ticket*/)
    {
        return runtime::FileDialogAnswer{};
    }
    virtual bool writeChosenFile(std::string_view /*path*/, std::span<const std::uint8_t> /*bytes*/)
    {
        return false;
    }
};

} // namespace avm1
