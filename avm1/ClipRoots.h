#pragma once

// What "_root" and "_levelN" name for running code. Each level is the root of a movie
// of its own; code on a clip takes for _root the nearest clip up its tree, itself
// included, whose _lockroot is set, and else the root of its level: a movie loaded into
// a clip sees the level holding it as _root unless that clip locks the root.

namespace runtime {
class DisplayObject;
} // namespace runtime

namespace avm1 {

class ClipObject;
class ClipRegistry;
class Object;

// The display object _root names for code on `object`.
runtime::DisplayObject& scriptRootOf(runtime::DisplayObject& object);

// The same as a script object, for code whose timeline is `timeline`; `fallback` for a
// timeline that is no clip on the stage.
Object* scriptRootFor(Object* timeline, Object* fallback);

// The realm (Vm.h) of the code and clips of the movie `object` belongs to.
int scriptRealmOf(const runtime::DisplayObject& object);

// The root of level `level`, or null when no movie plays there.
ClipObject* levelClip(ClipRegistry& registry, long long level);

} // namespace avm1
