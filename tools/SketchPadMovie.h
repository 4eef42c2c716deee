#pragma once

#include "MovieWriter.h"

namespace swfwriter {

// A scripted demo: a star drawn with the drawing API that the arrow keys move, and an
// input text field to type into.
MovieWriter sketchPad();

} // namespace swfwriter
