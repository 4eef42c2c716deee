#pragma once

// The arithmetic Color, ColorTransform and Transform share with the display list's
// colour transforms: 8.8 fixed point multipliers and offsets, both 16 bits, that wrap
// as the reference's do when scripts give values out of their range.

#include "format/Geometry.h"

#include <cstdint>

namespace runtime {
class DisplayObject;
}

namespace avm1 {

class Vm;

// The low 16 bits, as a signed value.
std::int16_t wrapTo16(std::int32_t value);
// A multiplier in percent (Color's ra...) and back, truncated into 8.8.
double multiplierPercent(std::int16_t multiplier);
std::int16_t percentMultiplier(Vm& vm, double percent);
// A multiplier as a factor (ColorTransform's redMultiplier...) and back.
double multiplierFactor(std::int16_t multiplier);
std::int16_t factorMultiplier(Vm& vm, double factor);
// An offset as scripts give it, truncated.
std::int16_t offsetValue(Vm& vm, double offset);

// A script's new colour transform for `object`: from now on the timeline leaves it.
void applyScriptColor(runtime::DisplayObject& object, const swf::ColorTransform& transform);

} // namespace avm1
