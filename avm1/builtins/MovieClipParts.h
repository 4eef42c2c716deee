#pragma once

// What the files of the MovieClip class share: "this" as the clip it names, and the
// installers of each group of methods (MovieClipClass.cpp installs them all).

#include "avm1/Function.h"

namespace runtime {
class DisplayObject;
class SpriteObject;
} // namespace runtime

namespace avm1 {

class ClipObject;

// "this" as the live clip (a MovieClip, Button or TextField wrapper, re-resolved by
// path when its clip is gone); null for other objects and for clips nothing replaced.
ClipObject* thisClip(const CallArgs& call);
runtime::DisplayObject* thisDisplayObject(const CallArgs& call);
// The same, only for movie clips.
runtime::SpriteObject* thisSprite(const CallArgs& call);

// attachMovie, createEmptyMovieClip, duplicateMovieClip, removeMovieClip, swapDepths,
// getDepth, getNextHighestDepth, getInstanceAtDepth (MovieClipDepths.cpp).
void installMovieClipDepths(Vm& vm, Object* proto);
// getBounds, getRect, localToGlobal, globalToLocal, hitTest (MovieClipGeometry.cpp).
void installMovieClipGeometry(Vm& vm, Object* proto);

} // namespace avm1
