#pragma once

// flash.display.BitmapData as the other built-ins see it: the pixels an object holds
// (shared with the clips that show them and the fills that paint with them), and the
// reading of the rectangles, points and colours its methods take.

#include "avm1/Function.h"
#include "runtime/BitmapData.h"

#include <optional>

namespace avm1 {

class Vm;

// What a BitmapData object (or an instance of a subclass) keeps. Its pixels are counted
// for the collector's pacing, as they are most of what a bitmap costs.
class BitmapDataState final : public Cell {
public:
    explicit BitmapDataState(runtime::BitmapDataPtr pixels) : bitmap(std::move(pixels)) {}
    std::size_t extraBytes() const override;

    runtime::BitmapDataPtr bitmap;
};

// The pixels of a BitmapData value, disposed or not; null for anything else.
runtime::BitmapData* bitmapDataOf(Value value);
runtime::BitmapDataPtr sharedBitmapDataOf(Value value);
// The same, only while not disposed.
runtime::BitmapData* liveBitmapDataOf(Value value);

// A new BitmapData object of `prototype` holding `bitmap`.
Object* makeBitmapData(Vm& vm, Object* prototype, runtime::BitmapDataPtr bitmap);

// A rectangle-shaped object's x, y, width and height, made whole (toward zero); none
// when it is no object or lacks one of them.
std::optional<runtime::PixelRect> readPixelRect(Vm& vm, Value value);
// A point-shaped object's x and y made whole; (0, 0) for anything else.
struct PixelPoint {
    int x = 0, y = 0;
};
PixelPoint readPixelPoint(Vm& vm, Value value);
// A number made a whole number the way the pixel methods take their coordinates.
int pixelNumber(Vm& vm, Value value);

// Installs flash.display.BitmapData; returns its prototype.
Object* installBitmapData(Vm& vm, Object* displayPackage, Object* rectanglePrototype,
                          Object* pointPrototype);

} // namespace avm1
