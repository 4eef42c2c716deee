#pragma once

#include "format/Movie.h"

#include <string>

namespace swfrun {

// Every block of byte code in the movie, disassembled: frame and init actions of the
// main timeline and of each sprite, button actions, clip actions of placements.
std::string disassembleMovie(const swf::MovieDefinition& movie);

} // namespace swfrun
