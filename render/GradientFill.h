#pragma once

#include "format/Style.h"

#include <QTransform>
#include <QtGui/qrgb.h>
#include <array>
#include <memory>

namespace render {

// A gradient's colours at 256 evenly spaced ratios, premultiplied, colour transform
// applied: what each pixel looks its colour up in.
using GradientTable = std::array<QRgb, 256>;

// A gradient fill drawn by the renderer itself rather than by a Qt brush: Qt serialises
// every gradient fill on a global cache lock, which stalls the band threads, and its
// span pipeline is slow for them.
struct GradientFill {
    enum class Kind : std::uint8_t { Linear, Radial, Focal };
    Kind kind = Kind::Linear;
    swf::SpreadMode spread = swf::SpreadMode::Pad;
    double focal = 0; // focal radial gradients: -1 to 1 along x
    std::shared_ptr<const GradientTable> table;
    QTransform matrix; // the gradient square to the shape's twips
};

// Builds the table from the stops: interpolated in sRGB or, when the gradient asks, in
// linear light.
GradientTable buildGradientTable(const swf::Gradient& gradient,
                                 const swf::ColorTransform& transform);

// Writes the colours of `count` pixels of row `y` from column `x` on, `inverse` taking
// pixel coordinates back to the gradient square.
void fillGradientRow(QRgb* out, int x, int y, int count, const GradientFill& fill,
                     const QTransform& inverse);

} // namespace render
