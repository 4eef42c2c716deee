#pragma once

// The fill and line styles the drawing API's arguments describe, converted as the
// reference converts them: colours as 0xRRGGBB with alphas in percent, lengths in
// pixels (the styles keep twips).

#include "avm1/Function.h"
#include "format/Style.h"

#include <optional>

namespace avm1 {

class Vm;

// beginFill(rgb, alpha): alpha 100 unless given.
swf::Rgba drawingColor(Vm& vm, Value rgb, Value alpha);

// lineStyle(thickness, rgb, alpha, pixelHinting, noScale, capsStyle, jointStyle,
// miterLimit); nothing when no thickness is given (lines off).
std::optional<swf::LineStyle> drawingLineStyle(Vm& vm, const CallArgs& call);

// beginGradientFill's and lineGradientStyle's arguments (fillType, colors, alphas,
// ratios, matrix[, spreadMethod, interpolationMethod, focalPointRatio]); nothing when
// they describe no gradient: a type other than "linear" and "radial", arrays that are
// missing, empty or of different lengths, a ratio outside 0 to 255, no matrix object,
// more than eight arguments. Such a call changes nothing.
std::optional<swf::FillStyle> drawingGradient(Vm& vm, const CallArgs& call);

// A gradient's matrix from either form scripts give: {matrixType: "box", x, y, w, h, r}
// as createGradientBox makes it, {a, b, c, d, tx, ty} (flash.geom.Matrix), or the older
// 3x3 {a, b, d, e, g, h} whose scales are pixels across the gradient's square.
std::optional<swf::Matrix> drawingGradientMatrix(Vm& vm, Value matrix);

} // namespace avm1
