// BitmapData's methods that copy, fill and test pixels: fillRect, copyPixels,
// copyChannel, colorTransform, merge, scroll, paletteMap, floodFill, threshold,
// getColorBoundsRect, hitTest and compare. The pixel work is the runtime's
// (runtime/BitmapOperations.h, runtime/BitmapRegions.h); here the arguments are read
// and checked in the reference's order, each failure with its code.
#include "BitmapDataMethods.h"
#include "GeomColorTransform.h"
#include "GeomObjects.h"
#include "NativeHelpers.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"
#include "runtime/BitmapOperations.h"
#include "runtime/BitmapRegions.h"

#include <algorithm>
#include <string>

namespace avm1 {

namespace {

namespace bitmap = runtime::bitmap;

std::uint32_t colorArgument(Vm& vm, const CallArgs& call, std::size_t index, std::uint32_t fallback)
{
    return index < call.count() ? vm.toUint32(call.arg(index)) : fallback;
}

Value fillRect(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 2)
        return Value(kTooFewArguments);
    const auto rect = readPixelRect(vm, call.arg(0));
    if (!rect)
        return Value(kTooFewArguments);
    bitmap::fillRect(*target, *rect, vm.toUint32(call.arg(1)));
    return Value(0);
}

// copyPixels(source, sourceRect, destPoint, alphaBitmap, alphaPoint, mergeAlpha)
Value copyPixels(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 3);
    if (args.failure != 0)
        return Value(args.failure);
    // An alpha bitmap counts only with its point given (null and non-points read as
    // the origin).
    bitmap::AlphaSource alpha;
    if (runtime::BitmapData* alphaBitmap =
            call.count() > 4 ? liveBitmapDataOf(call.arg(3)) : nullptr) {
        const PixelPoint at = readPixelPoint(vm, call.arg(4));
        alpha = {alphaBitmap, at.x, at.y};
    }
    const bool mergeAlpha = vm.toBoolean(call.arg(5));
    bitmap::copyPixels(*args.target, *args.source, args.rect, args.dest.x, args.dest.y, alpha,
                       mergeAlpha);
    return Value(0);
}

// copyChannel(source, sourceRect, destPoint, sourceChannel, destChannel)
Value copyChannel(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 5);
    if (args.failure != 0)
        return Value(args.failure);
    const std::uint32_t from = vm.toUint32(call.arg(3));
    const std::uint32_t to = vm.toUint32(call.arg(4));
    bitmap::copyChannel(*args.target, *args.source, args.rect, args.dest.x, args.dest.y, from, to);
    return Value(kTooFewArguments);
}

// colorTransform(rect, colorTransform): only a flash.geom.ColorTransform will do.
Value colorTransform(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 2)
        return Value(kTooFewArguments);
    const auto rect = readPixelRect(vm, call.arg(0));
    if (!rect)
        return Value(-2);
    Object* given = call.arg(1).objectOrNull();
    const ColorTransformState* state = given ? colorTransformState(given) : nullptr;
    if (!state)
        return Value(-3);
    bitmap::ChannelTransform transform;
    for (std::size_t c = 0; c < 4; ++c) {
        transform.multiplier[c] = state->values[ColorTransformState::RedMultiplier + c];
        transform.offset[c] = state->values[ColorTransformState::RedOffset + c];
    }
    bitmap::colorTransform(*target, *rect, transform);
    return Value(kTooFewArguments);
}

// merge(source, sourceRect, destPoint, redMultiplier, greenMultiplier, blueMultiplier,
// alphaMultiplier): each multiplier from 0 to 256.
Value merge(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 6);
    if (args.failure != 0)
        return Value(args.failure);
    // Without an alpha multiplier the source's alpha replaces the target's.
    std::array<std::int32_t, 4> multipliers{0, 0, 0, 256};
    for (std::size_t c = 0; c < 4 && 3 + c < call.count(); ++c)
        multipliers[c] = std::clamp(vm.toInt32(call.arg(3 + c)), 0, 256);
    bitmap::merge(*args.target, *args.source, args.rect, args.dest.x, args.dest.y, multipliers);
    return Value(kTooFewArguments);
}

Value scroll(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 2)
        return Value(kTooFewArguments);
    bitmap::scroll(*target, pixelNumber(vm, call.arg(0)), pixelNumber(vm, call.arg(1)));
    return Value();
}

// paletteMap(source, sourceRect, destPoint, redArray, greenArray, blueArray, alphaArray)
Value paletteMap(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 3);
    if (args.failure != 0)
        return Value(args.failure);
    bitmap::PaletteTables tables;
    for (std::size_t c = 0; c < 4; ++c) {
        Object* array = call.arg(3 + c).objectOrNull();
        if (!array)
            continue;
        const std::vector<Value> entries = elementsOf(vm, array, 256);
        auto& table = tables.tables[c].emplace();
        for (std::size_t i = 0; i < 256; ++i)
            table[i] = i < entries.size() ? vm.toUint32(entries[i]) : 0;
        if (vm.throwing())
            return Value();
    }
    bitmap::paletteMap(*args.target, *args.source, args.rect, args.dest.x, args.dest.y, tables);
    return Value();
}

// floodFill(x, y, color): 1 when a pixel changed.
Value floodFill(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 3)
        return Value(kTooFewArguments);
    const int x = pixelNumber(vm, call.arg(0));
    const int y = pixelNumber(vm, call.arg(1));
    const std::uint32_t color = vm.toUint32(call.arg(2));
    const std::uint64_t before = target->version();
    bitmap::floodFill(*target, x, y, color);
    return Value(target->version() != before ? 1 : 0);
}

