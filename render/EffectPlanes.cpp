#include "EffectPlanes.h"

#include "BoxBlur.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

inline int mulDiv255(int a, int b)
{
    const int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

inline QRgb scalePixel(QRgb p, int factor)
{
    return qRgba(mulDiv255(qRed(p), factor), mulDiv255(qGreen(p), factor),
                 mulDiv255(qBlue(p), factor), mulDiv255(qAlpha(p), factor));
}

// `top` over `bottom`, both premultiplied.
inline QRgb over(QRgb top, QRgb bottom)
{
    const int keep = 255 - qAlpha(top);
    return qRgba(
        qRed(top) + mulDiv255(qRed(bottom), keep), qGreen(top) + mulDiv255(qGreen(bottom), keep),
        qBlue(top) + mulDiv255(qBlue(bottom), keep), qAlpha(top) + mulDiv255(qAlpha(bottom), keep));
}

} // namespace

AlphaPlane alphaOf(const QImage& layer, bool inverted)
{
    AlphaPlane plane{layer.width(), layer.height(), {}};
    plane.values.resize(std::size_t(plane.width) * plane.height);
    for (int y = 0; y < plane.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        std::uint8_t* out = plane.values.data() + std::size_t(y) * plane.width;
        for (int x = 0; x < plane.width; ++x) {
            const int a = qAlpha(row[x]);
            out[x] = static_cast<std::uint8_t>(inverted ? 255 - a : a);
        }
    }
    return plane;
}

AlphaPlane shifted(const AlphaPlane& plane, QPoint offset, std::uint8_t fill)
{
    if (offset.isNull())
        return plane;
    AlphaPlane out{plane.width, plane.height, {}};
    out.values.assign(plane.values.size(), fill);
    for (int y = 0; y < plane.height; ++y) {
        const int sourceY = y - offset.y();
        if (sourceY < 0 || sourceY >= plane.height)
            continue;
        const int first = std::max(0, offset.x()),
                  last = std::min(plane.width, plane.width + offset.x());
        if (first >= last)
            continue;
        std::copy_n(plane.values.data() + std::size_t(sourceY) * plane.width + (first - offset.x()),
                    last - first, out.values.data() + std::size_t(y) * plane.width + first);
    }
    return out;
}

void blurPlane(AlphaPlane& plane, double blurX, double blurY, int passes)
{
    boxBlur(PixelPlane{plane.values.data(), plane.width, plane.height, plane.width, 1},
            boxWidth(blurX), boxWidth(blurY), passes);
}

void strengthen(AlphaPlane& plane, double strength)
{
    if (strength == 1)
        return;
    const int factor = static_cast<int>(std::clamp(strength, 0.0, 255.0) * 256);
    for (std::uint8_t& value : plane.values)
        value = static_cast<std::uint8_t>(std::min(255, (value * factor + 128) >> 8));
}

ColorTable fadeTable(QRgb color)
{
    ColorTable table;
    const QRgb premultiplied = qPremultiply(color);
    for (int i = 0; i < 256; ++i)
        table[i] = scalePixel(premultiplied, i);
    return table;
}

ColorTable bevelTable(QRgb highlight, QRgb shadow)
{
    ColorTable table;
    const QRgb light = qPremultiply(highlight), dark = qPremultiply(shadow);
    for (int i = 0; i < 256; ++i)
        table[i] = i < 128 ? scalePixel(light, std::min(255, (128 - i) * 2))
                           : scalePixel(dark, std::min(255, (i - 128) * 2));
    return table;
}

ColorTable rampTable(const std::vector<std::uint8_t>& ratios, const std::vector<QRgb>& colors)
{
    ColorTable table;
    table.fill(0);
    if (ratios.empty() || ratios.size() != colors.size())
        return table;
    for (int i = 0; i < 256; ++i) {
        std::size_t next = 0;
        while (next < ratios.size() && ratios[next] < i)
            ++next;
        QRgb color;
        if (next == 0) {
            color = colors.front();
        } else if (next == ratios.size()) {
            color = colors.back();
        } else {
            const int from = ratios[next - 1], to = ratios[next];
            const double t = to == from ? 1.0 : double(i - from) / (to - from);
            auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
            const QRgb a = colors[next - 1], b = colors[next];
            color = qRgba(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)),
                          mix(qAlpha(a), qAlpha(b)));
        }
        table[i] = qPremultiply(color);
    }
    return table;
}

void compositeEffect(QImage& layer, const AlphaPlane& index, const ColorTable& table,
                     EffectPlacement placement, bool knockout, bool compositeSource)
{
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const std::uint8_t* values = index.values.data() + std::size_t(y) * index.width;
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb source = row[x];
            const int sourceAlpha = qAlpha(source);
            QRgb effect = table[values[x]];
            switch (placement) {
            case EffectPlacement::Outer:
                if (knockout)
                    row[x] = scalePixel(effect, 255 - sourceAlpha);
                else
                    row[x] = compositeSource ? over(source, effect) : effect;
                break;
            case EffectPlacement::Inner:
                effect = scalePixel(effect, sourceAlpha);
                [[fallthrough]];
            case EffectPlacement::Full:
                row[x] = (knockout || !compositeSource) ? effect : over(effect, source);
                break;
            }
        }
    }
}

QPoint offsetFor(double angle, double distance, double scale)
{
    if (!std::isfinite(angle) || !std::isfinite(distance))
        return {};
    constexpr double kLimit = 4096;
    const double dx = std::clamp(std::cos(angle) * distance * scale, -kLimit, kLimit);
    const double dy = std::clamp(std::sin(angle) * distance * scale, -kLimit, kLimit);
    return QPoint(static_cast<int>(std::lround(dx)), static_cast<int>(std::lround(dy)));
}

} // namespace render
