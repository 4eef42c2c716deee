#pragma once

#include "LogSelection.h"
#include "render/Quality.h"

#include <optional>
#include <string>
#include <vector>

namespace swfrun {

struct Options {
    std::string movie;
    long frames = 1;   // the first frame counts as one
    std::string png;   // empty: no picture
    std::string wav;   // empty: no sound file
    std::string input; // the events file to send; empty: none
    // The window the stage is shown in, in pixels; 0 by 0 means the stage's own size.
    int viewportWidth = 0;
    int viewportHeight = 0;
    double scale = 1; // device pixels per viewport pixel
    render::Quality quality = render::Quality::High;
    // The script time limit of the run; 0 leaves it to the movie and the interpreter.
    double maxExecutionSeconds = 0;
    // Diagnostic categories printed to standard error (--log); none by default.
    LogSelection log;
    // --file-dialog: the file every dialog the movie opens chooses (FileReference.browse
    // picks it, download saves to it); empty, or "cancel", cancels them all.
    std::string fileDialog;
    // --disasm: print the movie's byte code instead of playing it.
    bool disassemble = false;
};

// The largest viewport side, in device pixels, that a picture may have: beyond it the
// image would no longer fit in memory comfortably.
inline constexpr int kMaxPictureSide = 16384;

// The usage line, without a trailing newline.
const char* usageText();

// Reads the command line (without the program's name); nothing when it is not one this
// tool takes.
std::optional<Options> parseArguments(const std::vector<std::string>& arguments);

} // namespace swfrun