std::optional<bitmap::Comparison> comparison(std::string_view text)
{
    if (text == "<")
        return bitmap::Comparison::Less;
    if (text == "<=")
        return bitmap::Comparison::LessOrEqual;
    if (text == ">")
        return bitmap::Comparison::Greater;
    if (text == ">=")
        return bitmap::Comparison::GreaterOrEqual;
    if (text == "==")
        return bitmap::Comparison::Equal;
    if (text == "!=")
        return bitmap::Comparison::NotEqual;
    return std::nullopt;
}

// threshold(source, sourceRect, destPoint, operation, threshold, color, mask,
// copySource): how many pixels passed.
Value threshold(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 5);
    if (args.failure != 0)
        return Value(args.failure);
    const std::string operation = vm.toStdString(call.arg(3));
    bitmap::Threshold test;
    test.threshold = vm.toUint32(call.arg(4));
    test.color = colorArgument(vm, call, 5, 0);
    test.mask = colorArgument(vm, call, 6, 0xFFFFFFFFu);
    test.copySource = vm.toBoolean(call.arg(7));
    const auto op = comparison(operation);
    if (vm.throwing() || !op)
        return Value(0);
    test.operation = *op;
    return Value(static_cast<double>(
        bitmap::threshold(*args.target, *args.source, args.rect, args.dest.x, args.dest.y, test)));
}

// getColorBoundsRect(mask, color, findColor)
Value getColorBoundsRect(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 2)
        return Value(kTooFewArguments);
    const std::uint32_t mask = vm.toUint32(call.arg(0));
    const std::uint32_t color = vm.toUint32(call.arg(1));
    const bool findColor = call.count() < 3 || vm.toBoolean(call.arg(2));
    Object* proto = dataObjectOr(call, nullptr);
    if (vm.throwing() || !proto)
        return Value();
    const runtime::PixelRect r = bitmap::colorBounds(*target, mask, color, findColor);
    return Value(makeRectangle(vm, proto, r.x, r.y, r.width, r.height));
}

// An alpha threshold: a whole number from 0 to 255.
std::uint32_t alphaThreshold(Vm& vm, Value value)
{
    return static_cast<std::uint32_t>(std::clamp(vm.toInt32(value), 0, 255));
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint,
// secondAlphaThreshold): the second is a point, a rectangle or a bitmap.
Value hitTest(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* first = thisBitmap(call);
    if (!first || call.count() < 3)
        return Value(kTooFewArguments);
    const auto origin = readStrictPixelPoint(vm, call.arg(0));
    if (!origin)
        return Value(-2);
    const std::uint32_t firstThreshold = alphaThreshold(vm, call.arg(1));
    const Value second = call.arg(2);
    if (runtime::BitmapData* other = bitmapDataOf(second)) {
        if (other->disposed())
            return Value(-3);
        PixelPoint at;
        if (call.count() > 3) {
            const auto given = readStrictPixelPoint(vm, call.arg(3));
            if (!given)
                return Value(-4);
            at = *given;
        }
        const std::uint32_t secondThreshold =
            call.count() > 4 ? alphaThreshold(vm, call.arg(4)) : 1;
        return Value(bitmap::opaqueOverlap(*first, firstThreshold, *other, at.x - origin->x,
                                           at.y - origin->y, secondThreshold));
    }
    if (const auto rect = readPixelRect(vm, second)) {
        runtime::PixelRect local = *rect;
        local.x -= origin->x;
        local.y -= origin->y;
        return Value(bitmap::anyOpaqueIn(*first, local, firstThreshold));
    }
    if (const auto point = readStrictPixelPoint(vm, second)) {
        const int x = point->x - origin->x;
        const int y = point->y - origin->y;
        return Value(first->contains(x, y) &&
                     runtime::pixel::alpha(first->at(x, y)) >= firstThreshold);
    }
    return Value(-3);
}

// compare(other): 0 when alike, a bitmap of the differences, or a code.
Value compare(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* first = thisBitmap(call);
    if (!first)
        return Value(kTooFewArguments);
    runtime::BitmapData* second = liveBitmapDataOf(call.arg(0));
    if (!second)
        return Value(-2);
    if (first->width() != second->width())
        return Value(-3);
    if (first->height() != second->height())
        return Value(-4);
    runtime::BitmapDataPtr differences = bitmap::compare(*first, *second);
    if (!differences)
        return Value(0);
    if (!allowBitmap(vm, differences->width(), differences->height()))
        return Value();
    return Value(makeBitmapData(vm, call.thisObject()->prototype(), std::move(differences)));
}

} // namespace

void installBitmapDataMethods(Vm& vm, Object* proto, Object* rectanglePrototype,
                              Object* /*pointPrototype*/)
{
    vm.defineMethods(proto, {
                                {"fillRect", fillRect},
                                {"copyPixels", copyPixels},
                                {"copyChannel", copyChannel},
                                {"colorTransform", colorTransform},
                                {"merge", merge},
                                {"scroll", scroll},
                                {"paletteMap", paletteMap},
                                {"floodFill", floodFill},
                                {"threshold", threshold},
                                {"hitTest", hitTest},
                                {"compare", compare},
                            });
    vm.defineMethod(proto, "getColorBoundsRect", getColorBoundsRect)
        ->setData(Value(rectanglePrototype));
    installBitmapDataEffects(vm, proto);
    installBitmapDataDraw(vm, proto, rectanglePrototype);
}

} // namespace avm1
