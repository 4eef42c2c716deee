#pragma once

#include "swfwriter/ActionWriter.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace runtime {
class MoviePlayer;
}

// Plays a movie made by the project's writer with the interpreter attached, headless,
// and returns what it traced, a line each.
namespace scriptrun {

struct Options {
    int frames = 1;
    double timeBudgetSeconds = 15;
    // The files beside the movie that its loads find, by url.
    std::map<std::string, std::string> files = {};
    // When given, the diagnostics of every category are on and kept here.
    std::vector<std::string>* diagnostics = nullptr;
    // Whether fscommand("quit") ends the run, as it does in swfrun.
    bool honoursQuit = true;
    // The movie's address (_url, and where SharedObjects keep to); none by default.
    std::string movieUrl = {};
    // Called with the player once the frames have run, to look at what scripts cannot.
    std::function<void(const runtime::MoviePlayer&)> inspect = {};
};

std::vector<std::string> traces(const swfwriter::MovieWriter& movie, const Options& options = {});
// One frame of `version` running `code`.
std::vector<std::string> run(int version, const swfwriter::ActionWriter& code,
                             const Options& options = {});
// The lines joined with "\n", for compact comparisons.
std::string joined(const std::vector<std::string>& lines);

} // namespace scriptrun
