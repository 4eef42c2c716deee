// Movies with known, tolerated defects, shared by the tests of the diagnostics they raise.
#pragma once

#include "MovieWriter.h"

namespace swfwriter {

// Shape 1 defined twice (a note for the format category) and a placement of id 9, which
// the movie never defines (a note for the display category).
MovieWriter movieWithTwoFlaws();

} // namespace swfwriter
