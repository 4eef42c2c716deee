#pragma once

// Where the built-ins reach the player's input (keys, pointer, drag, focus): the state
// the main timeline's player keeps. Null when the VM runs without a movie.

namespace runtime {
class InputState;
class SpriteObject;
} // namespace runtime

namespace avm1 {

class Vm;

runtime::InputState* playerInput(Vm& vm);
// The main timeline, for what the focus and the drag start from.
runtime::SpriteObject* mainTimeline(Vm& vm);

} // namespace avm1
