#include "LayerFilters.h"

#include "BoxBlur.h"
#include "EffectPlanes.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Passes are a byte in the movie, but more than a few change nothing visible.
constexpr int kMaxPasses = 15;

int passesOf(std::uint8_t passes)
{
    return std::clamp<int>(passes, 1, kMaxPasses);
}

// How far a blur spreads: half a box per pass, per axis.
QMargins blurSpread(double blurX, double blurY, std::uint8_t passes, double scale)
{
    const int x = boxWidth(blurX * scale) / 2 * passesOf(passes) + 1;
    const int y = boxWidth(blurY * scale) / 2 * passesOf(passes) + 1;
    return QMargins(x, y, x, y);
}

QMargins offsetSpread(QPoint offset)
{
    return QMargins(std::max(0, -offset.x()), std::max(0, -offset.y()), std::max(0, offset.x()),
                    std::max(0, offset.y()));
}

QRgb toQRgb(swf::Rgba c)
{
    return qRgba(c.r, c.g, c.b, c.a);
}

ColorTable rampFor(const std::vector<swf::GradientStop>& stops)
{
    std::vector<std::uint8_t> ratios;
    std::vector<QRgb> colors;
    for (const swf::GradientStop& stop : stops) {
        ratios.push_back(stop.ratio);
        colors.push_back(toQRgb(stop.color));
    }
    return rampTable(ratios, colors);
}

// The blurred, moved and strengthened alpha a glow or shadow is coloured from.
AlphaPlane glowPlane(const QImage& layer, bool inner, QPoint offset, double blurX, double blurY,
                     int passes, double strength, double scale)
{
    // An inner effect grows inward from outside the shape: start from the inverse.
    AlphaPlane plane = shifted(alphaOf(layer, inner), offset, inner ? 255 : 0);
    blurPlane(plane, blurX * scale, blurY * scale, passes);
    strengthen(plane, strength);
    return plane;
}

// 128 plus half the difference between the alpha behind and ahead of each pixel along
// the light: above 128 in shadow, below it in the light.
AlphaPlane bevelPlane(const QImage& layer, QPoint offset, double blurX, double blurY, int passes,
                      double strength, double scale)
{
    AlphaPlane plane = alphaOf(layer, false);
    blurPlane(plane, blurX * scale, blurY * scale, passes);
    AlphaPlane result{plane.width, plane.height, {}};
    result.values.resize(plane.values.size());
    const double factor = std::clamp(double(strength), 0.0, 255.0);
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x) {
            const int behind = plane.at(x - offset.x(), y - offset.y());
            const int ahead = plane.at(x + offset.x(), y + offset.y());
            const double difference = std::clamp((behind - ahead) * factor, -255.0, 255.0);
            result.values[std::size_t(y) * plane.width + x] =
                static_cast<std::uint8_t>(std::clamp(128 + difference / 2, 0.0, 255.0));
        }
    return result;
}

EffectPlacement bevelPlacement(bool inner, bool onTop)
{
    if (onTop)
        return EffectPlacement::Full;
    return inner ? EffectPlacement::Inner : EffectPlacement::Outer;
}

} // namespace

QMargins filterMargins(const std::vector<swf::Filter>& filters, double scale)
{
    QMargins total;
    for (const swf::Filter& filter : filters) {
        QMargins spread;
        if (const auto* blur = std::get_if<swf::BlurFilter>(&filter)) {
            spread = blurSpread(blur->blurX, blur->blurY, blur->passes, scale);
        } else if (const auto* shadow = std::get_if<swf::DropShadowFilter>(&filter)) {
            spread = blurSpread(shadow->blurX, shadow->blurY, shadow->passes, scale) +
                     offsetSpread(offsetFor(shadow->angle, shadow->distance, scale));
        } else if (const auto* glow = std::get_if<swf::GlowFilter>(&filter)) {
            spread = blurSpread(glow->blurX, glow->blurY, glow->passes, scale);
        } else if (const auto* bevel = std::get_if<swf::BevelFilter>(&filter)) {
            const QPoint o = offsetFor(bevel->angle, bevel->distance, scale);
            const int d = std::max(std::abs(o.x()), std::abs(o.y()));
            spread =
                blurSpread(bevel->blurX, bevel->blurY, bevel->passes, scale) + QMargins(d, d, d, d);
        } else if (const auto* gradient = std::get_if<swf::GradientGlowFilter>(&filter)) {
            const QPoint o = offsetFor(gradient->angle, gradient->distance, scale);
            const int d = std::max(std::abs(o.x()), std::abs(o.y()));
            spread = blurSpread(gradient->blurX, gradient->blurY, gradient->passes, scale) +
                     QMargins(d, d, d, d);
        } else if (const auto* gradientBevel = std::get_if<swf::GradientBevelFilter>(&filter)) {
            const QPoint o = offsetFor(gradientBevel->angle, gradientBevel->distance, scale);
            const int d = std::max(std::abs(o.x()), std::abs(o.y()));
            spread = blurSpread(gradientBevel->blurX, gradientBevel->blurY, gradientBevel->passes,
                                scale) +
                     QMargins(d, d, d, d);
        } else if (const auto* convolution = std::get_if<swf::ConvolutionFilter>(&filter)) {
            spread = QMargins(convolution->columns / 2, convolution->rows / 2,
                              convolution->columns / 2, convolution->rows / 2);
        }
        total += spread;
    }
    return total;
}

