#pragma once

#include <cstdint>

namespace runtime {

class MoviePlayer;

// The pointer the host shows over the movie.
enum class PointerCursor : std::uint8_t {
    Arrow,  // over anything that does not answer the pointer
    Hand,   // over a button, or a clip acting as one, that keeps its hand cursor
    IBeam,  // over a text field whose text can be selected or typed in
    Hidden, // scripts hid it (Mouse.hide)
};

// What the pointer looks like where it stands now. Hosts ask after each call into the
// player: input, a frame step, a script hiding or showing the pointer.
PointerCursor pointerCursor(const MoviePlayer& movie);

} // namespace runtime
