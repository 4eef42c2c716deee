#include "ClipRoots.h"

#include "ClipObject.h"
#include "Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <limits>

namespace avm1 {

runtime::DisplayObject& scriptRootOf(runtime::DisplayObject& object)
{
    runtime::DisplayObject* at = &object;
    // Nesting is capped when objects are made: the walk is short.
    while (!at->locksRoot() && at->parent())
        at = at->parent();
    return *at;
}

Object* scriptRootFor(Object* timeline, Object* fallback)
{
    ClipObject* clip = asClip(timeline);
    ClipObject* live = clip ? clip->live() : nullptr;
    runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
    if (!object)
        return fallback;
    runtime::DisplayObject& root = scriptRootOf(*object);
    if (!root.locksRoot() && !root.isRoot())
        return fallback;
    ClipObject* wrapped = live->registry().wrap(&root);
    return wrapped ? wrapped : fallback;
}

int scriptRealmOf(const runtime::DisplayObject& object)
{
    return Vm::realmOf(object.movie().header.version);
}

ClipObject* levelClip(ClipRegistry& registry, long long level)
{
    runtime::DisplayObject* root = registry.rootObject();
    if (!root || level < 0 || level > std::numeric_limits<int>::max())
        return nullptr;
    return registry.wrap(root->context().level(static_cast<int>(level)));
}

} // namespace avm1
