// Stand-ins for format functions whose real versions are written on other branches at
// the same time (the movie's character table and morph interpolation). They are weak:
// once the format library defines them, the linker takes those. Remove this file then.
#include "format/MorphShape.h"
#include "format/Movie.h"

#include <algorithm>

namespace swf {

__attribute__((weak)) const Character* MovieDefinition::character(CharacterId id) const
{
    return id < m_characters.size() ? m_characters[id].get() : nullptr;
}

__attribute__((weak)) void MovieDefinition::define(std::shared_ptr<const Character> character)
{
    if (!character)
        return;
    if (m_characters.size() <= character->id)
        m_characters.resize(std::size_t(character->id) + 1);
    if (!m_characters[character->id])
        ++m_count;
    m_characters[character->id] = std::move(character);
}

namespace {

std::int32_t mix(std::int32_t a, std::int32_t b, double t)
{
    return static_cast<std::int32_t>(a + (b - a) * t);
}

std::uint8_t mix8(std::uint8_t a, std::uint8_t b, double t)
{
    return static_cast<std::uint8_t>(a + (b - a) * t);
}

} // namespace

// Enough for the renderer's tests: solid fills, edges in order, one contour per style.
__attribute__((weak)) Shape morphShapeAt(const MorphShape& morph, double ratio)
{
    Shape shape;
    ShapeLayer& layer = shape.layers.emplace_back();
    for (std::size_t i = 0; i < morph.startFills.size() && i < morph.endFills.size(); ++i) {
        FillStyle fill = morph.startFills[i];
        const Rgba a = morph.startFills[i].color, b = morph.endFills[i].color;
        fill.color = {mix8(a.r, b.r, ratio), mix8(a.g, b.g, ratio), mix8(a.b, b.b, ratio),
                      mix8(a.a, b.a, ratio)};
        layer.fills.push_back(fill);
    }
    const std::size_t edges = std::min(morph.startEdges.size(), morph.endEdges.size());
    for (std::uint32_t style = 1; style <= layer.fills.size(); ++style) {
        FillPath fill;
        fill.style = style - 1;
        for (std::size_t i = 0; i < edges; ++i) {
            const MorphShape::Edge& s = morph.startEdges[i];
            const MorphShape::Edge& e = morph.endEdges[i];
            Segment segment;
            segment.x = mix(s.x, e.x, ratio);
            segment.y = mix(s.y, e.y, ratio);
            segment.cx = mix(s.cx, e.cx, ratio);
            segment.cy = mix(s.cy, e.cy, ratio);
            if (s.moveTo) {
                segment.kind = SegmentKind::Move;
            } else if (s.fill1 == style || s.fill0 == style) {
                segment.kind = s.isCurve ? SegmentKind::Curve : SegmentKind::Line;
            } else {
                continue;
            }
            fill.path.segments.push_back(segment);
        }
        layer.fillPaths.push_back(std::move(fill));
    }
    return shape;
}

} // namespace swf
