// BitmapData's methods that rasterize: draw (a clip or another bitmap, through a matrix
// and a colour transform, inside a clip rectangle), applyFilter and generateFilterRect.
// What needs a rasterizer goes to the host's (runtime/BitmapRasterizer.h); a bitmap
// moved by whole pixels with no colour change is copied here, which is also what a
// host without one gets.
#include "BitmapDataMethods.h"
#include "FilterObjects.h"
#include "GeomColorTransform.h"
#include "GeomObjects.h"
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/BitmapOperations.h"
#include "runtime/BitmapRasterizer.h"
#include "runtime/DisplayObject.h"
#include "runtime/DrawListBuilder.h"
#include "runtime/PlayerContext.h"

#include <cmath>

namespace avm1 {

namespace {

namespace bitmap = runtime::bitmap;

runtime::BitmapRasterizer* rasterizer(Vm& vm)
{
    runtime::DisplayObject* clip = scriptClip(vm);
    return clip ? clip->context().host().bitmapRasterizer() : nullptr;
}

// A script's matrix (pixels) as one from twips to twips.
swf::Matrix inTwips(const swf::Matrix& pixels)
{
    swf::Matrix m = pixels;
    m.tx *= swf::Twips::kPerPixel;
    m.ty *= swf::Twips::kPerPixel;
    return m;
}

bool wholeTranslation(const swf::Matrix& m)
{
    return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1 && m.tx == std::trunc(m.tx) &&
           m.ty == std::trunc(m.ty) && std::fabs(m.tx) < 1e9 && std::fabs(m.ty) < 1e9;
}

// A bitmap copied over the target at a whole offset, inside `clip`.
void copyOver(runtime::BitmapData& target, const runtime::BitmapData& source, int dx, int dy,
              const runtime::PixelRect& clip)
{
    const runtime::PixelRect area = bitmap::clipTo(
        target, {std::max(clip.x, dx), std::max(clip.y, dy),
                 std::min(clip.right(), dx + source.width()) - std::max(clip.x, dx),
                 std::min(clip.bottom(), dy + source.height()) - std::max(clip.y, dy)});
    if (area.empty())
        return;
    const runtime::PixelRect from{area.x - dx, area.y - dy, area.width, area.height};
    bitmap::copyPixels(target, source, from, area.x, area.y, {}, true);
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing)
Value draw(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 1)
        return Value(kTooFewArguments);
    runtime::BitmapData* sourceBitmap = liveBitmapDataOf(call.arg(0));
    ClipObject* clip = sourceBitmap ? nullptr : asClip(call.arg(0).objectOrNull());
    runtime::DisplayObject* sourceObject =
        clip && clip->live() ? clip->live()->displayObject() : nullptr;
    if (!sourceBitmap && !sourceObject)
        return Value(-2);

    swf::Matrix matrix;
    if (Object* given = call.arg(1).objectOrNull(); given && !readMatrix(vm, given, matrix))
        return Value();
    swf::ColorTransform color;
    if (Object* given = call.arg(2).objectOrNull())
        if (const ColorTransformState* state = colorTransformState(given))
            color = fixedColorTransform(vm, *state);
    runtime::PixelRect clipRect = target->rect();
    if (call.count() > 4 && !call.arg(4).isNullish()) {
        const auto given = readPixelRect(vm, call.arg(4));
        if (!given)
            return Value();
        clipRect = bitmap::clipTo(*target, *given);
    }
    const bool smoothing = vm.toBoolean(call.arg(5));
    const swf::BlendMode blend = scriptBlendMode(vm, call.arg(3)).value_or(swf::BlendMode::Normal);
    if (vm.throwing() || clipRect.empty())
        return Value();

    if (sourceBitmap && color.isIdentity() && wholeTranslation(matrix) &&
        blend == swf::BlendMode::Normal) {
        copyOver(*target, *sourceBitmap, static_cast<int>(matrix.tx), static_cast<int>(matrix.ty),
                 clipRect);
        return Value();
    }
    runtime::BitmapRasterizer* painter = rasterizer(vm);
    if (!painter)
        return Value();
    if (sourceBitmap) {
        runtime::DrawList list;
        std::shared_ptr<const swf::Bitmap> pixels = sourceBitmap->snapshot();
        runtime::DrawCommand command;
        command.bitmap = pixels.get();
        command.smoothing = smoothing;
        command.matrix = inTwips(matrix);
        command.colorTransform = color;
        list.commands.push_back(command);
        list.retained.push_back(std::move(pixels));
        painter->drawList(*target, list, clipRect, smoothing, blend);
        return Value();
    }
    const runtime::DrawList list = runtime::buildDrawList(*sourceObject, inTwips(matrix), color);
    painter->drawList(*target, list, clipRect, smoothing, blend);
    return Value();
}

// applyFilter(source, sourceRect, destPoint, filter)
Value applyFilter(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 4);
    if (args.failure != 0)
        return Value(args.failure);
    if (applyDisplacementMap(vm, call.arg(3), *args.target, *args.source, args.rect, args.dest.x,
                             args.dest.y))
        return Value(0);
    const std::optional<swf::Filter> filter = filterOf(vm, call.arg(3));
    if (!filter)
        return Value(-5);
    if (runtime::BitmapRasterizer* painter = rasterizer(vm))
        painter->applyFilter(*args.target, *args.source, args.rect, args.dest.x, args.dest.y,
                             *filter);
    return Value(0);
}

// generateFilterRect(sourceRect, filter): the area the filter draws from that rectangle.
Value generateFilterRect(Vm& vm, const CallArgs& call)
{
    if (!thisBitmap(call) || call.count() < 2)
        return Value(kTooFewArguments);
    const auto rect = readPixelRect(vm, call.arg(0));
    if (!rect)
        return Value(-2);
    Object* proto = dataObjectOr(call, nullptr);
    if (!proto)
        return Value();
    const FilterReach reach = filterReach(vm, call.arg(1));
    return Value(makeRectangle(vm, proto, rect->x - reach.left, rect->y - reach.top,
                               rect->width + reach.left + reach.right,
                               rect->height + reach.top + reach.bottom));
}

} // namespace

void installBitmapDataDraw(Vm& vm, Object* proto, Object* rectanglePrototype)
{
    vm.defineMethods(proto, {
                                {"draw", draw},
                                {"applyFilter", applyFilter},
                            });
    vm.defineMethod(proto, "generateFilterRect", generateFilterRect)
        ->setData(Value(rectanglePrototype));
}

} // namespace avm1
