// flash.geom: Point, Rectangle, Matrix, ColorTransform and Transform, in the order
// their users need them.
#include "Builtins.h"
#include "GeomColorTransform.h"
#include "GeomObjects.h"
#include "MovieClipParts.h"
#include "Packages.h"

namespace avm1 {

void installGeom(Vm& vm)
{
    Object* geom = packageObject(vm, "flash.geom");
    GeomPrototypes prototypes;
    prototypes.point = installPoint(vm, geom);
    prototypes.rectangle = installRectangle(vm, geom, prototypes.point);
    prototypes.matrix = installMatrix(vm, geom, prototypes.point);
    prototypes.colorTransform = installColorTransform(vm, geom);
    installTransform(vm, geom, prototypes);
    installMovieClipDisplay(vm, prototypes.rectangle);
}

} // namespace avm1
