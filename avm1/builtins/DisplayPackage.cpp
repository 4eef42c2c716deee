// flash.display (BitmapData) and flash.filters, with what MovieClip gains from them:
// attachBitmap and the clips' `filters`. After flash.geom, whose Point and Rectangle
// their methods hand out.
#include "BitmapDataObject.h"
#include "Builtins.h"
#include "FilterObjects.h"
#include "MovieClipParts.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

namespace {

Object* geomPrototype(Vm& vm, std::string_view name)
{
    Object* geom = packageObject(vm, "flash.geom");
    Object* ctor = vm.getMember(geom, name).objectOrNull();
    return ctor ? vm.getMember(ctor, vm.names().prototype).objectOrNull() : nullptr;
}

// attachBitmap(bitmap, depth, pixelSnapping, smoothing)
Value attachBitmap(Vm& vm, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    runtime::BitmapDataPtr bitmap = sharedBitmapDataOf(call.arg(0));
    if (!sprite || !bitmap || bitmap->disposed() || call.count() < 2)
        return Value();
    const double depth = vm.toNumber(call.arg(1));
    // "always" and "never" by name; "auto", and anything else, snaps when nothing turns
    // or scales the bitmap.
    auto snapping = runtime::PixelSnapping::Auto;
    if (call.arg(2).isString()) {
        const std::string name = vm.toStdString(call.arg(2));
        if (name == "always")
            snapping = runtime::PixelSnapping::Always;
        else if (name == "never")
            snapping = runtime::PixelSnapping::Never;
    }
    const bool smoothing = vm.toBoolean(call.arg(3));
    if (vm.throwing() || !std::isfinite(depth))
        return Value();
    sprite->attachBitmap(std::move(bitmap), static_cast<long long>(depth), smoothing, snapping);
    return Value();
}

} // namespace

void installDisplayPackage(Vm& vm)
{
    Object* point = geomPrototype(vm, "Point");
    Object* rectangle = geomPrototype(vm, "Rectangle");
    Object* display = packageObject(vm, "flash.display");
    Object* bitmapProto = installBitmapData(vm, display, rectangle, point);
    (void)bitmapProto;
    if (Object* clipProto = vm.builtins().movieClipProto)
        vm.defineMethod(clipProto, "attachBitmap", attachBitmap,
                        PropertyFlag::DontEnum | VersionFlag::SinceSwf8);

    FilterPrototypes* classes = installFilters(vm, point);
    installClipFilters(vm, classes);
}

} // namespace avm1
