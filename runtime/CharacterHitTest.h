#pragma once

#include "format/Movie.h"

namespace runtime {

class HitAreas;
class HitTestBudget;

// Whether a point falls on a character, worked out from its definition alone: what a
// button's hit area needs, as hit-test records are never made into objects.
//   - shapes: their fills and strokes (ShapeHitTest);
//   - morph shapes, static and edit texts: their bounds (the start bounds for a morph);
//   - sprites: what their first frame places, each tested in turn;
//   - buttons: their own hit area.
// `nestingLevel` counts the levels above; past limits::kMaxDisplayNesting nothing hits.
// A subtree whose box (HitAreas) misses the point is skipped whole, and every visit
// and edge is paid from `budget`: once it is spent nothing hits, so a hit area that
// places itself, or buttons placing buttons, end within the step's work.

// The point in the character's own twips.
bool hitTestCharacter(HitAreas& areas, HitTestBudget& budget, swf::CharacterId id, double x,
                      double y, int nestingLevel);
// The point in the space of the character's parent, the character placed with `matrix`.
bool hitTestPlaced(HitAreas& areas, HitTestBudget& budget, swf::CharacterId id,
                   const swf::Matrix& matrix, double x, double y, int nestingLevel);

} // namespace runtime
