#pragma once

#include "format/Shape.h"

#include <QPainterPath>
#include <QRectF>
#include <cstddef>
#include <memory>
#include <vector>

namespace render {

// A shape's outlines turned into what QPainter draws, in the shape's own twips, made
// once per shape and flattening tolerance.
struct PreparedFill {
    QPainterPath path; // closed contours, even-odd or non-zero as the shape asks
    const swf::FillStyle* style = nullptr;
};

struct PreparedStroke {
    QPainterPath centre;  // the centre line: hairlines and strokes that keep their width
    QPainterPath outline; // the area a scaling stroke covers; empty for a hairline
    const swf::LineStyle* style = nullptr;
    QRectF bounds;
};

struct PreparedLayer {
    std::vector<PreparedFill> fills;
    std::vector<PreparedStroke> strokes;
};

struct PreparedShape {
    std::vector<PreparedLayer> layers;
    QRectF bounds;
    std::size_t bytes = 0;
    // Keeps the styles pointed to alive when the shape itself is temporary (a morph).
    std::shared_ptr<const void> owner;
};

// Flattens the shape's fills and strokes at `tolerance` twips and strokes the lines
// once. The paths are ready to be drawn from several threads at once.
std::shared_ptr<PreparedShape> prepareShape(const swf::Shape& shape, double tolerance);

} // namespace render
