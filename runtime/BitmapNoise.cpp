#include "BitmapNoise.h"

#include "BitmapOperations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace runtime::bitmap {

namespace {

constexpr std::int64_t kModulus = 2147483647; // 2^31 - 1
constexpr std::int64_t kMultiplier = 16807;

} // namespace

ParkMiller::ParkMiller(std::int64_t seed)
{
    // Zero and negative seeds count up from 1, as the reference takes them: 0 is 1, -1
    // is 2.
    std::int64_t s = seed % kModulus;
    if (s <= 0)
        s = 1 - s;
    m_state = static_cast<std::uint32_t>(s >= kModulus ? 1 : s);
}

std::uint32_t ParkMiller::next()
{
    m_state = static_cast<std::uint32_t>(m_state * kMultiplier % kModulus);
    return m_state;
}

void noise(BitmapData& target, const NoiseOptions& options)
{
    if (target.width() == 0 || target.height() == 0)
        return;
    ParkMiller random(options.seed);
    // A range whose top is not above its bottom gives the bottom alone.
    const std::uint32_t low = options.low;
    const std::uint32_t span = options.high > low ? options.high - low + 1 : 0;
    auto value = [&] { return span ? low + random.next() % span : low; };
    const bool alpha = target.transparent() && (options.channels & Alpha);
    const std::size_t count = static_cast<std::size_t>(target.width()) * target.height();
    std::uint32_t* pixels = target.edit();
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t r = 0, g = 0, b = 0;
        if (options.grayScale) {
            r = g = b = value();
        } else {
            if (options.channels & Red)
                r = value();
            if (options.channels & Green)
                g = value();
            if (options.channels & Blue)
                b = value();
        }
        const std::uint32_t a = alpha ? value() : 255;
        pixels[i] = target.storedColor(a << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
    }
}

std::int64_t pixelDissolve(BitmapData& target, const BitmapData& source, PixelRect sourceRect,
                           int destX, int destY, std::int64_t seed, std::int64_t count,
                           std::uint32_t fillColor)
{
    const CopyArea area = clipCopy(sourceRect, source.width(), source.height(), destX, destY,
                                   target.width(), target.height());
    if (area.empty())
        return seed;
    const PixelRect& r = area.source;
    const std::uint64_t total = static_cast<std::uint64_t>(r.width) * r.height;
    // A full-period sequence over the next power of two (x * 5 + 1 mod 2^k visits every
    // value once a period); values past the area are skipped, fewer than half of them.
    std::uint64_t period = 1;
    while (period < total)
        period <<= 1;
    const std::uint64_t mask = period - 1;
    std::uint64_t state = static_cast<std::uint64_t>(seed) & mask;
    const bool fill = &source == &target;
    const std::uint32_t color = target.storedColor(fillColor);
    std::uint32_t* out = target.edit();
    auto dissolve = [&](std::uint64_t index) {
        const int x = static_cast<int>(index % r.width);
        const int y = static_cast<int>(index / r.width);
        std::uint32_t& dest =
            out[static_cast<std::size_t>(area.destY + y) * target.width() + area.destX + x];
        if (fill) {
            dest = color;
        } else {
            const std::uint32_t p = source.at(r.x + x, r.y + y);
            dest = target.storedPixel(p);
        }
    };
    // The seed's own pixel first, then `count` more: a call given the seed the last one
    // returned starts where that one ended.
    if (state < total)
        dissolve(state);
    const std::uint64_t todo = std::min<std::uint64_t>(static_cast<std::uint64_t>(count), total);
    for (std::uint64_t done = 0; done < todo;) {
        state = (state * 5 + 1) & mask;
        if (state >= total)
            continue;
        dissolve(state);
        ++done;
    }
    return static_cast<std::int64_t>(state);
}

namespace {

// Ken Perlin's gradient noise in two dimensions over a permutation the seed shuffles.
class GradientNoise {
public:
    explicit GradientNoise(std::int64_t seed)
    {
        ParkMiller random(seed);
        std::array<int, 256> p{};
        std::iota(p.begin(), p.end(), 0);
        for (int i = 255; i > 0; --i)
            std::swap(p[static_cast<std::size_t>(i)], p[random.next() % (i + 1)]);
        for (int i = 0; i < 512; ++i)
            m_perm[static_cast<std::size_t>(i)] = p[static_cast<std::size_t>(i & 255)];
    }

