#pragma once

// The flash.filters classes as the other built-ins see them: what a filter object
// stands for, turned into the renderer's filters (format/Filter.h) and made back from
// them, so that a clip's `filters` hands out copies and takes copies.

#include "avm1/Function.h"
#include "format/Filter.h"
#include "runtime/BitmapData.h"

#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace avm1 {

class Vm;

// The kinds, in the order their prototypes are kept.
enum class FilterKind : std::uint8_t {
    DropShadow,
    Blur,
    Glow,
    Bevel,
    GradientGlow,
    GradientBevel,
    ColorMatrix,
    Convolution,
    DisplacementMap,
    Count
};

// The gradient filters keep sixteen entries of each list and a count, as the reference
// does: shortening the lists and lengthening them again brings old entries back.
struct GradientFilterState {
    static constexpr std::size_t kMaxStops = 16;
    double distance = 4, angle = 0.785398163, blurX = 4, blurY = 4, strength = 1;
    std::array<std::uint32_t, kMaxStops> colors{};
    std::array<std::uint8_t, kMaxStops> alphas{};
    std::array<std::uint8_t, kMaxStops> ratios{};
    std::size_t count = 0;
    std::uint8_t quality = 1;
    enum class Type : std::uint8_t { Inner, Outer, Full } type = Type::Inner;
    bool knockout = false;
};

struct ColorMatrixFilterState {
    std::array<double, 20> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

struct ConvolutionFilterState {
    int matrixX = 0, matrixY = 0;
    std::vector<double> matrix;
    double divisor = 1, bias = 0;
    bool preserveAlpha = true, clamp = true;
    std::uint32_t color = 0;
    std::uint8_t alpha = 0;
};

struct DisplacementMapFilterState {
    Object* mapBitmap = nullptr; // a BitmapData object, or null
    std::int32_t mapX = 0, mapY = 0;
    std::int32_t componentX = 0, componentY = 0;
    double scaleX = 0, scaleY = 0;
    enum class Mode : std::uint8_t { Wrap, Clamp, Ignore, Color } mode = Mode::Wrap;
    std::uint32_t color = 0;
    std::uint8_t alpha = 0;
};

// What a filter object keeps. The single-colour filters and the blur keep the
// renderer's own form: its fields are what scripts read (angles in radians).
class FilterState final : public Cell {
public:
    using Data = std::variant<swf::DropShadowFilter, swf::BlurFilter, swf::GlowFilter,
                              swf::BevelFilter, GradientFilterState, ColorMatrixFilterState,
                              ConvolutionFilterState, DisplacementMapFilterState>;
    FilterState(FilterKind filterKind, Data values) : kind(filterKind), data(std::move(values)) {}
    void traceChildren(Tracer& tracer) override;

    FilterKind kind;
    Data data;
};

FilterState* filterStateOf(Value value);

// The filter a filter object stands for, as a display list keeps it (a displacement map
// with a snapshot of its map); none for other values.
std::optional<swf::Filter> filterOf(Vm& vm, Value value);
// The state a filter of a display list gives its script object.
FilterState::Data filterStateFor(const swf::Filter& filter, FilterKind& kind);

// The prototypes of the filter classes, for the objects natives make.
class FilterPrototypes final : public Cell {
public:
    std::array<Object*, static_cast<std::size_t>(FilterKind::Count)> prototypes{};
    Object* point = nullptr; // flash.geom.Point's, for mapPoint
    void traceChildren(Tracer& tracer) override;
};
// A new object of the class `kind` holding `data`.
Object* makeFilterObject(Vm& vm, const FilterPrototypes& classes, FilterKind kind,
                         FilterState::Data data);

// applyFilter with a DisplacementMapFilter: false when `filter` is none.
bool applyDisplacementMap(Vm& vm, Value filter, runtime::BitmapData& target,
                          const runtime::BitmapData& source, runtime::PixelRect sourceRect,
                          int destX, int destY);

// How far a filter draws beyond the pixels it is given, in pixels.
struct FilterReach {
    int left = 0, top = 0, right = 0, bottom = 0;
};
FilterReach filterReach(Vm& vm, Value filter);

// Installs flash.filters; returns the prototypes. `pointPrototype` is Point's.
FilterPrototypes* installFilters(Vm& vm, Object* pointPrototype);
// MovieClip's, Button's and TextField's `filters`.
void installClipFilters(Vm& vm, FilterPrototypes* classes);

} // namespace avm1
