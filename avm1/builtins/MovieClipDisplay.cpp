// MovieClip's scrollRect, scale9Grid, opaqueBackground, blendMode and cacheAsBitmap
// (SWF 8): what part of itself a clip shows, the grid its scaling keeps, the colour
// behind it, how it is laid over what is below, and whether it is drawn through a
// bitmap of itself. The two rectangles read back as a new flash.geom.Rectangle each
// time; any object with x, y, width and height sets one, anything else takes it away.
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

Value rectangleOf(Vm& vm, const CallArgs& call, const std::optional<swf::Rect>& rect)
{
    Object* proto = geom::dataPrototype(call);
    if (!proto || !rect)
        return Value();
    return Value(makeRectangle(vm, proto, rect->xMin.pixels(), rect->yMin.pixels(),
                               rect->width().pixels(), rect->height().pixels()));
}

// An object with x, y, width and height as a rectangle in twips; nothing for others.
std::optional<swf::Rect> givenRectangle(Vm& vm, const Value& given)
{
    if (!given.objectOrNull())
        return std::nullopt;
    const double x = geom::number(vm, given, "x");
    const double y = geom::number(vm, given, "y");
    const double width = geom::number(vm, given, "width");
    const double height = geom::number(vm, given, "height");
    if (vm.throwing())
        return std::nullopt;
    const swf::Twips left = toTwips(x);
    const swf::Twips top = toTwips(y);
    return swf::Rect{left, left + toTwips(width), top, top + toTwips(height)};
}

Value getScrollRect(Vm& vm, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    return object ? rectangleOf(vm, call, object->scrollRect()) : Value();
}

Value setScrollRect(Vm& vm, const CallArgs& call)
{
    if (runtime::DisplayObject* object = thisDisplayObject(call))
        object->setScrollRect(givenRectangle(vm, call.arg(0)));
    return Value();
}

Value getScale9Grid(Vm& vm, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    return object ? rectangleOf(vm, call, object->scale9Grid()) : Value();
}

Value setScale9Grid(Vm& vm, const CallArgs& call)
{
    if (runtime::DisplayObject* object = thisDisplayObject(call))
        object->setScale9Grid(givenRectangle(vm, call.arg(0)));
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

// The blend modes by the names scripts give them, in the order of their numbers (1 on).
constexpr const char* kBlendModeNames[] = {
    "normal", "layer",    "multiply", "screen", "lighten", "darken",  "difference",
    "add",    "subtract", "invert",   "alpha",  "erase",   "overlay", "hardlight"};

Value getBlendMode(Vm& vm, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    const auto index = static_cast<std::size_t>(object->blendMode()) - 1;
    return vm.strValue(index < std::size(kBlendModeNames) ? kBlendModeNames[index] : "normal");
}

// A name, or a mode's number; anything else leaves the mode as it is.
Value setBlendMode(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    if (const std::optional<swf::BlendMode> mode = scriptBlendMode(vm, call.arg(0)))
        object->setBlendMode(*mode);
    return Value();
}

Value getCacheAsBitmap(Vm&, const CallArgs& call)
{
    const runtime::DisplayObject* object = thisDisplayObject(call);
    return object ? Value(object->cacheAsBitmap()) : Value();
}

Value setCacheAsBitmap(Vm& vm, const CallArgs& call)
{
    if (runtime::DisplayObject* object = thisDisplayObject(call))
        object->setCacheAsBitmap(vm.toBoolean(call.arg(0)));
    return Value();
}

} // namespace

std::optional<swf::BlendMode> scriptBlendMode(Vm& vm, const Value& given)
{
    if (given.isNumber()) {
        const double n = given.asNumber();
        if (n >= 1 && n <= double(std::size(kBlendModeNames)) && n == std::floor(n))
            return swf::blendModeFromByte(static_cast<std::uint8_t>(n));
        return std::nullopt;
    }
    if (!given.isString())
        return std::nullopt;
    const std::string name = vm.toStdString(given);
    for (std::size_t i = 0; i < std::size(kBlendModeNames); ++i) {
        if (name == kBlendModeNames[i])
            return swf::blendModeFromByte(static_cast<std::uint8_t>(i + 1));
    }
    return std::nullopt;
}

void installMovieClipDisplay(Vm& vm, Object* rectanglePrototype)
{
    constexpr std::uint16_t kFlags =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | VersionFlag::SinceSwf8;
    // Buttons share blending, caching and the nine-slice grid; scrolling and the
    // background are clips' only.
    for (Object* proto : {vm.builtins().movieClipProto, vm.builtins().buttonProto}) {
        if (!proto)
            continue;
        defineAccessor(vm, proto, "scale9Grid", getScale9Grid, setScale9Grid, kFlags)
            ->setData(Value(rectanglePrototype));
        defineAccessor(vm, proto, "blendMode", getBlendMode, setBlendMode, kFlags);
        defineAccessor(vm, proto, "cacheAsBitmap", getCacheAsBitmap, setCacheAsBitmap, kFlags);
    }
    Object* proto = vm.builtins().movieClipProto;
    if (!proto)
        return;
    defineAccessor(vm, proto, "scrollRect", getScrollRect, setScrollRect, kFlags)
        ->setData(Value(rectanglePrototype));
    defineAccessor(vm, proto, "opaqueBackground", getOpaqueBackground, setOpaqueBackground, kFlags);
}

} // namespace avm1
