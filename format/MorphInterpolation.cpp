#include "MorphShape.h"
#include "ShapeEdges.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

std::int32_t lerpInt(std::int32_t a, std::int32_t b, double t)
{
    return static_cast<std::int32_t>(std::lround(lerp(a, b, t)));
}

std::uint8_t lerpByte(std::uint8_t a, std::uint8_t b, double t)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(lerp(a, b, t)), 0L, 255L));
}

Rgba lerpColor(Rgba a, Rgba b, double t)
{
    return {lerpByte(a.r, b.r, t), lerpByte(a.g, b.g, t), lerpByte(a.b, b.b, t),
            lerpByte(a.a, b.a, t)};
}

Rect lerpRect(const Rect& a, const Rect& b, double t)
{
    auto twips = [t](Twips x, Twips y) { return Twips{lerpInt(x.value, y.value, t)}; };
    return {twips(a.xMin, b.xMin), twips(a.xMax, b.xMax), twips(a.yMin, b.yMin),
            twips(a.yMax, b.yMax)};
}

Matrix lerpMatrix(const Matrix& a, const Matrix& b, double t)
{
    return {lerp(a.a, b.a, t), lerp(a.b, b.b, t),   lerp(a.c, b.c, t),
            lerp(a.d, b.d, t), lerp(a.tx, b.tx, t), lerp(a.ty, b.ty, t)};
}

// The type, modes and bitmap are the start's: a morph fill pairs two of one type.
FillStyle lerpFill(const FillStyle& a, const FillStyle& b, double t)
{
    FillStyle fill = a;
    fill.color = lerpColor(a.color, b.color, t);
    fill.matrix = lerpMatrix(a.matrix, b.matrix, t);
    const std::size_t stops = std::min(a.gradient.stops.size(), b.gradient.stops.size());
    for (std::size_t i = 0; i < stops; ++i) {
        const GradientStop& from = a.gradient.stops[i];
        const GradientStop& to = b.gradient.stops[i];
        fill.gradient.stops[i] = {lerpByte(from.ratio, to.ratio, t),
                                  lerpColor(from.color, to.color, t)};
    }
    fill.gradient.focalPoint =
        static_cast<float>(lerp(a.gradient.focalPoint, b.gradient.focalPoint, t));
    return fill;
}

LineStyle lerpLine(const LineStyle& a, const LineStyle& b, double t)
{
    LineStyle line = a;
    line.width = static_cast<std::uint16_t>(std::lround(lerp(a.width, b.width, t)));
    line.color = lerpColor(a.color, b.color, t);
    if (a.fill && b.fill)
        line.fill = lerpFill(*a.fill, *b.fill, t);
    return line;
}

ShapeEdge toShapeEdge(const MorphShape::Edge& e)
{
    return {{e.fromX, e.fromY}, {e.cx, e.cy}, {e.x, e.y}, e.isCurve};
}

// A straight edge as the curve that draws the same line, so that it can pair with a
// curve of the other shape.
ShapeEdge asCurve(ShapeEdge edge)
{
    if (!edge.isCurve) {
        edge.control = {static_cast<std::int32_t>((std::int64_t(edge.from.x) + edge.to.x) / 2),
                        static_cast<std::int32_t>((std::int64_t(edge.from.y) + edge.to.y) / 2)};
        edge.isCurve = true;
    }
    return edge;
}

ShapePoint lerpPoint(ShapePoint a, ShapePoint b, double t)
{
    return {lerpInt(a.x, b.x, t), lerpInt(a.y, b.y, t)};
}

} // namespace

Shape morphShapeAt(const MorphShape& morph, double ratio)
{
    const double t = std::isnan(ratio) ? 0.0 : std::clamp(ratio, 0.0, 1.0);
    Shape shape;
    shape.bounds = lerpRect(morph.startBounds, morph.endBounds, t);
    shape.edgeBounds = lerpRect(morph.startEdgeBounds, morph.endEdgeBounds, t);
    shape.hasNonScalingStrokes = morph.hasNonScalingStrokes;
    shape.hasScalingStrokes = morph.hasScalingStrokes;
    ShapeLayer& layer = shape.layers.emplace_back();

    // Leniency: a style or edge of the start without a partner at the end (the lists
    // should pair one to one) keeps its start form all the way.
    layer.fills.reserve(morph.startFills.size());
    for (std::size_t i = 0; i < morph.startFills.size(); ++i) {
        const FillStyle& start = morph.startFills[i];
        layer.fills.push_back(
            lerpFill(start, i < morph.endFills.size() ? morph.endFills[i] : start, t));
    }
    layer.lines.reserve(morph.startLines.size());
    for (std::size_t i = 0; i < morph.startLines.size(); ++i) {
        const LineStyle& start = morph.startLines[i];
        layer.lines.push_back(
            lerpLine(start, i < morph.endLines.size() ? morph.endLines[i] : start, t));
    }

    ShapeLayerBuilder builder;
    for (std::size_t i = 0; i < morph.startEdges.size(); ++i) {
        const MorphShape::Edge& s = morph.startEdges[i];
        ShapeEdge from = toShapeEdge(s);
        ShapeEdge to = i < morph.endEdges.size() ? toShapeEdge(morph.endEdges[i]) : from;
        if (from.isCurve != to.isCurve) {
            from = asCurve(from);
            to = asCurve(to);
        }
        const ShapeEdge edge{lerpPoint(from.from, to.from, t),
                             lerpPoint(from.control, to.control, t), lerpPoint(from.to, to.to, t),
                             from.isCurve};
        auto checked = [](std::uint32_t index, std::size_t count) {
            return index <= count ? index : 0;
        };
        builder.addEdge(edge, checked(s.fill0, layer.fills.size()),
                        checked(s.fill1, layer.fills.size()), checked(s.line, layer.lines.size()));
    }
    builder.finish(layer);
    return shape;
}

} // namespace swf
