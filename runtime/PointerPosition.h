#pragma once

namespace runtime {

class DisplayObject;

// The pointer in an object's own space, in twips, as _xmouse and _ymouse give it. The
// reference works it out from where the pointer stands in the view (InputState's view
// matrix), through the object's transform to the view with its offset rounded to
// whole view pixels, and back through that transform's inverse with its offset rounded
// to whole twips; an object whose transform flattens it to a line gets the view pixels
// as they are.
struct LocalPoint {
    double x = 0;
    double y = 0;
};

LocalPoint pointerIn(const DisplayObject& object);

} // namespace runtime
