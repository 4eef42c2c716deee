#pragma once

#include "format/Filter.h"

#include <QImage>
#include <QMargins>
#include <vector>

namespace render {

// Filters run on a group's layer (premultiplied ARGB with room around its content for
// what they spread). Sizes and distances are in stage pixels; `scale` is the device
// pixels per stage pixel, so filtered movies look alike at any window size.

// How far beyond the content the filters may draw, in device pixels.
QMargins filterMargins(const std::vector<swf::Filter>& filters, double scale);

void applyFilters(QImage& layer, const std::vector<swf::Filter>& filters, double scale);

void applyBlur(QImage& layer, const swf::BlurFilter& filter, double scale);
void applyDropShadow(QImage& layer, const swf::DropShadowFilter& filter, double scale);
void applyGlow(QImage& layer, const swf::GlowFilter& filter, double scale);
void applyGradientGlow(QImage& layer, const swf::GradientGlowFilter& filter, double scale);
void applyBevel(QImage& layer, const swf::BevelFilter& filter, double scale);
void applyGradientBevel(QImage& layer, const swf::GradientGlowFilter& filter, double scale);
void applyColorMatrix(QImage& layer, const swf::ColorMatrixFilter& filter);
void applyConvolution(QImage& layer, const swf::ConvolutionFilter& filter);
void applyDisplacementMap(QImage& layer, const swf::DisplacementMapFilter& filter, double scale);

} // namespace render
