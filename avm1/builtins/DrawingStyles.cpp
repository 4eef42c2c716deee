#include "DrawingStyles.h"

#include "GeomObjects.h"
#include "avm1/Vm.h"
#include "format/Geometry.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = 20.0;
// A gradient's square, 32768 twips a side, in pixels.
constexpr double kGradientSquare = 1638.4;
// Lines are at most 255 pixels thick, and miters reach 1 to 255 widths.
constexpr double kMaxThickness = 255;
constexpr double kMaxMiterLimit = 255;
constexpr float kDefaultMiterLimit = 3;
// Stops one gradient holds, as the file format's newest gradients do.
constexpr std::int32_t kMaxGradientStops = 15;

std::uint8_t alphaByte(double percent)
{
    if (std::isnan(percent))
        return 0;
    return static_cast<std::uint8_t>(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55));
}

swf::Rgba rgb(Vm& vm, Value value, std::uint8_t alpha)
{
    const auto bits = static_cast<std::uint32_t>(vm.toInt32(value));
    return {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits), alpha};
}

std::string text(Vm& vm, Value value)
{
    return value.isUndefined() ? std::string() : vm.toStdString(value);
}

// An array-like argument's length, or -1 when it is no object.
std::int32_t lengthOf(Vm& vm, Object* object)
{
    return object ? vm.toInt32(vm.getMember(object, "length")) : -1;
}

Value element(Vm& vm, Object* object, std::int32_t index)
{
    return vm.getMember(object, vm.str(std::to_string(index)));
}

std::optional<std::vector<swf::GradientStop>> gradientStops(Vm& vm, Value colorsValue,
                                                            Value alphasValue, Value ratiosValue)
{
    Object* colors = colorsValue.objectOrNull();
    Object* alphas = alphasValue.objectOrNull();
    Object* ratios = ratiosValue.objectOrNull();
    const std::int32_t count = lengthOf(vm, colors);
    if (count <= 0 || lengthOf(vm, alphas) != count || lengthOf(vm, ratios) != count ||
        vm.throwing())
        return std::nullopt;
    std::vector<swf::GradientStop> stops;
    for (std::int32_t i = 0; i < std::min(count, kMaxGradientStops); ++i) {
        const Value color = element(vm, colors, i);
        const double alpha = vm.toNumber(element(vm, alphas, i));
        const double ratio = vm.toNumber(element(vm, ratios, i));
        if (vm.throwing())
            return std::nullopt;
        // Ratios are whole numbers from 0 to 255; NaN counts as 0, others past the range
        // spoil the gradient.
        const double whole = std::isnan(ratio) ? 0.0 : std::trunc(ratio);
        if (whole < 0 || whole > 255)
            return std::nullopt;
        stops.push_back({static_cast<std::uint8_t>(whole), rgb(vm, color, alphaByte(alpha))});
    }
    return stops;
}

double number(Vm& vm, Object* object, const char* name)
{
    return vm.toNumber(vm.getMember(object, name));
}

swf::Matrix boxMatrix(Vm& vm, Object* box)
{
    const double x = number(vm, box, "x");
    const double y = number(vm, box, "y");
    const double w = number(vm, box, "w");
    const double h = number(vm, box, "h");
    const double r = number(vm, box, "r");
    // Rotated first, then stretched to the box, as createGradientBox does.
    const double cos = std::cos(r), sin = std::sin(r);
    const double sx = w / kGradientSquare, sy = h / kGradientSquare;
    return {sx * cos,
            sy * sin,
            -sx * sin,
            sy * cos,
            (x + w / 2) * kTwipsPerPixel,
            (y + h / 2) * kTwipsPerPixel};
}

} // namespace

swf::Rgba drawingColor(Vm& vm, Value color, Value alpha)
{
    const std::uint8_t a = alpha.isUndefined() ? 255 : alphaByte(vm.toNumber(alpha));
    return rgb(vm, color, a);
}

