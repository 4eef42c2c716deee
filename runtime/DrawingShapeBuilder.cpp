#include "DrawingShapeBuilder.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

swf::Twips outward(double value, bool up)
{
    return swf::Twips{static_cast<std::int32_t>(up ? std::ceil(value) : std::floor(value))};
}

} // namespace

void DrawingShapeBuilder::Box::include(double x, double y)
{
    if (empty) {
        xMin = xMax = x;
        yMin = yMax = y;
        empty = false;
        return;
    }
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
}

DrawingShapeBuilder::DrawingShapeBuilder()
{
    m_shape.layers.emplace_back();
}

void DrawingShapeBuilder::beginFill(const swf::FillStyle& fill)
{
    endFill();
    // Painted over the lines drawn so far: in a layer above them.
    if (!layer().strokePaths.empty()) {
        m_shape.layers.emplace_back();
        m_lineInLayer = false;
        m_strokeOpen = false;
    }
    swf::ShapeLayer& current = layer();
    current.fills.push_back(fill);
    m_fillPath = current.fillPaths.size();
    current.fillPaths.push_back({static_cast<std::uint32_t>(current.fills.size() - 1), {}});
    m_filling = true;
    m_contourOpen = false;
}

void DrawingShapeBuilder::endFill()
{
    closeContour();
    m_filling = false;
}

void DrawingShapeBuilder::setLine(const swf::LineStyle* line)
{
    m_line = line;
    m_lineInLayer = false;
    m_strokeOpen = false;
}

void DrawingShapeBuilder::moveTo(std::int32_t x, std::int32_t y)
{
    closeContour();
    m_penX = x;
    m_penY = y;
    m_strokeOpen = false;
}

void DrawingShapeBuilder::lineTo(std::int32_t x, std::int32_t y)
{
    segment({swf::SegmentKind::Line, x, y});
}

void DrawingShapeBuilder::curveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x,
                                  std::int32_t y)
{
    segment({swf::SegmentKind::Curve, x, y, controlX, controlY});
}

void DrawingShapeBuilder::closeContour()
{
    if (!m_filling || !m_contourOpen)
        return;
    m_contourOpen = false;
    if (m_penX == m_startX && m_penY == m_startY)
        return;
    const swf::Segment closing{swf::SegmentKind::Line, m_startX, m_startY};
    layer().fillPaths[m_fillPath].path.segments.push_back(closing);
    measure(closing, 0);
    if (m_line)
        strokeSegment(closing);
    // The pen stays where the last call left it: what is drawn next starts there.
    m_strokeOpen = false;
}

void DrawingShapeBuilder::segment(const swf::Segment& s)
{
    if (m_filling) {
        auto& segments = layer().fillPaths[m_fillPath].path.segments;
        if (!m_contourOpen) {
            segments.push_back({swf::SegmentKind::Move, m_penX, m_penY});
            m_startX = m_penX;
            m_startY = m_penY;
            m_contourOpen = true;
        }
        segments.push_back(s);
        measure(s, 0);
    }
    if (m_line)
        strokeSegment(s);
    m_penX = s.x;
    m_penY = s.y;
}

void DrawingShapeBuilder::strokeSegment(const swf::Segment& s)
{
    swf::ShapeLayer& current = layer();
    if (!m_lineInLayer) {
        current.lines.push_back(*m_line);
        m_strokePath = current.strokePaths.size();
        current.strokePaths.push_back({static_cast<std::uint32_t>(current.lines.size() - 1), {}});
        m_lineInLayer = true;
        m_strokeOpen = false;
        if (m_line->noHScale || m_line->noVScale)
            m_shape.hasNonScalingStrokes = true;
        else
            m_shape.hasScalingStrokes = true;
    }
    auto& segments = current.strokePaths[m_strokePath].path.segments;
    if (!m_strokeOpen) {
        segments.push_back({swf::SegmentKind::Move, m_penX, m_penY});
        m_strokeOpen = true;
    }
    segments.push_back(s);
    // Lines reach their whole width beyond their edges in the reference's bounds.
    measure(s, m_line->width);
}

void DrawingShapeBuilder::measure(const swf::Segment& s, double reach)
{
    // The segment's ends and a curve's control point, as the reference measures.
    auto include = [&](double x, double y) {
        m_edgeBounds.include(x, y);
        m_bounds.include(x - reach, y - reach);
        m_bounds.include(x + reach, y + reach);
    };
    include(m_penX, m_penY);
    include(s.x, s.y);
    if (s.kind == swf::SegmentKind::Curve)
        include(s.cx, s.cy);
}

std::shared_ptr<const swf::Shape> DrawingShapeBuilder::finish()
{
    endFill();
    for (swf::ShapeLayer& l : m_shape.layers) {
        std::erase_if(l.fillPaths, [](const swf::FillPath& f) { return f.path.empty(); });
        std::erase_if(l.strokePaths, [](const swf::StrokePath& p) { return p.path.empty(); });
    }
    std::erase_if(m_shape.layers, [](const swf::ShapeLayer& l) {
        return l.fillPaths.empty() && l.strokePaths.empty();
    });
    if (m_shape.layers.empty())
        return nullptr;
    auto toRect = [](const Box& box) {
        return swf::Rect{outward(box.xMin, false), outward(box.xMax, true),
                         outward(box.yMin, false), outward(box.yMax, true)};
    };
    m_shape.bounds = toRect(m_bounds);
    m_shape.edgeBounds = toRect(m_edgeBounds);
    return std::make_shared<const swf::Shape>(std::move(m_shape));
}

} // namespace runtime
