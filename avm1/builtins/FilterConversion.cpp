// Filter objects to the display list's filters and back, and the displacement map, which
// only BitmapData.applyFilter draws.
#include "BitmapDataObject.h"
#include "FilterObjects.h"
#include "FilterValues.h"
#include "NativeHelpers.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"
#include "runtime/BitmapOperations.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

void FilterState::traceChildren(Tracer& tracer)
{
    if (const auto* map = std::get_if<DisplacementMapFilterState>(&data))
        tracer.mark(map->mapBitmap);
}

void FilterPrototypes::traceChildren(Tracer& tracer)
{
    for (Object* proto : prototypes)
        tracer.mark(proto);
    tracer.mark(point);
}

FilterState* filterStateOf(Value value)
{
    Object* object = value.objectOrNull();
    return object ? dynamic_cast<FilterState*>(object->nativeState()) : nullptr;
}

namespace {

swf::Rgba rgba(std::uint32_t rgb, std::uint8_t alpha)
{
    swf::Rgba color;
    filtervalues::setRgb(color, rgb);
    color.a = alpha;
    return color;
}

swf::GradientGlowFilter gradientFilter(const GradientFilterState& state)
{
    swf::GradientGlowFilter f;
    for (std::size_t i = 0; i < state.count; ++i)
        f.stops.push_back({state.ratios[i], rgba(state.colors[i], state.alphas[i])});
    f.blurX = state.blurX;
    f.blurY = state.blurY;
    f.angle = state.angle;
    f.distance = state.distance;
    f.strength = static_cast<float>(state.strength);
    f.inner = state.type == GradientFilterState::Type::Inner;
    f.onTop = state.type == GradientFilterState::Type::Full;
    f.knockout = state.knockout;
    f.passes = state.quality;
    return f;
}

GradientFilterState gradientState(const swf::GradientGlowFilter& f)
{
    GradientFilterState state;
    state.count = std::min(f.stops.size(), GradientFilterState::kMaxStops);
    for (std::size_t i = 0; i < state.count; ++i) {
        state.colors[i] = filtervalues::rgbOf(f.stops[i].color);
        state.alphas[i] = f.stops[i].color.a;
        state.ratios[i] = f.stops[i].ratio;
    }
    state.blurX = f.blurX;
    state.blurY = f.blurY;
    state.angle = f.angle;
    state.distance = f.distance;
    state.strength = f.strength;
    state.type = f.onTop   ? GradientFilterState::Type::Full
                 : f.inner ? GradientFilterState::Type::Inner
                           : GradientFilterState::Type::Outer;
    state.knockout = f.knockout;
    state.quality = f.passes;
    return state;
}

} // namespace

std::optional<swf::Filter> filterOf(Vm&, Value value)
{
    const FilterState* state = filterStateOf(value);
    if (!state)
        return std::nullopt;
    switch (state->kind) {
    case FilterKind::DropShadow:
        return swf::Filter(std::get<swf::DropShadowFilter>(state->data));
    case FilterKind::Blur:
        return swf::Filter(std::get<swf::BlurFilter>(state->data));
    case FilterKind::Glow:
        return swf::Filter(std::get<swf::GlowFilter>(state->data));
    case FilterKind::Bevel:
        return swf::Filter(std::get<swf::BevelFilter>(state->data));
    case FilterKind::GradientGlow:
        return swf::Filter(gradientFilter(std::get<GradientFilterState>(state->data)));
    case FilterKind::GradientBevel: {
        swf::GradientBevelFilter bevel;
        static_cast<swf::GradientGlowFilter&>(bevel) =
            gradientFilter(std::get<GradientFilterState>(state->data));
        return swf::Filter(bevel);
    }
    case FilterKind::ColorMatrix: {
        swf::ColorMatrixFilter f;
        const auto& matrix = std::get<ColorMatrixFilterState>(state->data).matrix;
        std::transform(matrix.begin(), matrix.end(), f.matrix.begin(),
                       [](double v) { return static_cast<float>(v); });
        return swf::Filter(f);
    }
    case FilterKind::Convolution: {
        const auto& c = std::get<ConvolutionFilterState>(state->data);
        swf::ConvolutionFilter f;
        f.columns = static_cast<std::uint8_t>(c.matrixX);
        f.rows = static_cast<std::uint8_t>(c.matrixY);
        const std::size_t size = static_cast<std::size_t>(c.matrixX) * c.matrixY;
        for (std::size_t i = 0; i < size; ++i)
            f.matrix.push_back(static_cast<float>(c.matrix[i]));
        f.divisor = static_cast<float>(c.divisor);
        f.bias = static_cast<float>(c.bias);
        f.defaultColor = rgba(c.color, c.alpha);
        f.clamp = c.clamp;
        f.preserveAlpha = c.preserveAlpha;
        return swf::Filter(f);
    }
    case FilterKind::DisplacementMap: {
        const auto& d = std::get<DisplacementMapFilterState>(state->data);
        swf::DisplacementMapFilter f;
        if (const runtime::BitmapData* map = liveBitmapDataOf(Value(d.mapBitmap)))
            f.map = map->snapshot();
        f.mapX = d.mapX;
        f.mapY = d.mapY;
        f.componentX = d.componentX;
        f.componentY = d.componentY;
        f.scaleX = d.scaleX;
        f.scaleY = d.scaleY;
        f.mode = static_cast<swf::DisplacementMapFilter::Mode>(d.mode);
        f.color = rgba(d.color, d.alpha);
        return swf::Filter(f);
    }
    case FilterKind::Count:
        break;
    }
    return std::nullopt;
}