    // In about -1 to 1. `wrapX` and `wrapY`, when positive, make it tile at that period.
    double at(double x, double y, int wrapX, int wrapY) const
    {
        const double fx = std::floor(x), fy = std::floor(y);
        int x0 = static_cast<int>(static_cast<long long>(fx) & 255);
        int y0 = static_cast<int>(static_cast<long long>(fy) & 255);
        int x1 = x0 + 1, y1 = y0 + 1;
        if (wrapX > 0) {
            x0 = static_cast<int>(static_cast<long long>(fx) % wrapX + wrapX) % wrapX & 255;
            x1 = (x0 + 1) % wrapX & 255;
        }
        if (wrapY > 0) {
            y0 = static_cast<int>(static_cast<long long>(fy) % wrapY + wrapY) % wrapY & 255;
            y1 = (y0 + 1) % wrapY & 255;
        }
        const double dx = x - fx, dy = y - fy;
        const double u = fade(dx), v = fade(dy);
        auto hash = [this](int i, int j) {
            return m_perm[static_cast<std::size_t>(m_perm[static_cast<std::size_t>(i & 255)] +
                                                   (j & 255))];
        };
        const double n00 = grad(hash(x0, y0), dx, dy);
        const double n10 = grad(hash(x1, y0), dx - 1, dy);
        const double n01 = grad(hash(x0, y1), dx, dy - 1);
        const double n11 = grad(hash(x1, y1), dx - 1, dy - 1);
        return lerp(v, lerp(u, n00, n10), lerp(u, n01, n11));
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    static double lerp(double t, double a, double b) { return a + t * (b - a); }
    static double grad(int hash, double x, double y)
    {
        switch (hash & 7) {
        case 0:
            return x + y;
        case 1:
            return -x + y;
        case 2:
            return x - y;
        case 3:
            return -x - y;
        case 4:
            return x;
        case 5:
            return -x;
        case 6:
            return y;
        default:
            return -y;
        }
    }

    std::array<int, 512> m_perm{};
};

} // namespace

void perlinNoise(BitmapData& target, const PerlinOptions& options)
{
    const int width = target.width(), height = target.height();
    if (width == 0 || height == 0)
        return;
    const int octaves = std::max(options.octaves, 0);
    const double baseX = options.baseX == 0 ? 1 : std::fabs(options.baseX);
    const double baseY = options.baseY == 0 ? 1 : std::fabs(options.baseY);
    const bool alpha = target.transparent() && (options.channels & Alpha);
    // One noise field per channel drawn: red, green, blue, alpha (grey uses the first).
    std::array<bool, 4> drawn{};
    drawn[0] = options.grayScale || (options.channels & Red);
    drawn[1] = !options.grayScale && (options.channels & Green);
    drawn[2] = !options.grayScale && (options.channels & Blue);
    drawn[3] = alpha;
    std::array<GradientNoise, 4> fields{
        GradientNoise(options.seed), GradientNoise(options.seed + 1),
        GradientNoise(options.seed + 2), GradientNoise(options.seed + 3)};
    auto offset = [&](int octave, int axis) {
        const std::size_t i = static_cast<std::size_t>(octave) * 2 + static_cast<std::size_t>(axis);
        return i < options.offsets.size() && std::isfinite(options.offsets[i]) ? options.offsets[i]
                                                                               : 0.0;
    };
    std::uint32_t* pixels = target.edit();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::array<std::uint32_t, 4> value{0, 0, 0, 255};
            for (std::size_t c = 0; c < 4; ++c) {
                if (!drawn[c])
                    continue;
                double sum = 0, amplitude = 1, frequency = 1, weight = 0;
                for (int o = 0; o < octaves; ++o) {
                    const double px = (x + offset(o, 0)) * frequency / baseX;
                    const double py = (y + offset(o, 1)) * frequency / baseY;
                    const int wrapX = options.stitch
                                          ? std::max(1, static_cast<int>(width * frequency / baseX))
                                          : 0;
                    const int wrapY =
                        options.stitch ? std::max(1, static_cast<int>(height * frequency / baseY))
                                       : 0;
                    const double n = fields[c].at(px, py, wrapX, wrapY);
                    sum += (options.fractal ? n : std::fabs(n)) * amplitude;
                    weight += amplitude;
                    amplitude *= 0.5;
                    frequency *= 2;
                }
                const double level = weight > 0 ? sum / weight : 0;
                const double scaled = options.fractal ? (level + 1) * 127.5 : level * 255;
                value[c] = static_cast<std::uint32_t>(std::clamp(scaled, 0.0, 255.0));
            }
            if (options.grayScale)
                value[1] = value[2] = value[0];
            pixels[static_cast<std::size_t>(y) * width + x] =
                target.storedColor(value[3] << 24 | value[0] << 16 | value[1] << 8 | value[2]);
        }
    }
}

} // namespace runtime::bitmap
