#pragma once

// What the engine and MovieClip need of the TextField class.

namespace avm1 {

class ClipObject;
class Vm;

// A text field was placed: it gets its own listener list (holding itself, as the
// reference's fields do) and binds to its variable.
void textFieldPlaced(Vm& vm, ClipObject& field);

} // namespace avm1
