#pragma once

// How running code sees clips that may have gone from under it. A block or function
// runs on a timeline (its target); a tellTarget that named nothing leaves no target,
// and a clip removed while its code runs is addressed by its path from then on.

namespace avm1 {

struct Activation;
class Object;

// The timeline whose variables the code sees and where its new variables go: the
// target, or the clip now at a removed target's path; with none, a method's live
// "this" clip, else the main timeline `root` (also where variables go after a
// tellTarget that named nothing).
Object* scopeTimeline(const Activation& frame, Object* root);

// The clip the code started on (its frame's clip, or the clip its function was
// defined on) is gone and nothing stands at its path.
bool baseClipRemoved(const Activation& frame);

// A call made from code whose clip has been removed meanwhile (even where another
// clip now stands at its path) is the last thing that code does, as in the reference.
// Calls that never reach a function (a method of undefined) do not count.
void haltIfBaseRemoved(Activation& frame);

} // namespace avm1
