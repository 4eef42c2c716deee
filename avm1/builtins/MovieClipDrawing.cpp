// MovieClip's drawing API: moveTo, lineTo, curveTo, beginFill, beginGradientFill,
// beginBitmapFill, lineStyle, lineGradientStyle, endFill and clear. The clip's drawing
// (runtime/Drawing.h) keeps what they draw and the rules it is drawn by; here the
// arguments become twips and styles. Coordinates are pixels in the clip's own space.
#include "BitmapDataObject.h"
#include "DrawingStyles.h"
#include "GeomObjects.h"
#include "MovieClipParts.h"
#include "avm1/Vm.h"
#include "runtime/Limits.h"
#include "runtime/SpriteObject.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = 20.0;

// A coordinate in twips: NaN is 0, and what lies past the drawable range stops at its edge.
std::int32_t twips(Vm& vm, Value pixels)
{
    const double value = vm.toNumber(pixels) * kTwipsPerPixel;
    if (std::isnan(value))
        return 0;
    constexpr double kLimit = runtime::limits::kMaxDrawingCoordinate;
    return static_cast<std::int32_t>(std::lround(std::clamp(value, -kLimit, kLimit)));
}

// Runs `draw` on the clip's drawing; a call the drawing's caps refuse is reported.
template <typename Draw> Value drawOn(Vm& vm, const CallArgs& call, const char* method, Draw&& draw)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    if (!sprite)
        return Value();
    if (!draw(sprite->editDrawing()))
        vm.logLazy([&] {
            return std::string(method) + " refused: the clip's drawing holds as much as it may";
        });
    return Value();
}

Value moveTo(Vm& vm, const CallArgs& call)
{
    if (call.count() < 2)
        return Value();
    const std::int32_t x = twips(vm, call.arg(0)), y = twips(vm, call.arg(1));
    if (vm.throwing())
        return Value();
    return drawOn(vm, call, "moveTo", [&](runtime::Drawing& d) { return d.moveTo(x, y); });
}

Value lineTo(Vm& vm, const CallArgs& call)
{
    if (call.count() < 2)
        return Value();
    const std::int32_t x = twips(vm, call.arg(0)), y = twips(vm, call.arg(1));
    if (vm.throwing())
        return Value();
    return drawOn(vm, call, "lineTo", [&](runtime::Drawing& d) { return d.lineTo(x, y); });
}

Value curveTo(Vm& vm, const CallArgs& call)
{
    if (call.count() < 4)
        return Value();
    const std::int32_t cx = twips(vm, call.arg(0)), cy = twips(vm, call.arg(1));
    const std::int32_t x = twips(vm, call.arg(2)), y = twips(vm, call.arg(3));
    if (vm.throwing())
        return Value();
    return drawOn(vm, call, "curveTo",
                  [&](runtime::Drawing& d) { return d.curveTo(cx, cy, x, y); });
}

Value beginFill(Vm& vm, const CallArgs& call)
{
    // Without a colour the fill in use ends, as endFill.
    if (call.arg(0).isUndefined())
        return drawOn(vm, call, "beginFill", [](runtime::Drawing& d) { return d.endFill(); });
    swf::FillStyle fill;
    fill.color = drawingColor(vm, call.arg(0), call.arg(1));
    if (vm.throwing())
        return Value();
    return drawOn(vm, call, "beginFill", [&](runtime::Drawing& d) { return d.beginFill(fill); });
}

Value beginGradientFill(Vm& vm, const CallArgs& call)
{
    if (call.arg(0).isUndefined())
        return drawOn(vm, call, "beginGradientFill",
                      [](runtime::Drawing& d) { return d.endFill(); });
    const std::optional<swf::FillStyle> fill = drawingGradient(vm, call);
    if (!fill)
        return Value();
    return drawOn(vm, call, "beginGradientFill",
                  [&](runtime::Drawing& d) { return d.beginFill(*fill); });
}

