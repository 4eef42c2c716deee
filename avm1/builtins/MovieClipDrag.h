#pragma once

// startDrag and stopDrag, for the MovieClip methods and the StartDrag and EndDrag
// actions alike.

#include <optional>

namespace avm1 {

class ClipObject;
class Vm;

// A box in the clip's parent's space, in pixels, as scripts give it.
struct DragBox {
    double left, top, right, bottom;
};

// The clip follows the pointer from now on, ending any other drag.
void startDragging(Vm& vm, ClipObject& clip, bool lockCenter, std::optional<DragBox> box);
void stopDragging(Vm& vm);

} // namespace avm1