void applyFilters(QImage& layer, const std::vector<swf::Filter>& filters, double scale)
{
    for (const swf::Filter& filter : filters) {
        if (const auto* blur = std::get_if<swf::BlurFilter>(&filter))
            applyBlur(layer, *blur, scale);
        else if (const auto* shadow = std::get_if<swf::DropShadowFilter>(&filter))
            applyDropShadow(layer, *shadow, scale);
        else if (const auto* glow = std::get_if<swf::GlowFilter>(&filter))
            applyGlow(layer, *glow, scale);
        else if (const auto* bevel = std::get_if<swf::BevelFilter>(&filter))
            applyBevel(layer, *bevel, scale);
        else if (const auto* gradient = std::get_if<swf::GradientGlowFilter>(&filter))
            applyGradientGlow(layer, *gradient, scale);
        else if (const auto* gradientBevel = std::get_if<swf::GradientBevelFilter>(&filter))
            applyGradientBevel(layer, *gradientBevel, scale);
        else if (const auto* matrix = std::get_if<swf::ColorMatrixFilter>(&filter))
            applyColorMatrix(layer, *matrix);
        else if (const auto* convolution = std::get_if<swf::ConvolutionFilter>(&filter))
            applyConvolution(layer, *convolution);
        else if (const auto* displacement = std::get_if<swf::DisplacementMapFilter>(&filter))
            applyDisplacementMap(layer, *displacement, scale);
    }
}

void applyBlur(QImage& layer, const swf::BlurFilter& filter, double scale)
{
    boxBlur(PixelPlane{layer.bits(), layer.width(), layer.height(), int(layer.bytesPerLine()), 4},
            boxWidth(filter.blurX * scale), boxWidth(filter.blurY * scale),
            passesOf(filter.passes));
}

void applyDropShadow(QImage& layer, const swf::DropShadowFilter& filter, double scale)
{
    const AlphaPlane plane =
        glowPlane(layer, filter.inner, offsetFor(filter.angle, filter.distance, scale),
                  filter.blurX, filter.blurY, passesOf(filter.passes), filter.strength, scale);
    compositeEffect(layer, plane, fadeTable(toQRgb(filter.color)),
                    filter.inner ? EffectPlacement::Inner : EffectPlacement::Outer, filter.knockout,
                    filter.compositeSource);
}

void applyGlow(QImage& layer, const swf::GlowFilter& filter, double scale)
{
    const AlphaPlane plane = glowPlane(layer, filter.inner, {}, filter.blurX, filter.blurY,
                                       passesOf(filter.passes), filter.strength, scale);
    compositeEffect(layer, plane, fadeTable(toQRgb(filter.color)),
                    filter.inner ? EffectPlacement::Inner : EffectPlacement::Outer, filter.knockout,
                    filter.compositeSource);
}

void applyGradientGlow(QImage& layer, const swf::GradientGlowFilter& filter, double scale)
{
    const AlphaPlane plane =
        glowPlane(layer, filter.inner, offsetFor(filter.angle, filter.distance, scale),
                  filter.blurX, filter.blurY, passesOf(filter.passes), filter.strength, scale);
    compositeEffect(layer, plane, rampFor(filter.stops),
                    filter.onTop ? EffectPlacement::Full
                                 : (filter.inner ? EffectPlacement::Inner : EffectPlacement::Outer),
                    filter.knockout, filter.compositeSource);
}

void applyBevel(QImage& layer, const swf::BevelFilter& filter, double scale)
{
    const AlphaPlane plane =
        bevelPlane(layer, offsetFor(filter.angle, filter.distance, scale), filter.blurX,
                   filter.blurY, passesOf(filter.passes), filter.strength, scale);
    compositeEffect(
        layer, plane, bevelTable(toQRgb(filter.highlightColor), toQRgb(filter.shadowColor)),
        bevelPlacement(filter.inner, filter.onTop), filter.knockout, filter.compositeSource);
}

void applyGradientBevel(QImage& layer, const swf::GradientGlowFilter& filter, double scale)
{
    const AlphaPlane plane =
        bevelPlane(layer, offsetFor(filter.angle, filter.distance, scale), filter.blurX,
                   filter.blurY, passesOf(filter.passes), filter.strength, scale);
    compositeEffect(layer, plane, rampFor(filter.stops), bevelPlacement(filter.inner, filter.onTop),
                    filter.knockout, filter.compositeSource);
}

} // namespace render
