#include "FilterValues.h"

#include "BitmapDataObject.h"
#include "GeomScript.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace avm1::filtervalues {

namespace {

constexpr double kDefaultAngle = 0.785398163; // 45 degrees, as the reference keeps it

// The reference's conversion of a number to a 32-bit integer: NaN and numbers out of
// range become the lowest integer.
std::int32_t integerOf(double number)
{
    if (!(number >= -2147483648.0 && number < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(number);
}

// value[index] for objects and primitives alike.
Value element(Vm& vm, Value value, std::size_t index)
{
    if (value.isNullish())
        return Value();
    return vm.getMember(value, vm.str(std::to_string(index)));
}

// value.length as a count, at most `cap`.
std::size_t lengthOf(Vm& vm, Value value, std::size_t cap)
{
    if (value.isNullish())
        return 0;
    const double length = vm.toNumber(vm.getMember(value, vm.names().length));
    if (!(length > 0))
        return 0;
    return static_cast<std::size_t>(std::min(length, static_cast<double>(cap)));
}

std::uint8_t gradientAlpha(double alpha)
{
    if (std::isnan(alpha))
        return 255;
    return static_cast<std::uint8_t>(std::lround(std::clamp(alpha, 0.0, 1.0) * 255));
}

} // namespace

FilterState::Data defaultFilter(FilterKind kind)
{
    switch (kind) {
    case FilterKind::DropShadow: {
        swf::DropShadowFilter f;
        f.color = {0, 0, 0, 255};
        f.blurX = f.blurY = 4;
        f.angle = kDefaultAngle;
        f.distance = 4;
        return f;
    }
    case FilterKind::Blur: {
        swf::BlurFilter f;
        f.blurX = f.blurY = 4;
        return f;
    }
    case FilterKind::Glow: {
        swf::GlowFilter f;
        f.color = {255, 0, 0, 255};
        f.blurX = f.blurY = 6;
        f.strength = 2;
        return f;
    }
    case FilterKind::Bevel: {
        swf::BevelFilter f;
        f.highlightColor = {255, 255, 255, 255};
        f.shadowColor = {0, 0, 0, 255};
        f.blurX = f.blurY = 4;
        f.angle = kDefaultAngle;
        f.distance = 4;
        f.inner = true;
        return f;
    }
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
        return GradientFilterState{};
    case FilterKind::ColorMatrix:
        return ColorMatrixFilterState{};
    case FilterKind::Convolution:
        return ConvolutionFilterState{};
    case FilterKind::DisplacementMap:
    case FilterKind::Count:
        break;
    }
    return DisplacementMapFilterState{};
}

std::uint32_t rgbOf(const swf::Rgba& color)
{
    return std::uint32_t{color.r} << 16 | std::uint32_t{color.g} << 8 | color.b;
}

void setRgb(swf::Rgba& color, std::uint32_t rgb)
{
    color.r = static_cast<std::uint8_t>(rgb >> 16);
    color.g = static_cast<std::uint8_t>(rgb >> 8);
    color.b = static_cast<std::uint8_t>(rgb);
}

std::uint32_t colorValue(Vm& vm, Value value)
{
    return vm.toUint32(value) & 0xFFFFFF;
}

std::uint8_t alphaByte(double alpha)
{
    if (std::isnan(alpha))
        return 255;
    return static_cast<std::uint8_t>(std::clamp(alpha, 0.0, 1.0) * 255);
}

double clampNumber(double value, double low, double high)
{
    return std::isnan(value) ? low : std::clamp(value, low, high);
}

double angleRadians(double degrees)
{
    return std::fmod(degrees, 360.0) * std::numbers::pi / 180;
}

std::uint8_t quality(Vm& vm, Value value)
{
    return static_cast<std::uint8_t>(std::clamp(vm.toInt32(value), 0, 15));
}

GradientFilterState::Type typeFromName(Vm& vm, Value value)
{
    const std::string name = vm.toStdString(value);
    if (name == "inner")
        return GradientFilterState::Type::Inner;
    if (name == "outer")
        return GradientFilterState::Type::Outer;
    return GradientFilterState::Type::Full;
}

std::string_view modeName(DisplacementMapFilterState::Mode mode)
{
    switch (mode) {
    case DisplacementMapFilterState::Mode::Clamp:
        return "clamp";
    case DisplacementMapFilterState::Mode::Ignore:
        return "ignore";
    case DisplacementMapFilterState::Mode::Color:
        return "color";
    case DisplacementMapFilterState::Mode::Wrap:
        break;
    }
    return "wrap";
}

DisplacementMapFilterState::Mode modeFromName(Vm& vm, Value value)
{
    const std::string name = vm.toStdString(value);
    if (name == "clamp")
        return DisplacementMapFilterState::Mode::Clamp;
    if (name == "ignore")
        return DisplacementMapFilterState::Mode::Ignore;
    if (name == "color")
        return DisplacementMapFilterState::Mode::Color;
    return DisplacementMapFilterState::Mode::Wrap;
}

void setGradientColors(Vm& vm, GradientFilterState& filter, Value value)
{
    if (value.isNullish())
        return;
    const std::size_t count = lengthOf(vm, value, GradientFilterState::kMaxStops);
    for (std::size_t i = 0; i < count && !vm.throwing(); ++i)
        filter.colors[i] = colorValue(vm, element(vm, value, i));
    filter.count = count;
}

void setGradientAlphas(Vm& vm, GradientFilterState& filter, Value value)
{
    if (value.isNullish())
        return;
    for (std::size_t i = 0; i < filter.count && !vm.throwing(); ++i)
        filter.alphas[i] = gradientAlpha(vm.toNumber(element(vm, value, i)));
}

void setGradientRatios(Vm& vm, GradientFilterState& filter, Value value)
{
    if (value.isNullish())
        return;
    filter.count = std::min(filter.count, lengthOf(vm, value, GradientFilterState::kMaxStops));
    for (std::size_t i = 0; i < filter.count && !vm.throwing(); ++i)
        filter.ratios[i] =
            static_cast<std::uint8_t>(clampNumber(vm.toNumber(element(vm, value, i)), 0, 255));
}

void setColorMatrix(Vm& vm, ColorMatrixFilterState& filter, Value value)
{
    if (value.isNullish())
        return;
    for (std::size_t i = 0; i < filter.matrix.size() && !vm.throwing(); ++i)
        filter.matrix[i] = vm.toNumber(element(vm, value, i));
}

void setConvolutionMatrix(Vm& vm, ConvolutionFilterState& filter, Value value)
{
    if (value.isNullish())
        return;
    const std::size_t count = lengthOf(vm, value, limits::kMaxConvolutionValues);
    std::vector<double> matrix;
    matrix.reserve(count);
    for (std::size_t i = 0; i < count && !vm.throwing(); ++i)
        matrix.push_back(vm.toNumber(element(vm, value, i)));
    filter.matrix = std::move(matrix);
    setConvolutionSize(filter, filter.matrixX, filter.matrixY);
}

void setConvolutionSize(ConvolutionFilterState& filter, int matrixX, int matrixY)
{
    filter.matrixX = matrixX;
    filter.matrixY = matrixY;
    // A kernel longer than its size keeps its extra values.
    const std::size_t needed = static_cast<std::size_t>(matrixX) * matrixY;
    if (filter.matrix.size() < needed)
        filter.matrix.resize(needed, 0);
}

int matrixSide(Vm& vm, Value value)
{
    return std::clamp(vm.toInt32(value), 0, 15);
}

Object* bitmapObject(Value value)
{
    return bitmapDataOf(value) ? value.asObject() : nullptr;
}

void setMapPoint(Vm& vm, DisplacementMapFilterState& filter, Value value)
{
    Object* point = value.objectOrNull();
    if (!point) {
        filter.mapX = filter.mapY = 0;
        return;
    }
    // Each coordinate's conversion runs even when the other's threw.
    struct Coordinate {
        std::int32_t value = 0;
        bool present = false;
        bool threw = false;
        Value thrown;
    };
    auto coordinate = [&](const char* name) {
        Coordinate c;
        const Value part = vm.getMember(point, name);
        c.present = !part.isUndefined();
        const double number = vm.throwing() ? std::nan("") : vm.toNumber(part);
        if (vm.throwing()) {
            c.threw = true;
            c.thrown = vm.takeException();
        }
        c.value = integerOf(number);
        return c;
    };
    const Coordinate x = coordinate("x");
    const Coordinate y = coordinate("y");
    const bool both = x.present && y.present;
    filter.mapX = both ? x.value : 0;
    filter.mapY = both ? y.value : 0;
    if (x.threw)
        vm.throwValue(x.thrown);
    else if (y.threw)
        vm.throwValue(y.thrown);
}

Object* makeFilterPoint(Vm& vm, Object* pointPrototype, std::int32_t x, std::int32_t y)
{
    return geom::make(vm, pointPrototype, {{"x", Value(x)}, {"y", Value(y)}});
}

} // namespace avm1::filtervalues
