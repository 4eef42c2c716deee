#include "GradientFill.h"

#include "ColorSpace.h"

#include <algorithm>
#include <cmath>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace render {

namespace {

constexpr double kHalfSize = 16384;

// Ratios far outside the gradient are brought nearer first: every spread mode repeats
// (or stays put) with a period of 512 entries at most, so this changes nothing.
constexpr float kFar = 1 << 20;
// Pixels whose entries are worked out together, in a loop the compiler vectorises,
// before their colours are looked up.
constexpr int kChunk = 128;

// The table entry at `u` entries along the gradient (256 across it), by spread mode;
// written without branches or floor() so that loops over it vectorise.
template <swf::SpreadMode Spread> inline int entryFor(float u)
{
    u = u == u ? u : 0; // NaN from a degenerate focal point
    u = std::min(std::max(u, -kFar), kFar);
    int k = static_cast<int>(u);
    k -= u < float(k) ? 1 : 0; // truncation to rounding down
    if constexpr (Spread == swf::SpreadMode::Pad) {
        return std::min(std::max(k, 0), 255); // as the four-wide version: 255.5 truncates to 255
    } else if constexpr (Spread == swf::SpreadMode::Repeat) {
        return k & 255;
    } else {
        const int m = k & 511; // 256..511 run back down: 511 - m
        return m ^ ((m >> 8) * 511);
    }
}

#ifdef __SSE2__
// Four entries at once: the same steps as entryFor().
template <swf::SpreadMode Spread> inline __m128i entriesFor4(__m128 u)
{
    u = _mm_and_ps(u, _mm_cmpeq_ps(u, u)); // NaN to 0
    if constexpr (Spread == swf::SpreadMode::Pad) {
        // Clamped first, so that truncating is rounding down.
        u = _mm_min_ps(_mm_max_ps(u, _mm_setzero_ps()), _mm_set1_ps(255.5f));
        return _mm_cvttps_epi32(u);
    } else {
        u = _mm_min_ps(_mm_max_ps(u, _mm_set1_ps(-kFar)), _mm_set1_ps(kFar));
        __m128i k = _mm_cvttps_epi32(u);
        // Where truncation went up (negative values), step down one: the mask is -1.
        k = _mm_add_epi32(k, _mm_castps_si128(_mm_cmplt_ps(u, _mm_cvtepi32_ps(k))));
        if constexpr (Spread == swf::SpreadMode::Repeat)
            return _mm_and_si128(k, _mm_set1_epi32(255));
        const __m128i m = _mm_and_si128(k, _mm_set1_epi32(511));
        const __m128i back = _mm_sub_epi32(_mm_setzero_si128(), _mm_srli_epi32(m, 8));
        return _mm_xor_si128(m, _mm_and_si128(back, _mm_set1_epi32(511)));
    }
}
#endif

template <GradientFill::Kind Kind, swf::SpreadMode Spread>
void entriesFor(int* entries, int count, double gx, double gy, double stepX, double stepY,
                double focal)
{
    constexpr double kToEntries = 256.0 / (2 * kHalfSize);
    int i = 0;
    if constexpr (Kind == GradientFill::Kind::Linear) {
        const auto start = float((gx + kHalfSize) * kToEntries);
        const auto step = float(stepX * kToEntries);
#ifdef __SSE2__
        const __m128 steps = _mm_mul_ps(_mm_set1_ps(step), _mm_setr_ps(0, 1, 2, 3));
        for (; i + 4 <= count; i += 4) {
            const __m128 u = _mm_add_ps(_mm_set1_ps(start + step * float(i)), steps);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(entries + i), entriesFor4<Spread>(u));
        }
#endif
        for (; i < count; ++i)
            entries[i] = entryFor<Spread>(start + step * float(i));
    } else if constexpr (Kind == GradientFill::Kind::Radial) {
        constexpr float kRadiusToEntries = 256.0f / float(kHalfSize);
        const float x0 = float(gx) * kRadiusToEntries, y0 = float(gy) * kRadiusToEntries;
        const float dx = float(stepX) * kRadiusToEntries, dy = float(stepY) * kRadiusToEntries;
#ifdef __SSE2__
        const __m128 lanes = _mm_setr_ps(0, 1, 2, 3);
        for (; i + 4 <= count; i += 4) {
            const __m128 at = _mm_add_ps(_mm_set1_ps(float(i)), lanes);
            const __m128 x = _mm_add_ps(_mm_set1_ps(x0), _mm_mul_ps(_mm_set1_ps(dx), at));
            const __m128 y = _mm_add_ps(_mm_set1_ps(y0), _mm_mul_ps(_mm_set1_ps(dy), at));
            const __m128 r = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(entries + i), entriesFor4<Spread>(r));
        }
#endif
        for (; i < count; ++i) {
            const float x = x0 + dx * float(i), y = y0 + dy * float(i);
            entries[i] = entryFor<Spread>(std::sqrt(x * x + y * y));
        }
    } else {
        // The ratio is how far the pixel lies from the focal point towards the circle:
        // solve |f + s d| = 1 for the ray d from the focal point f through the pixel.
        const double c = focal * focal - 1;
        for (; i < count; ++i, gx += stepX, gy += stepY) {
            const double dx = gx / kHalfSize - focal, dy = gy / kHalfSize;
            const double a = dx * dx + dy * dy;
            const double b = focal * dx;
            const double s = a > 0 ? (-b + std::sqrt(std::max(0.0, b * b - a * c))) / a : 0;
            entries[i] = entryFor<Spread>(s > 0 ? float(256 / s) : kFar);
        }
    }
}

