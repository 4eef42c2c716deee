#pragma once

#include "MovieWriter.h"

namespace swfwriter {

// A demo with sound: a music-box tune as the timeline's stream soundtrack, its keys
// lighting up in time, and a round button that chimes when pressed.
MovieWriter musicBox();

} // namespace swfwriter
