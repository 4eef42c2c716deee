#pragma once

#include <string>

namespace swfrun {

struct Options {
    std::string movie;
    long frames = 1; // the first frame counts as one
    std::string png; // empty: no picture
};

// Loads and plays the movie, and writes what was asked. Returns the exit status: 0, or
// 1 with one line on standard error when the file cannot be read or is not a movie.
int run(const Options& options);

} // namespace swfrun
