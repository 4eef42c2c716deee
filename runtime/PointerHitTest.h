#pragma once

namespace runtime {

class ContainerObject;
class DisplayObject;

// What lies under the pointer, on the live display list (stage twips). Only what is
// drawn counts: invisible objects, masks (a script's too) and clips leaving the stage
// cover nothing.
//   - shapes and morph shapes: their fills and strokes; texts: their bounds;
//   - buttons: their hit area;
//   - sprites: any of their children, or what their scripts drew.

// Whether a script's mask on the object (setMask) lets the point through: true without
// one, else whether the point falls on what the mask draws.
bool maskAllows(const DisplayObject& object, double x, double y);
// Whether the point falls on what `object` draws.
bool coversPoint(const DisplayObject& object, double x, double y);
// The same for an object without children: a shape's or a morph's fills and strokes,
// else its bounds.
bool leafCovers(const DisplayObject& object, double x, double y);
// Whether the point falls on the fills and lines a clip's scripts drew.
bool drawingCovers(const DisplayObject& object, double x, double y);

// The topmost object drawn at the point below `root` that is not `exclude` nor inside
// it (a shape, a text, a button); null when nothing is there.
const DisplayObject* topmostAt(const ContainerObject& root, double x, double y,
                               const DisplayObject* exclude);

} // namespace runtime
