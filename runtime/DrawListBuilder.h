#pragma once

#include "DrawList.h"

namespace runtime {

class DisplayObject;
class PlayerContext;
class SpriteObject;

// Flattens the display tree under `root` into painting order:
//   - children in depth order; sprites and buttons as BeginGroup ... EndGroup around
//     their children, with their blend mode, filters and cacheAsBitmap;
//   - a child with a clip depth as BeginMask, its own commands, EndMask, then the
//     siblings up to its clip depth, then EndClip; a clip span inside another ends
//     with it at the latest, so spans always nest;
//   - inside a mask, children that are masks themselves are left out and the others
//     are not clipped: a mask is one shape;
//   - invisible objects are left out, except a mask, which masks whatever it shows;
//   - matrices and colour transforms composed down to stage twips;
//   - the levels one above the other, level 0 at the bottom.
DrawList buildDrawList(const PlayerContext& context);

// The same for one object and what is inside it, drawn through `matrix` and `color`
// instead of its own placement (BitmapData.draw); no stage or background.
DrawList buildDrawList(const DisplayObject& object, const swf::Matrix& matrix,
                       const swf::ColorTransform& color);

} // namespace runtime
