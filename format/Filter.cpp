#include "Filter.h"

#include "Limits.h"
#include "Records.h"

#include <cmath>
#include <string>

namespace swf {

namespace {

enum FilterId : std::uint8_t {
    DropShadowId = 0,
    BlurId = 1,
    GlowId = 2,
    BevelId = 3,
    GradientGlowId = 4,
    ConvolutionId = 5,
    ColorMatrixId = 6,
    GradientBevelId = 7,
};

// Floats reach the renderer's arithmetic; a NaN or infinity there would spread over
// the whole picture, so such a value counts as zero.
float finite(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}

// The flag byte of the shadow and glow filters: InnerShadow (or InnerGlow), Knockout,
// CompositeSource, then Passes in UB[5].
template <typename F> void readFlagsPasses5(ByteReader& in, F& filter)
{
    const std::uint8_t bits = in.u8();
    filter.inner = bits & 0x80;
    filter.knockout = bits & 0x40;
    filter.compositeSource = bits & 0x20;
    filter.passes = bits & 0x1f;
}

// The bevel and gradient filters add OnTop and keep Passes in UB[4].
template <typename F> void readFlagsPasses4(ByteReader& in, F& filter)
{
    const std::uint8_t bits = in.u8();
    filter.inner = bits & 0x80;
    filter.knockout = bits & 0x40;
    filter.compositeSource = bits & 0x20;
    filter.onTop = bits & 0x10;
    filter.passes = bits & 0x0f;
}

// BlurX, BlurY, Angle, Distance and Strength: the run that the shadow, bevel and
// gradient filters share.
template <typename F> void readShadowGeometry(ByteReader& in, F& filter)
{
    filter.blurX = in.fixed16();
    filter.blurY = in.fixed16();
    filter.angle = in.fixed16();
    filter.distance = in.fixed16();
    filter.strength = in.fixed8();
}

DropShadowFilter readDropShadow(ByteReader& in)
{
    DropShadowFilter f;
    f.color = readRgba(in);
    readShadowGeometry(in, f);
    readFlagsPasses5(in, f);
    return f;
}

BlurFilter readBlur(ByteReader& in)
{
    BlurFilter f;
    f.blurX = in.fixed16();
    f.blurY = in.fixed16();
    f.passes = in.u8() >> 3; // Passes UB[5], then three reserved bits
    return f;
}

GlowFilter readGlow(ByteReader& in)
{
    GlowFilter f;
    f.color = readRgba(in);
    f.blurX = in.fixed16();
    f.blurY = in.fixed16();
    f.strength = in.fixed8();
    readFlagsPasses5(in, f);
    return f;
}

BevelFilter readBevel(ByteReader& in)
{
    BevelFilter f;
    // Leniency: the format document lists ShadowColor first, but movies store the
    // highlight colour first, and reference renderings light bevels that way.
    f.highlightColor = readRgba(in);
    f.shadowColor = readRgba(in);
    readShadowGeometry(in, f);
    readFlagsPasses4(in, f);
    return f;
}

// GradientGlowFilter and GradientBevelFilter share one layout: NumColors, the
// colours, then the ratios, then the fields of a bevel.
template <typename F> F readGradientFilter(ByteReader& in)
{
    F f;
    const std::size_t count = in.u8();
    f.stops.resize(count);
    for (auto& stop : f.stops)
        stop.color = readRgba(in);
    for (auto& stop : f.stops)
        stop.ratio = in.u8();
    readShadowGeometry(in, f);
    readFlagsPasses4(in, f);
    return f;
}

Result<ConvolutionFilter> readConvolution(ByteReader& in)
{
    ConvolutionFilter f;
    f.columns = in.u8(); // MatrixX
    f.rows = in.u8();    // MatrixY
    if (f.columns > limits::kMaxConvolutionSide || f.rows > limits::kMaxConvolutionSide)
        return makeError(ErrorCode::TooLarge, "ConvolutionFilter: MatrixX or MatrixY");
    f.divisor = finite(in.f32());
    f.bias = finite(in.f32());
    f.matrix.resize(std::size_t(f.columns) * f.rows);
    for (float& value : f.matrix)
        value = finite(in.f32());
    f.defaultColor = readRgba(in);
    const std::uint8_t bits = in.u8(); // six reserved bits, Clamp, PreserveAlpha
    f.clamp = bits & 0x02;
    f.preserveAlpha = bits & 0x01;
    return f;
}

ColorMatrixFilter readColorMatrix(ByteReader& in)
{
    ColorMatrixFilter f;
    for (float& value : f.matrix)
        value = finite(in.f32());
    return f;
}

Result<Filter> readFilter(ByteReader& in)
{
    const std::uint8_t id = in.u8();
    switch (id) {
    case DropShadowId:
        return Filter(readDropShadow(in));
    case BlurId:
        return Filter(readBlur(in));
    case GlowId:
        return Filter(readGlow(in));
    case BevelId:
        return Filter(readBevel(in));
    case GradientGlowId:
        return Filter(readGradientFilter<GradientGlowFilter>(in));
    case ConvolutionId: {
        auto f = readConvolution(in);
        if (!f)
            return f.error();
        return Filter(std::move(f).value());
    }
    case ColorMatrixId:
        return Filter(readColorMatrix(in));
    case GradientBevelId:
        return Filter(readGradientFilter<GradientBevelFilter>(in));
    default:
        // Each kind has its own length: past an unknown one nothing can be read.
        return makeError(ErrorCode::BadValue, "FILTERLIST: FilterID " + std::to_string(id));
    }
}

} // namespace

BlendMode blendModeFromByte(std::uint8_t value)
{
    // 0 and 1 both mean normal. Values past the list (damage, or modes of later
    // players) draw as normal too rather than failing the placement.
    if (value >= static_cast<std::uint8_t>(BlendMode::Layer) &&
        value <= static_cast<std::uint8_t>(BlendMode::HardLight))
        return static_cast<BlendMode>(value);
    return BlendMode::Normal;
}

Result<std::vector<Filter>> parseFilterList(ByteReader& in)
{
    const std::size_t count = in.u8(); // NumberOfFilters
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "FILTERLIST: NumberOfFilters");
    if (count > limits::kMaxFiltersPerList)
        return makeError(ErrorCode::TooLarge, "FILTERLIST: NumberOfFilters");
    std::vector<Filter> filters;
    filters.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto filter = readFilter(in);
        if (!filter)
            return filter.error();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "FILTERLIST: filter " + std::to_string(i + 1));
        filters.push_back(std::move(filter).value());
    }
    return filters;
}

} // namespace swf
