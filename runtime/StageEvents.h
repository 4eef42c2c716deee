#pragma once

#include "ScriptEngine.h"

#include <memory>

namespace runtime {

class DisplayObject;
class PlayerContext;

// What the runtime tells the script engine when objects come and go, in one place so
// that every way of placing or removing (timeline, rebuild, button state, script) says
// the same thing in the same order. The order itself is described in FrameStep.cpp.

// Queues one event of `clip` in the action queue.
void queueClipEvent(DisplayObject& clip, ClipEvent event);

// `object` has just been put in its parent with its properties, and its first frame
// has not run yet: the engine learns of it, and a clip gets its Initialize and
// Construct events (which run before frame code) and its Load event. Load is queued at
// once for a clip placed with clip actions, ahead of its first frame's code; a clip
// without any waits for the end of the batch of work placing it (the frame step, or
// the block whose script placed it), as the reference runs its onLoad later.
void announcePlaced(DisplayObject& object);

// The subtree under `top` (itself included) is leaving the stage: queues Unload for
// each clip in it, the newest first (so inner clips before the clips holding them).
// Returns whether anything in it answers Unload, in which case the caller keeps the
// subtree reachable until the step's actions have run.
bool queueUnloads(DisplayObject& top);

// Tells the engine that every object of the subtree under `top` is gone.
void announceRemoved(DisplayObject& top);

// Takes away the removed clips kept for their unload handlers. The player calls it
// once a step's actions have all run.
void finishUnloading(PlayerContext& context);

} // namespace runtime
