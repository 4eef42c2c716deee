#pragma once

// flash.geom's Point, Rectangle and Matrix are plain objects with plain properties
// (x, y; x, y, width, height; a, b, c, d, tx, ty), so scripts may pass any object of
// that shape where one is asked for. These make them for natives and read them back.

#include "format/Geometry.h"

namespace avm1 {

class Object;
class Vm;

// The prototypes the natives give the objects they make, set by their installers.
struct GeomPrototypes {
    Object* point = nullptr;
    Object* rectangle = nullptr;
    Object* matrix = nullptr;
    Object* colorTransform = nullptr;
};

Object* makePoint(Vm& vm, Object* prototype, double x, double y);
Object* makeRectangle(Vm& vm, Object* prototype, double x, double y, double width, double height);
// `matrix` in pixels: tx and ty are not twips.
Object* makeMatrix(Vm& vm, Object* prototype, const swf::Matrix& matrix);
// The six entries of a matrix-shaped object, converted to numbers; false when a
// conversion threw.
bool readMatrix(Vm& vm, Object* object, swf::Matrix& out);

// Installers, each returning its class's prototype.
Object* installPoint(Vm& vm, Object* geomPackage);
Object* installRectangle(Vm& vm, Object* geomPackage, Object* pointPrototype);
Object* installMatrix(Vm& vm, Object* geomPackage, Object* pointPrototype);
void installTransform(Vm& vm, Object* geomPackage, const GeomPrototypes& prototypes);

} // namespace avm1