// beginBitmapFill(bitmap, matrix, repeat, smoothing): the fill paints with the bitmap as
// it is whenever it is drawn. Its pixels are a pixel each in the clip's space unless the
// matrix (a flash.geom.Matrix, in pixels) maps them elsewhere; they repeat unless
// `repeat` is false, when their edges stretch out instead. Anything but a live bitmap
// gives no fill: the fill in use ends, as endFill.
Value beginBitmapFill(Vm& vm, const CallArgs& call)
{
    runtime::BitmapDataPtr bitmap = sharedBitmapDataOf(call.arg(0));
    if (!bitmap || bitmap->disposed())
        return drawOn(vm, call, "beginBitmapFill", [](runtime::Drawing& d) { return d.endFill(); });
    swf::Matrix matrix;
    if (Object* given = call.arg(1).objectOrNull(); given && !readMatrix(vm, given, matrix))
        return Value();
    const bool repeat = call.arg(2).isUndefined() || vm.toBoolean(call.arg(2));
    const bool smoothing = vm.toBoolean(call.arg(3));
    if (vm.throwing())
        return Value();
    swf::FillStyle fill;
    fill.type = repeat ? (smoothing ? swf::FillType::RepeatingBitmap
                                    : swf::FillType::NonSmoothedRepeatingBitmap)
                       : (smoothing ? swf::FillType::ClippedBitmap
                                    : swf::FillType::NonSmoothedClippedBitmap);
    // The fill's space is twips, as a shape's bitmap fills are.
    fill.matrix = swf::Matrix::scale(kTwipsPerPixel, kTwipsPerPixel) * matrix;
    runtime::SpriteObject* sprite = thisSprite(call);
    if (!sprite)
        return Value();
    // The clip is marked changed whenever the bitmap is.
    if (auto viewer = sprite->weak_from_this().lock())
        bitmap->addViewer(viewer);
    return drawOn(vm, call, "beginBitmapFill",
                  [&](runtime::Drawing& d) { return d.beginBitmapFill(fill, bitmap); });
}

Value endFill(Vm& vm, const CallArgs& call)
{
    return drawOn(vm, call, "endFill", [](runtime::Drawing& d) { return d.endFill(); });
}

Value lineStyle(Vm& vm, const CallArgs& call)
{
    const std::optional<swf::LineStyle> line = drawingLineStyle(vm, call);
    if (vm.throwing())
        return Value();
    return drawOn(vm, call, "lineStyle", [&](runtime::Drawing& d) { return d.setLineStyle(line); });
}

// A gradient for the line style in use. Null or undefined as the type takes the lines
// away; other arguments that describe no gradient change nothing.
Value lineGradientStyle(Vm& vm, const CallArgs& call)
{
    if (call.arg(0).isUndefined() || call.arg(0).isNull())
        return drawOn(vm, call, "lineGradientStyle",
                      [](runtime::Drawing& d) { return d.setLineStyle(std::nullopt); });
    const std::optional<swf::FillStyle> fill = drawingGradient(vm, call);
    if (!fill)
        return Value();
    runtime::SpriteObject* sprite = thisSprite(call);
    if (sprite && sprite->drawing())
        sprite->editDrawing().setLineFill(*fill);
    return Value();
}

Value clear(Vm&, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    if (sprite && sprite->drawing())
        sprite->editDrawing().clear();
    return Value();
}

} // namespace

void installMovieClipDrawing(Vm& vm, Object* proto)
{
    vm.defineMethods(proto, {{"moveTo", moveTo},
                             {"lineTo", lineTo},
                             {"curveTo", curveTo},
                             {"beginFill", beginFill},
                             {"beginGradientFill", beginGradientFill},
                             {"beginBitmapFill", beginBitmapFill},
                             {"endFill", endFill},
                             {"lineStyle", lineStyle},
                             {"lineGradientStyle", lineGradientStyle},
                             {"clear", clear}});
}

} // namespace avm1
