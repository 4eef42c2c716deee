#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <vector>

// FILTERLIST records for PlaceObject3 and DefineButton2. Blur sizes, angles (radians)
// and distances are written as 16.16 numbers, strengths as 8.8.
namespace swfwriter {

struct ShadowFlags {
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    std::uint8_t passes = 1;
};

struct DropShadow {
    Color color{};
    double blurX = 4, blurY = 4, angle = 0.785, distance = 4, strength = 1;
    ShadowFlags flags{};
};
struct Blur {
    double blurX = 4, blurY = 4;
    std::uint8_t passes = 1;
};
struct Glow {
    Color color{};
    double blurX = 6, blurY = 6, strength = 2;
    ShadowFlags flags{};
};
struct Bevel {
    Color shadowColor{}, highlightColor{};
    double blurX = 4, blurY = 4, angle = 0.785, distance = 4, strength = 1;
    ShadowFlags flags{};
};
// GradientGlow (id 4) and GradientBevel (id 7).
struct GradientFilter {
    bool bevel = false;
    std::vector<std::pair<std::uint8_t, Color>> stops{}; // ratio, colour
    double blurX = 4, blurY = 4, angle = 0.785, distance = 4, strength = 1;
    ShadowFlags flags{};
};
struct Convolution {
    std::uint8_t columns = 3, rows = 3;
    float divisor = 1, bias = 0;
    std::vector<float> matrix{}; // written as given; columns * rows for a valid record
    Color defaultColor{};
    bool clamp = true, preserveAlpha = true;
};
struct ColorMatrix {
    float matrix[20] = {};
};

class FilterListWriter {
public:
    FilterListWriter& add(const DropShadow& f);
    FilterListWriter& add(const Blur& f);
    FilterListWriter& add(const Glow& f);
    FilterListWriter& add(const Bevel& f);
    FilterListWriter& add(const GradientFilter& f);
    FilterListWriter& add(const Convolution& f);
    FilterListWriter& add(const ColorMatrix& f);
    // A filter record with any id and body, for tests of unknown or damaged filters.
    FilterListWriter& addRaw(std::uint8_t filterId, const std::vector<std::uint8_t>& body);

    // NumberOfFilters, then the filters; `declaredCount` overrides the count.
    std::vector<std::uint8_t> bytes(int declaredCount = -1) const;

private:
    ByteWriter m_filters;
    int m_count = 0;
};

} // namespace swfwriter
