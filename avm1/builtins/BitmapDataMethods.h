#pragma once

// What the files of BitmapData share (BitmapDataClass.cpp, BitmapDataPixels.cpp,
// BitmapDataEffects.cpp, BitmapDataDraw.cpp).
//
// The methods answer with the reference's codes rather than throw: -1 for too few
// arguments or a disposed bitmap, -2, -3, -4 for the first, second and third argument
// of the wrong kind (counted among those that must be bitmaps, rectangles, points or
// transforms), and each its own value once it ran.

#include "BitmapDataObject.h"

#include <optional>

namespace runtime {
class DisplayObject;
} // namespace runtime

namespace avm1 {

inline constexpr int kTooFewArguments = -1;

// "this" as bitmap pixels, null when it is none or disposed.
runtime::BitmapData* thisBitmap(const CallArgs& call);

// The object a native keeps as its data (the prototype it makes objects with), else
// `fallback`.
inline Object* dataObjectOr(const CallArgs& call, Object* fallback)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    Object* data = self ? self->data().objectOrNull() : nullptr;
    return data ? data : fallback;
}

// Whether a bitmap of that size may be made: the version's sides and pixels, and the
// cap on every bitmap alive (after a collection, when needed).
bool allowBitmap(Vm& vm, int width, int height);

// The arguments the copying methods open with, after "this": (source, sourceRect,
// destPoint). `failure` is 0 when they were read, else the code to answer with: -1
// without `minCount` arguments or with a disposed target, -2 when the source is no
// bitmap, -3 when it is disposed, -4 when the rectangle is none.
struct CopyArguments {
    runtime::BitmapData* target = nullptr;
    runtime::BitmapData* source = nullptr;
    runtime::PixelRect rect{};
    PixelPoint dest{};
    int failure = 0;
};
CopyArguments readCopyArguments(Vm& vm, const CallArgs& call, std::size_t minCount);

// A point-shaped object with both x and y; none otherwise.
std::optional<PixelPoint> readStrictPixelPoint(Vm& vm, Value value);

// The display object the running code belongs to (its timeline), else the main
// timeline: the movie whose exports loadBitmap sees, and the host it draws through.
runtime::DisplayObject* scriptClip(Vm& vm);

// fillRect, copyPixels, copyChannel, colorTransform, merge, scroll, paletteMap,
// floodFill, threshold, getColorBoundsRect, hitTest, compare (BitmapDataPixels.cpp);
// noise, perlinNoise, pixelDissolve (BitmapDataEffects.cpp); draw, applyFilter,
// generateFilterRect (BitmapDataDraw.cpp).
void installBitmapDataMethods(Vm& vm, Object* proto, Object* rectanglePrototype,
                              Object* pointPrototype);
void installBitmapDataEffects(Vm& vm, Object* proto);
void installBitmapDataDraw(Vm& vm, Object* proto, Object* rectanglePrototype);

} // namespace avm1
