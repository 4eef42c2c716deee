#pragma once

#include "format/Shape.h"

#include <QPainterPath>

namespace render {

// Outlines are turned into straight segments once, at a tolerance suited to the scale
// they are drawn at, so that the rasteriser never subdivides curves frame after frame.
// Scales are grouped in steps of half an octave; a shape is flattened again only when
// it is drawn at a scale of another step.
int scaleLevel(double pixelsPerUnit);
// The largest distance, in path units, a chord may stray from its curve at `level`.
double toleranceAtLevel(int level);

enum class SubpathClosing {
    CloseAll,   // fills: every contour is closed
    CloseLoops, // strokes: a sub-path ending where it began is joined, others get caps
    KeepOpen,   // strokes that ask for caps even where a loop meets itself
};

// The movie's path (twips or em units) as straight segments.
QPainterPath flattenPath(const swf::Path& path, double tolerance, SubpathClosing closing);

// The movie's path with its curves kept as curves: what the stroker works from, so that
// a curve's outline is offset as a whole instead of joined at every flattened step.
QPainterPath curvedPath(const swf::Path& path, SubpathClosing closing);

// A Qt path that may hold cubic curves (a stroker's output) as straight segments.
QPainterPath flattenQtPath(const QPainterPath& path, double tolerance);

} // namespace render
