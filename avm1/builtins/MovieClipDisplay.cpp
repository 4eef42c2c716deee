// MovieClip's scrollRect and opaqueBackground (SWF 8): what part of itself a clip shows,
// and the colour behind it. scrollRect reads back as a new flash.geom.Rectangle each
// time; any object with x, y, width and height sets it, anything else takes it away.
#include "GeomObjects.h"
#include "GeomScript.h"
#include "MovieClipParts.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = swf::Twips::kPerPixel;

// Pixels as whole twips, NaN as 0, within what twips hold.
swf::Twips toTwips(double pixels)
{
    constexpr double kLimit = 1 << 30;
    if (std::isnan(pixels))
        return swf::Twips{0};
    return swf::Twips{static_cast<std::int32_t>(
        std::lround(std::clamp(pixels * kTwipsPerPixel, -kLimit, kLimit)))};
}

Value getScrollRect(Vm& vm, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    Object* proto = geom::dataPrototype(call);
    if (!object || !proto || !object->scrollRect())
        return Value();
    const swf::Rect& rect = *object->scrollRect();
    return Value(makeRectangle(vm, proto, rect.xMin.pixels(), rect.yMin.pixels(),
                               rect.width().pixels(), rect.height().pixels()));
}

Value setScrollRect(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    const Value given = call.arg(0);
    if (!given.objectOrNull()) {
        object->setScrollRect(std::nullopt);
        return Value();
    }
    const double x = geom::number(vm, given, "x");
    const double y = geom::number(vm, given, "y");
    const double width = geom::number(vm, given, "width");
    const double height = geom::number(vm, given, "height");
    if (vm.throwing())
        return Value();
    const swf::Twips left = toTwips(x);
    const swf::Twips top = toTwips(y);
    object->setScrollRect(swf::Rect{left, left + toTwips(width), top, top + toTwips(height)});
    return Value();
}

Value getOpaqueBackground(Vm&, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object || !object->opaqueBackground())
        return Value();
    const swf::Rgba c = *object->opaqueBackground();
    return Value(static_cast<double>((c.r << 16) | (c.g << 8) | c.b));
}

// Undefined and null take the background away; anything else is a colour, 0xRRGGBB.
Value setOpaqueBackground(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    const Value given = call.arg(0);
    if (given.isUndefined() || given.isNull()) {
        object->setOpaqueBackground(std::nullopt);
        return Value();
    }
    const auto rgb = static_cast<std::uint32_t>(vm.toInt32(given));
    if (vm.throwing())
        return Value();
    object->setOpaqueBackground(swf::Rgba{static_cast<std::uint8_t>(rgb >> 16),
                                          static_cast<std::uint8_t>(rgb >> 8),
                                          static_cast<std::uint8_t>(rgb), 255});
    return Value();
}

} // namespace

void installMovieClipDisplay(Vm& vm, Object* rectanglePrototype)
{
    Object* proto = vm.builtins().movieClipProto;
    if (!proto)
        return;
    constexpr std::uint16_t kFlags =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | VersionFlag::SinceSwf8;
    defineAccessor(vm, proto, "scrollRect", getScrollRect, setScrollRect, kFlags)
        ->setData(Value(rectanglePrototype));
    defineAccessor(vm, proto, "opaqueBackground", getOpaqueBackground, setOpaqueBackground, kFlags);
}

} // namespace avm1
