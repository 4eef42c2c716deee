#pragma once

#include "ScriptEngine.h"

#include <memory>
#include <vector>

namespace runtime {

class DisplayObject;
class SpriteObject;

// The order in which a frame step visits clips; the rules are written out in
// FrameStep.cpp.

// On the stage and not leaving it: no ancestor (nor itself) removed or unloading.
bool isLive(const DisplayObject& object);

// `root` is the main timeline; the walks below take in every level of its player, the
// levels being clips like any other there (a loaded level is newer than what level 0
// holds, so it steps first).

// Every live clip on the stage (the levels' roots included), the most recently made
// first.
std::vector<std::shared_ptr<SpriteObject>> clipsInExecutionOrder(SpriteObject& root);

// One frame step of every clip: enterFrame queued, then the clip's own timeline.
void stepClips(SpriteObject& root);

// Queues `event` for every live clip in execution order: the shape mouse and key clip
// events (onClipEvent(mouseDown), onKeyUp...) take when the player broadcasts them.
void broadcastClipEvent(SpriteObject& root, ClipEvent event);

} // namespace runtime
