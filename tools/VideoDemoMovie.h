#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <vector>

namespace swfwriter {

// A demo with video: a small player movie that streams an FLV lying beside it into a
// Video object and plays it over and over. The clip (a ball bouncing across a sky) is
// coded as Sorenson H.263 by libavcodec's encoder.
struct VideoDemo {
    MovieWriter movie;
    std::vector<std::uint8_t> flv; // empty when the encoder is missing
};
VideoDemo videoDemo(const char* flvName);

} // namespace swfwriter
