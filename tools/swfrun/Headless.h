#pragma once

#include "Options.h"

namespace swfrun {

// Loads and plays the movie, and writes what was asked. Returns the exit status: 0, or
// 1 with one line on standard error when the file cannot be read or is not a movie.
int run(const Options& options);

} // namespace swfrun
