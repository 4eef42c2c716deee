#pragma once

#include <cstdint>

namespace render {

// How carefully a frame is drawn. Low draws without antialiasing; Medium antialiases
// edges; High also smooths scaled bitmaps.
enum class Quality : std::uint8_t { Low, Medium, High };

} // namespace render
