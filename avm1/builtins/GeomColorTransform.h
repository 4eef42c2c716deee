#pragma once

// flash.geom.ColorTransform's state, for the classes that hand transforms to scripts
// and take them back (Transform, BitmapData).

#include "avm1/Heap.h"
#include "format/Geometry.h"

namespace avm1 {

class Object;
class Vm;

// The channels in the constructor's order: the multipliers of red, green, blue and
// alpha, then their offsets. Kept as the script gave them, unbounded.
class ColorTransformState final : public Cell {
public:
    enum Field {
        RedMultiplier,
        GreenMultiplier,
        BlueMultiplier,
        AlphaMultiplier,
        RedOffset,
        GreenOffset,
        BlueOffset,
        AlphaOffset,
        FieldCount
    };
    double values[FieldCount] = {1, 1, 1, 1, 0, 0, 0, 0};
};

// The state of a ColorTransform (or of an instance of a subclass); null for others.
ColorTransformState* colorTransformState(Object* object);

// A new ColorTransform with `prototype` holding what a display object's transform does.
Object* makeColorTransform(Vm& vm, Object* prototype, const swf::ColorTransform& transform);
// The display list's fixed point form of the state, wrapped to its 16 bits.
swf::ColorTransform fixedColorTransform(Vm& vm, const ColorTransformState& state);

// Installs flash.geom.ColorTransform; returns its prototype.
Object* installColorTransform(Vm& vm, Object* geomPackage);

} // namespace avm1