FilterState::Data filterStateFor(const swf::Filter& filter, FilterKind& kind)
{
    return std::visit(
        [&](const auto& f) -> FilterState::Data {
            using T = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<T, swf::DropShadowFilter>) {
                kind = FilterKind::DropShadow;
                return f;
            } else if constexpr (std::is_same_v<T, swf::BlurFilter>) {
                kind = FilterKind::Blur;
                return f;
            } else if constexpr (std::is_same_v<T, swf::GlowFilter>) {
                kind = FilterKind::Glow;
                return f;
            } else if constexpr (std::is_same_v<T, swf::BevelFilter>) {
                kind = FilterKind::Bevel;
                return f;
            } else if constexpr (std::is_same_v<T, swf::GradientBevelFilter>) {
                kind = FilterKind::GradientBevel;
                return gradientState(f);
            } else if constexpr (std::is_same_v<T, swf::GradientGlowFilter>) {
                kind = FilterKind::GradientGlow;
                return gradientState(f);
            } else if constexpr (std::is_same_v<T, swf::ColorMatrixFilter>) {
                kind = FilterKind::ColorMatrix;
                ColorMatrixFilterState state;
                std::copy(f.matrix.begin(), f.matrix.end(), state.matrix.begin());
                return state;
            } else if constexpr (std::is_same_v<T, swf::DisplacementMapFilter>) {
                // The map's pixels stay with the display object; the copy has none.
                kind = FilterKind::DisplacementMap;
                DisplacementMapFilterState state;
                state.mapX = f.mapX;
                state.mapY = f.mapY;
                state.componentX = f.componentX;
                state.componentY = f.componentY;
                state.scaleX = f.scaleX;
                state.scaleY = f.scaleY;
                state.mode = static_cast<DisplacementMapFilterState::Mode>(f.mode);
                state.color = filtervalues::rgbOf(f.color);
                state.alpha = f.color.a;
                return state;
            } else {
                kind = FilterKind::Convolution;
                ConvolutionFilterState state;
                state.matrixX = f.columns;
                state.matrixY = f.rows;
                state.matrix.assign(f.matrix.begin(), f.matrix.end());
                filtervalues::setConvolutionSize(state, state.matrixX, state.matrixY);
                state.divisor = f.divisor;
                state.bias = f.bias;
                state.preserveAlpha = f.preserveAlpha;
                state.clamp = f.clamp;
                state.color = filtervalues::rgbOf(f.defaultColor);
                state.alpha = f.defaultColor.a;
                return state;
            }
        },
        filter);
}

Object* makeFilterObject(Vm& vm, const FilterPrototypes& classes, FilterKind kind,
                         FilterState::Data data)
{
    Object* proto = classes.prototypes[static_cast<std::size_t>(kind)];
    Object* object = vm.makeObject(proto);
    markConstructed(vm, object, vm.getMember(proto, vm.names().constructor).objectOrNull());
    object->setNativeState(vm.heap().make<FilterState>(kind, std::move(data)));
    return object;
}

namespace {

std::uint32_t channelOf(std::uint32_t argb, std::int32_t component)
{
    switch (component) {
    case 1:
        return argb >> 16 & 0xFF;
    case 2:
        return argb >> 8 & 0xFF;
    case 4:
        return argb & 0xFF;
    case 8:
        return argb >> 24;
    default:
        return 128; // no displacement
    }
}

} // namespace

