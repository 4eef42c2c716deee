#pragma once

#include "format/Shape.h"

#include <cstdint>
#include <memory>

namespace runtime {

// Turns a drawing's calls, replayed in order, into a shape's layers by the rules
// Drawing.h gives: fill contours closed and their closing edges stroked, a new layer
// for a fill begun over lines, bounds with and without the lines' widths.
class DrawingShapeBuilder {
public:
    DrawingShapeBuilder();

    void beginFill(const swf::FillStyle& fill);
    void endFill();
    // Null for no lines. The style must outlive the builder.
    void setLine(const swf::LineStyle* line);
    void moveTo(std::int32_t x, std::int32_t y);
    void lineTo(std::int32_t x, std::int32_t y);
    void curveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y);
    // The shape, the open contour closed; null when nothing was drawn.
    std::shared_ptr<const swf::Shape> finish();

private:
    struct Box {
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        bool empty = true;
        void include(double x, double y);
    };

    swf::ShapeLayer& layer() { return m_shape.layers.back(); }
    void closeContour();
    void segment(const swf::Segment& segment);
    void strokeSegment(const swf::Segment& segment);
    void measure(const swf::Segment& segment, double reach);

    swf::Shape m_shape;
    bool m_filling = false;
    std::size_t m_fillPath = 0; // in the last layer, while filling
    bool m_contourOpen = false;
    std::int32_t m_startX = 0, m_startY = 0;

    const swf::LineStyle* m_line = nullptr;
    bool m_lineInLayer = false; // m_line has a stroke path in the last layer
    std::size_t m_strokePath = 0;
    bool m_strokeOpen = false; // the stroke path's last sub-path ends at the pen

    std::int32_t m_penX = 0, m_penY = 0;
    Box m_bounds, m_edgeBounds;
};

} // namespace runtime