template <GradientFill::Kind Kind, swf::SpreadMode Spread>
void fillRow(QRgb* out, int count, double gx, double gy, double stepX, double stepY,
             const GradientFill& fill)
{
    const GradientTable& table = *fill.table;
    int entries[kChunk];
    for (int done = 0; done < count; done += kChunk) {
        const int n = std::min(kChunk, count - done);
        entriesFor<Kind, Spread>(entries, n, gx + stepX * done, gy + stepY * done, stepX, stepY,
                                 fill.focal);
        for (int i = 0; i < n; ++i)
            out[done + i] = table[entries[i]];
    }
}

template <GradientFill::Kind Kind>
void fillRowSpread(QRgb* out, int count, double gx, double gy, double stepX, double stepY,
                   const GradientFill& fill)
{
    switch (fill.spread) {
    case swf::SpreadMode::Repeat:
        return fillRow<Kind, swf::SpreadMode::Repeat>(out, count, gx, gy, stepX, stepY, fill);
    case swf::SpreadMode::Reflect:
        return fillRow<Kind, swf::SpreadMode::Reflect>(out, count, gx, gy, stepX, stepY, fill);
    case swf::SpreadMode::Pad:
        break;
    }
    fillRow<Kind, swf::SpreadMode::Pad>(out, count, gx, gy, stepX, stepY, fill);
}

} // namespace

GradientTable buildGradientTable(const swf::Gradient& gradient,
                                 const swf::ColorTransform& transform)
{
    GradientTable table;
    table.fill(0);
    std::vector<swf::GradientStop> stops = gradient.stops;
    if (stops.empty())
        return table;
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.ratio < b.ratio; });
    for (swf::GradientStop& stop : stops)
        stop.color = transform.isIdentity() ? stop.color : transform.apply(stop.color);
    const bool linear = gradient.interpolation == swf::InterpolationMode::LinearRgb;
    std::size_t next = 0;
    for (int i = 0; i < 256; ++i) {
        while (next < stops.size() && stops[next].ratio < i)
            ++next;
        swf::Rgba c;
        if (next == 0) {
            c = stops.front().color;
        } else if (next == stops.size()) {
            c = stops.back().color;
        } else {
            const swf::GradientStop& a = stops[next - 1];
            const swf::GradientStop& b = stops[next];
            const double t = b.ratio == a.ratio ? 1.0 : double(i - a.ratio) / (b.ratio - a.ratio);
            auto mix = [&](int from, int to) {
                if (!linear)
                    return from + (to - from) * t;
                const double l =
                    toLinear(from / 255.0) + (toLinear(to / 255.0) - toLinear(from / 255.0)) * t;
                return toSrgb(l) * 255;
            };
            c = {std::uint8_t(std::lround(std::clamp(mix(a.color.r, b.color.r), 0.0, 255.0))),
                 std::uint8_t(std::lround(std::clamp(mix(a.color.g, b.color.g), 0.0, 255.0))),
                 std::uint8_t(std::lround(std::clamp(mix(a.color.b, b.color.b), 0.0, 255.0))),
                 std::uint8_t(std::lround(a.color.a + (b.color.a - a.color.a) * t))};
        }
        table[i] = qPremultiply(qRgba(c.r, c.g, c.b, c.a));
    }
    return table;
}

void fillGradientRow(QRgb* out, int x, int y, int count, const GradientFill& fill,
                     const QTransform& inverse)
{
    // Pixel centres, stepped along the row.
    const double gx = inverse.m11() * (x + 0.5) + inverse.m21() * (y + 0.5) + inverse.dx();
    const double gy = inverse.m12() * (x + 0.5) + inverse.m22() * (y + 0.5) + inverse.dy();
    switch (fill.kind) {
    case GradientFill::Kind::Linear:
        return fillRowSpread<GradientFill::Kind::Linear>(out, count, gx, gy, inverse.m11(),
                                                         inverse.m12(), fill);
    case GradientFill::Kind::Radial:
        return fillRowSpread<GradientFill::Kind::Radial>(out, count, gx, gy, inverse.m11(),
                                                         inverse.m12(), fill);
    case GradientFill::Kind::Focal:
        return fillRowSpread<GradientFill::Kind::Focal>(out, count, gx, gy, inverse.m11(),
                                                        inverse.m12(), fill);
    }
}

} // namespace render