bool applyDisplacementMap(Vm&, Value filter, runtime::BitmapData& target,
                          const runtime::BitmapData& source, runtime::PixelRect sourceRect,
                          int destX, int destY)
{
    const FilterState* state = filterStateOf(filter);
    const auto* map = state ? std::get_if<DisplacementMapFilterState>(&state->data) : nullptr;
    if (!map)
        return false;
    const runtime::BitmapData* mapBitmap = liveBitmapDataOf(Value(map->mapBitmap));
    const runtime::bitmap::CopyArea area = runtime::bitmap::clipCopy(
        sourceRect, source.width(), source.height(), destX, destY, target.width(), target.height());
    if (!map->mapBitmap || !mapBitmap || area.empty())
        return true;
    const runtime::PixelRect& r = area.source;
    // Read everything first: the source may be the target.
    std::vector<std::uint32_t> out(static_cast<std::size_t>(r.width) * r.height);
    const std::uint32_t outside =
        target.storedColor(static_cast<std::uint32_t>(map->alpha) << 24 | map->color);
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const int mx = x - map->mapX;
            const int my = y - map->mapY;
            double dx = 0, dy = 0;
            if (mapBitmap->contains(mx, my)) {
                const std::uint32_t m = mapBitmap->argbAt(mx, my);
                dx = (static_cast<double>(channelOf(m, map->componentX)) - 128) * map->scaleX / 256;
                dy = (static_cast<double>(channelOf(m, map->componentY)) - 128) * map->scaleY / 256;
            }
            long long sx = r.x + x + static_cast<long long>(std::floor(dx));
            long long sy = r.y + y + static_cast<long long>(std::floor(dy));
            std::uint32_t pixel = 0;
            const bool inside = sx >= 0 && sy >= 0 && sx < source.width() && sy < source.height();
            if (inside) {
                pixel = source.at(static_cast<int>(sx), static_cast<int>(sy));
            } else {
                switch (map->mode) {
                case DisplacementMapFilterState::Mode::Wrap:
                    sx = (sx % source.width() + source.width()) % source.width();
                    sy = (sy % source.height() + source.height()) % source.height();
                    pixel = source.at(static_cast<int>(sx), static_cast<int>(sy));
                    break;
                case DisplacementMapFilterState::Mode::Clamp:
                    sx = std::clamp<long long>(sx, 0, source.width() - 1);
                    sy = std::clamp<long long>(sy, 0, source.height() - 1);
                    pixel = source.at(static_cast<int>(sx), static_cast<int>(sy));
                    break;
                case DisplacementMapFilterState::Mode::Ignore:
                    pixel = source.at(r.x + x, r.y + y);
                    break;
                case DisplacementMapFilterState::Mode::Color:
                    pixel = outside;
                    break;
                }
            }
            out[static_cast<std::size_t>(y) * r.width + x] = pixel;
        }
    }
    std::uint32_t* pixels = target.edit();
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t p = out[static_cast<std::size_t>(y) * r.width + x];
            pixels[static_cast<std::size_t>(area.destY + y) * target.width() + area.destX + x] =
                target.storedPixel(p);
        }
    }
    return true;
}

FilterReach filterReach(Vm& vm, Value value)
{
    FilterReach reach;
    const std::optional<swf::Filter> filter = filterOf(vm, value);
    if (!filter)
        return reach;
    std::visit(
        [&](const auto& f) {
            if constexpr (requires { f.blurX; }) {
                const int passes = std::max<int>(f.passes, 1);
                const int x = static_cast<int>(std::ceil(f.blurX * passes / 2));
                const int y = static_cast<int>(std::ceil(f.blurY * passes / 2));
                reach = {x, y, x, y};
                if constexpr (requires { f.distance; }) {
                    const double ox = std::cos(f.angle) * f.distance;
                    const double oy = std::sin(f.angle) * f.distance;
                    reach.left += static_cast<int>(std::ceil(std::max(0.0, -ox)));
                    reach.right += static_cast<int>(std::ceil(std::max(0.0, ox)));
                    reach.top += static_cast<int>(std::ceil(std::max(0.0, -oy)));
                    reach.bottom += static_cast<int>(std::ceil(std::max(0.0, oy)));
                }
            }
        },
        *filter);
    return reach;
}

} // namespace avm1
