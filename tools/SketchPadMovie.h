#pragma once

#include "MovieWriter.h"

namespace swfwriter {

// A scripted demo: a star drawn with the drawing API that the arrow keys move, an input
// text field to type into, and a context menu item that centres the star.
MovieWriter sketchPad();

} // namespace swfwriter
