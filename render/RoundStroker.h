#pragma once

#include "format/Style.h"

#include <QPainterPath>
#include <optional>

namespace render {

// The area a line with round joins covers, made from its flattened centre line (as
// flattenPath gives it): each side offset by half the width, outer corners rounded,
// ends capped as the style asks, all as straight segments within `tolerance`, to be
// filled by the non-zero rule. Many times cheaper than Qt's stroker, whose round joins
// cost two arc tangents and a curve each, and whose output must be flattened again.
// `closedLoops`: a sub-path ending where it began is joined there instead of capped.
// Nothing for lines it does not draw: other joins, or a sub-path of one point.
std::optional<QPainterPath> roundJoinedOutline(const QPainterPath& centre,
                                               const swf::LineStyle& line, double tolerance,
                                               bool closedLoops);

} // namespace render
