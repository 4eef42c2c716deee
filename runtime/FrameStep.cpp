// The order of a frame step, as the reference runs it. Everything that orders frame
// code, clip events and DoInitAction follows these rules:
//
// 1. Queue, not run. Timelines and events only queue work; the queue runs once the
//    step has visited every clip, in four lanes (ActionQueue): DoInitAction blocks,
//    then Initialize events, then Construct events, then everything else in the order
//    queued. So a sprite's DoInitAction runs before any code of the step, even where
//    its tag follows the frame's DoAction or the PlaceObject of the sprite, and a clip
//    is constructed (its class constructor, onClipEvent(construct)) before the frame
//    code that was queued ahead of its placement.
// 2. Execution order. A step visits the clips on the stage from the most recently
//    made to the oldest, wherever they stand in the tree: siblings the one placed last
//    first, whatever their depths; children before the parent that placed them; the
//    main timeline, the oldest, last. Clips made during the step are not visited in it.
// 3. Per clip, its enterFrame event is queued, then its timeline steps: the frame's
//    tags in order, each DoAction queued where it stands among them, so a clip's
//    onEnterFrame runs before its new frame's code.
// 4. Placing. A clip placed by a tag (or a script) is named, queues Initialize,
//    Construct and (with clip actions) Load, then executes its first frame at once,
//    queuing that frame's code: so the parent's DoAction before the PlaceObject runs
//    first, then the child's onClipEvent(load), then the child's first frame. A clip
//    placed without clip actions gets its Load (its onLoad) at the end of the step's
//    visits instead, after the frame code the step queued. The main timeline's first
//    frame is such a batch too: its Load runs after its first frame's code.
// 5. Removing. A clip removed (RemoveObject, a replacement, a rebuild, removeMovieClip)
//    queues Unload for itself and every clip inside, the newest first, so inner clips
//    unload before the clips holding them. If any of them answers Unload it stays in
//    its parent's list, below every depth, until the step's actions have run: its
//    handlers, and frame code after them, still find it by name. Queued code and
//    events of a removed clip do not run, except Initialize, Construct and Unload: a
//    clip a replay makes and removes at once is still constructed, then unloaded.
// 6. Jumps. A goto runs at once: the frames in between execute for their placements
//    (objects they place are made, queuing their first frames' code, in tag order),
//    and the target frame's DoActions are queued behind the code already queued; the
//    script that jumped runs on, seeing the new frame. Going back replays from frame 0
//    likewise, keeping each object the replay places again (SpriteFrames.cpp); what
//    scripts placed from depth 0 up is never touched. A jump past the last frame lands
//    on it without queuing its code.
// Mouse and key clip events (rule 2 again: the newest clip first, the main timeline
// last) are queued through broadcastClipEvent when the player hands them out.
#include "FrameStep.h"

#include "PlayerContext.h"
#include "SpriteObject.h"
#include "StageEvents.h"

#include <algorithm>

namespace runtime {

bool isLive(const DisplayObject& object)
{
    const DisplayObject* at = &object;
    for (; at->parent(); at = at->parent()) {
        if (at->isUnloading())
            return false;
    }
    return at->isRoot() && at->context().level(at->level()) == at;
}

std::vector<std::shared_ptr<SpriteObject>> clipsInExecutionOrder(SpriteObject& root)
{
    std::vector<std::shared_ptr<SpriteObject>> clips;
    // The walk keeps its own stack; nesting is capped when objects are made.
    std::vector<ContainerObject*> pending;
    for (const auto& [number, level] : root.context().levels()) {
        pending.push_back(level.get());
        clips.push_back(level);
    }
    while (!pending.empty()) {
        ContainerObject* container = pending.back();
        pending.pop_back();
        for (const auto& [depth, child] : container->children()) {
            if (child->isUnloading())
                continue;
            if (child->kind() == ObjectKind::Sprite) {
                clips.push_back(std::static_pointer_cast<SpriteObject>(child));
                pending.push_back(static_cast<ContainerObject*>(child.get()));
            } else if (child->kind() == ObjectKind::Button) {
                pending.push_back(static_cast<ContainerObject*>(child.get()));
            }
        }
    }
    // Ids grow with every object made: the largest is the newest.
    std::sort(clips.begin(), clips.end(),
              [](const auto& a, const auto& b) { return a->id() > b->id(); });
    return clips;
}

void stepClips(SpriteObject& root)
{
    for (const std::shared_ptr<SpriteObject>& clip : clipsInExecutionOrder(root)) {
        // A clip an earlier clip's step removed takes no further part.
        if (!isLive(*clip))
            continue;
        queueClipEvent(*clip, ClipEvent::EnterFrame);
        clip->stepTimeline();
    }
    root.context().flushDeferredLoads();
}

void broadcastClipEvent(SpriteObject& root, ClipEvent event)
{
    for (const std::shared_ptr<SpriteObject>& clip : clipsInExecutionOrder(root))
        queueClipEvent(*clip, event);
}

} // namespace runtime
