#pragma once

// What loadMovie makes of an image file: a movie of one frame that shows the image at
// its top left corner, a pixel of the image to a pixel of the stage.
#include "Movie.h"
#include "Result.h"

#include <cstdint>
#include <span>

namespace swf {

// A JPEG, PNG or GIF file, by its signature (whatever its name says).
bool isImageFile(std::span<const std::uint8_t> file);

// The movie showing the image: the bitmap as character 1, a rectangle filled with it as
// character 2, placed at depth 1 of its only frame. The header gives `swfVersion`, the
// image's size as the stage and the file's length as the declared one. Fails when the
// file is no image the decoders read, or breaks the bitmap caps of Limits.h.
Result<MoviePtr> movieFromImage(std::span<const std::uint8_t> file, std::uint8_t swfVersion);

} // namespace swf
