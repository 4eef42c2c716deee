#pragma once

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

namespace render {

// Shared steps of the shadow, glow and bevel filters: they all derive one 8-bit value
// per pixel from the layer's alpha, look a colour up for it and composite that with
// the layer.
struct AlphaPlane {
    int width = 0, height = 0;
    std::vector<std::uint8_t> values;

    std::uint8_t at(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0
                                                             : values[std::size_t(y) * width + x];
    }
};

AlphaPlane alphaOf(const QImage& layer, bool inverted);
// Moves the plane by `offset`; what comes in from outside is zero (or 255 if `fill`).
AlphaPlane shifted(const AlphaPlane& plane, QPoint offset, std::uint8_t fill = 0);
void blurPlane(AlphaPlane& plane, double blurX, double blurY, int passes);
void strengthen(AlphaPlane& plane, double strength);

// 256 premultiplied colours indexed by the effect's value.
using ColorTable = std::array<QRgb, 256>;
ColorTable fadeTable(QRgb color);                   // index = alpha of one colour
ColorTable bevelTable(QRgb highlight, QRgb shadow); // 0 highlight, 128 none, 255 shadow
ColorTable rampTable(const std::vector<std::uint8_t>& ratios, const std::vector<QRgb>& colors);

enum class EffectPlacement { Outer, Inner, Full };

// Replaces the layer by its effect (`index` looked up in `table`) composited with it:
// outer effects go under the layer, inner and full ones over it (inner ones kept
// inside its shape); knockout keeps the effect alone, without the source.
void compositeEffect(QImage& layer, const AlphaPlane& index, const ColorTable& table,
                     EffectPlacement placement, bool knockout, bool compositeSource);

// A direction and distance in stage pixels as a whole-pixel device offset.
QPoint offsetFor(double angle, double distance, double scale);

} // namespace render