std::optional<swf::LineStyle> drawingLineStyle(Vm& vm, const CallArgs& call)
{
    if (call.arg(0).isUndefined())
        return std::nullopt;
    swf::LineStyle line;
    const double thickness = vm.toNumber(call.arg(0));
    line.width = static_cast<std::uint16_t>(
        std::isnan(thickness)
            ? 0
            : std::lround(std::clamp(thickness, 0.0, kMaxThickness) * kTwipsPerPixel));
    line.color = drawingColor(vm, call.arg(1), call.arg(2));
    line.pixelHinting = vm.toBoolean(call.arg(3));
    const std::string scaling = text(vm, call.arg(4));
    line.noHScale = scaling == "none" || scaling == "horizontal";
    line.noVScale = scaling == "none" || scaling == "vertical";
    const std::string caps = text(vm, call.arg(5));
    line.startCap = line.endCap = caps == "none"     ? swf::CapStyle::None
                                  : caps == "square" ? swf::CapStyle::Square
                                                     : swf::CapStyle::Round;
    const std::string joints = text(vm, call.arg(6));
    line.join = joints == "miter"   ? swf::JoinStyle::Miter
                : joints == "bevel" ? swf::JoinStyle::Bevel
                                    : swf::JoinStyle::Round;
    const double miter = call.arg(7).isUndefined() ? NAN : vm.toNumber(call.arg(7));
    line.miterLimit = std::isnan(miter)
                          ? kDefaultMiterLimit
                          : static_cast<float>(std::clamp(miter, 1.0, kMaxMiterLimit));
    if (vm.throwing())
        return std::nullopt;
    return line;
}

std::optional<swf::Matrix> drawingGradientMatrix(Vm& vm, Value value)
{
    Object* object = value.objectOrNull();
    if (!object)
        return std::nullopt;
    const Value type = vm.getMember(object, "matrixType");
    if (type.isString() && vm.toStdString(type) == "box")
        return boxMatrix(vm, object);
    if (vm.getMember(object, "tx").isUndefined() && vm.getMember(object, "ty").isUndefined() &&
        !vm.getMember(object, "g").isUndefined()) {
        // The 3x3 form's rows are (a b c), (d e f), (g h i), points being rows too.
        return swf::Matrix{
            number(vm, object, "a") / kGradientSquare, number(vm, object, "b") / kGradientSquare,
            number(vm, object, "d") / kGradientSquare, number(vm, object, "e") / kGradientSquare,
            number(vm, object, "g") * kTwipsPerPixel,  number(vm, object, "h") * kTwipsPerPixel};
    }
    swf::Matrix matrix;
    if (!readMatrix(vm, object, matrix))
        return std::nullopt;
    matrix.tx *= kTwipsPerPixel;
    matrix.ty *= kTwipsPerPixel;
    return matrix;
}

std::optional<swf::FillStyle> drawingGradient(Vm& vm, const CallArgs& call)
{
    if (call.count() < 5 || call.count() > 8 || !call.arg(0).isString())
        return std::nullopt;
    swf::FillStyle fill;
    const std::string type = vm.toStdString(call.arg(0));
    if (type == "linear")
        fill.type = swf::FillType::LinearGradient;
    else if (type == "radial")
        fill.type = swf::FillType::RadialGradient;
    else
        return std::nullopt;
    auto stops = gradientStops(vm, call.arg(1), call.arg(2), call.arg(3));
    if (!stops)
        return std::nullopt;
    auto matrix = drawingGradientMatrix(vm, call.arg(4));
    if (!matrix || vm.throwing())
        return std::nullopt;
    fill.matrix = *matrix;
    fill.gradient.stops = std::move(*stops);
    const std::string spread = text(vm, call.arg(5));
    fill.gradient.spread = spread == "reflect"  ? swf::SpreadMode::Reflect
                           : spread == "repeat" ? swf::SpreadMode::Repeat
                                                : swf::SpreadMode::Pad;
    fill.gradient.interpolation = text(vm, call.arg(6)) == "linearRGB"
                                      ? swf::InterpolationMode::LinearRgb
                                      : swf::InterpolationMode::Rgb;
    const double focal = call.count() > 7 ? vm.toNumber(call.arg(7)) : 0.0;
    if (fill.type == swf::FillType::RadialGradient && !std::isnan(focal) && focal != 0) {
        fill.type = swf::FillType::FocalRadialGradient;
        // Kept as the file format keeps it: 8.8 fixed point, cut towards zero.
        const double clamped = std::clamp(focal, -1.0, 1.0);
        fill.gradient.focalPoint = static_cast<float>(std::trunc(clamped * 256) / 256);
    }
    if (vm.throwing())
        return std::nullopt;
    return fill;
}

} // namespace avm1
