#pragma once

#include <cstdint>

namespace runtime {

// Whether a script's bitmap has its corner put on a whole device pixel: always, never,
// or (Auto) when it is drawn at its own size and not turned.
enum class PixelSnapping : std::uint8_t { Never, Always, Auto };

} // namespace runtime
