#pragma once

#include "Geometry.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swf {

using CharacterId = std::uint16_t;

enum class SpreadMode : std::uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : std::uint8_t { Rgb = 0, LinearRgb = 1 };

struct GradientStop {
    std::uint8_t ratio = 0;
    Rgba color;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

// Gradients span -16384 to 16384 twips along x in their own space; the fill's matrix
// maps that square onto the shape.
struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Rgb;
    std::vector<GradientStop> stops;
    float focalPoint = 0; // focal radial gradients only, -1 to 1
    friend bool operator==(const Gradient&, const Gradient&) = default;
};

enum class FillType : std::uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalRadialGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;               // solid fills
    Matrix matrix;            // gradients and bitmaps
    Gradient gradient;        // gradients
    CharacterId bitmapId = 0; // bitmaps; 0xFFFF or an unknown id draws nothing

    bool isGradient() const
    {
        return type == FillType::LinearGradient || type == FillType::RadialGradient ||
               type == FillType::FocalRadialGradient;
    }
    bool isBitmap() const { return (static_cast<std::uint8_t>(type) & 0x40) != 0; }
    bool isClippedBitmap() const { return isBitmap() && (static_cast<std::uint8_t>(type) & 1); }
    bool isSmoothedBitmap() const { return isBitmap() && !(static_cast<std::uint8_t>(type) & 2); }
    friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

enum class CapStyle : std::uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : std::uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    std::uint16_t width = 0; // twips
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    std::optional<FillStyle> fill; // LineStyle2 with a fill instead of a colour
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

} // namespace swf
