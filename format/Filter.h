#pragma once

#include "Bitmap.h"
#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace swf {

// Blend modes of PlaceObject3 and DefineButton2; 0 and 1 both mean normal.
enum class BlendMode : std::uint8_t {
    Normal = 1,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    HardLight = 14,
};

BlendMode blendModeFromByte(std::uint8_t value);

// The filters of a FILTERLIST, with the fields the format document gives them. Blur
// sizes are in pixels (16.16 as stored), distances in pixels, angles in radians.
struct DropShadowFilter {
    Rgba color;
    double blurX = 0, blurY = 0, angle = 0, distance = 0;
    float strength = 1;
    bool inner = false, knockout = false, compositeSource = true;
    std::uint8_t passes = 1;
};
struct BlurFilter {
    double blurX = 0, blurY = 0;
    std::uint8_t passes = 1;
};
struct GlowFilter {
    Rgba color;
    double blurX = 0, blurY = 0;
    float strength = 1;
    bool inner = false, knockout = false, compositeSource = true;
    std::uint8_t passes = 1;
};
struct BevelFilter {
    Rgba shadowColor, highlightColor;
    double blurX = 0, blurY = 0, angle = 0, distance = 0;
    float strength = 1;
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    std::uint8_t passes = 1;
};
struct GradientGlowFilter {
    std::vector<GradientStop> stops;
    double blurX = 0, blurY = 0, angle = 0, distance = 0;
    float strength = 1;
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    std::uint8_t passes = 1;
};
struct GradientBevelFilter : GradientGlowFilter {};
struct ConvolutionFilter {
    std::uint8_t columns = 0, rows = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix; // rows * columns
    Rgba defaultColor;
    bool clamp = true, preserveAlpha = true;
};
struct ColorMatrixFilter {
    std::array<float, 20> matrix{};
};

// No file stores this one: scripts give it to display objects (a displacement map),
// and it is kept with their other filters so that it reads back and is drawn. The map is
// the picture it had when it was given.
struct DisplacementMapFilter {
    std::shared_ptr<const Bitmap> map;
    std::int32_t mapX = 0, mapY = 0;
    std::int32_t componentX = 0, componentY = 0;
    double scaleX = 0, scaleY = 0;
    enum class Mode : std::uint8_t { Wrap, Clamp, Ignore, Color } mode = Mode::Wrap;
    Rgba color{0, 0, 0, 0};
};

using Filter =
    std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter, GradientGlowFilter,
                 ConvolutionFilter, ColorMatrixFilter, GradientBevelFilter, DisplacementMapFilter>;

Result<std::vector<Filter>> parseFilterList(ByteReader& in);

} // namespace swf
