#pragma once

// What the files of the MovieClip class share: "this" as the clip it names, and the
// installers of each group of methods (MovieClipClass.cpp installs them all).

#include "avm1/Function.h"
#include "format/Filter.h"

#include <cstdint>
#include <optional>

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
// A blend mode as scripts give one: its name ("multiply") or its number (1 to 14);
// nothing for anything else.
std::optional<swf::BlendMode> scriptBlendMode(Vm& vm, const Value& given);
// The same, only for movie clips.
runtime::SpriteObject* thisSprite(const CallArgs& call);

// gotoAndPlay/gotoAndStop's frame, and GotoFrame2's: a number from 1 (converted to a
// 32-bit integer, so huge numbers wrap), or a label (a string that reads as a number is
// a frame number; an object gives its text). `bias` is added to frame numbers and to
// labels' frames. With `byTextUnlessWhole` (GotoFrame2) every value but a string and a
// whole number is a label by its text: 4.5, undefined and false name frames "4.5",
// "undefined" and "false". False when nothing moved.
bool gotoFrameValue(Vm& vm, runtime::SpriteObject& sprite, const Value& where,
                    std::uint16_t bias = 0, bool byTextUnlessWhole = false);

// attachMovie, createEmptyMovieClip, duplicateMovieClip, removeMovieClip, swapDepths,
// getDepth, getNextHighestDepth, getInstanceAtDepth (MovieClipDepths.cpp).
void installMovieClipDepths(Vm& vm, Object* proto);
// getBounds, getRect, localToGlobal, globalToLocal, hitTest (MovieClipGeometry.cpp).
void installMovieClipGeometry(Vm& vm, Object* proto);
// createTextField (MovieClipTextFields.cpp).
void installMovieClipTextFields(Vm& vm, Object* proto);
// startDrag, stopDrag (MovieClipDrag.cpp).
void installMovieClipDrag(Vm& vm, Object* proto);
// moveTo, lineTo, curveTo, the fills, the line styles, endFill, clear
// (MovieClipDrawing.cpp).
void installMovieClipDrawing(Vm& vm, Object* proto);
// getURL, loadVariables (MovieClipRequests.cpp).
void installMovieClipRequests(Vm& vm, Object* proto);
// setMask (MovieClipMasks.cpp).
void installMovieClipMasks(Vm& vm, Object* proto);
// scrollRect, scale9Grid, opaqueBackground, blendMode and cacheAsBitmap
// (MovieClipDisplay.cpp), the middle three on Button too, installed with flash.geom,
// whose Rectangle scrollRect reads back as.
void installMovieClipDisplay(Vm& vm, Object* rectanglePrototype);

} // namespace avm1
