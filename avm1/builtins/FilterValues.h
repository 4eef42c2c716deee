#pragma once

// How the filter classes take the values scripts give them (FilterClasses.cpp): each
// brought into its property's range the way the reference does.

#include "FilterObjects.h"

#include <string_view>

namespace avm1::filtervalues {

// The default values of a new filter of each class.
FilterState::Data defaultFilter(FilterKind kind);

std::uint32_t rgbOf(const swf::Rgba& color);
void setRgb(swf::Rgba& color, std::uint32_t rgb);
// A colour: the number's low 24 bits.
std::uint32_t colorValue(Vm& vm, Value value);
// An alpha from 0 to 1 as a byte, truncated (NaN is opaque).
std::uint8_t alphaByte(double alpha);
// `value` inside [low, high]; NaN gives `low`.
double clampNumber(double value, double low, double high);
// Degrees as scripts give them, modulo 360, to the radians kept.
double angleRadians(double degrees);
// A quality (the filter's passes): a whole number from 0 to 15.
std::uint8_t quality(Vm& vm, Value value);
// "inner", "outer" or "full" (anything else is full).
GradientFilterState::Type typeFromName(Vm& vm, Value value);
std::string_view modeName(DisplacementMapFilterState::Mode mode);
// "wrap", "clamp", "ignore" or "color" (anything else is wrap).
DisplacementMapFilterState::Mode modeFromName(Vm& vm, Value value);

// The gradient lists: colours set the count (at most 16); alphas fill that many; ratios
// shorten it to their own length.
void setGradientColors(Vm& vm, GradientFilterState& filter, Value value);
void setGradientAlphas(Vm& vm, GradientFilterState& filter, Value value);
void setGradientRatios(Vm& vm, GradientFilterState& filter, Value value);

// A colour matrix: twenty numbers, missing ones NaN; undefined and null change nothing.
void setColorMatrix(Vm& vm, ColorMatrixFilterState& filter, Value value);
// A convolution kernel: as many numbers as the value's length, then zeros up to
// matrixX * matrixY.
void setConvolutionMatrix(Vm& vm, ConvolutionFilterState& filter, Value value);
void setConvolutionSize(ConvolutionFilterState& filter, int matrixX, int matrixY);
// A kernel's side: a whole number from 0 to 15.
int matrixSide(Vm& vm, Value value);

// The BitmapData object a value is, or null.
Object* bitmapObject(Value value);
// mapPoint: an object with both x and y, each converted as the reference's integer
// conversion does (NaN and numbers out of range give -2^31); (0, 0) for anything else.
// Both are converted even when the first throws; the first exception is the one thrown.
void setMapPoint(Vm& vm, DisplacementMapFilterState& filter, Value value);
Object* makeFilterPoint(Vm& vm, Object* pointPrototype, std::int32_t x, std::int32_t y);

} // namespace avm1::filtervalues
