#pragma once

#include "runtime/KeyCodes.h"
#include "runtime/MoviePlayer.h"

// The input every player fuzz target gives its movie, frame by frame: the pointer
// moving across the stage, pressed and released over it, the wheel, and keys, so that
// buttons, hit areas, focus and the handlers scripts attach to input are fuzzed with
// the movie (a pointer event over damaged buttons once stalled the player for
// seconds). Frames past the last event only move the pointer.
namespace fuzzinput {

inline void frame(runtime::MoviePlayer& player, int number)
{
    const double x = number * 400.0, y = number * 300.0;
    player.pointerMove(x, y);
    switch (number) {
    case 1:
        player.pointerDown(x, y);
        break;
    case 2:
        player.pointerUp(x, y);
        player.pointerWheel(x, y, -1);
        break;
    case 3:
        player.keyDown(runtime::key::Tab, 0);
        player.keyUp(runtime::key::Tab, 0);
        player.keyDown('A', 'a');
        player.keyUp('A', 'a');
        break;
    default:
        break;
    }
}

} // namespace fuzzinput
