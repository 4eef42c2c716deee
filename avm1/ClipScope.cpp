#include "ClipScope.h"

#include "ClipObject.h"
#include "Interpreter.h"

namespace avm1 {

Object* scopeTimeline(const Activation& frame, Object* root)
{
    Object* target = frame.target;
    if (!target)
        return root;
    ClipObject* clip = asClip(target);
    if (!clip || !clip->isGone())
        return target;
    if (ClipObject* live = clip->live())
        return live;
    if (frame.function) {
        if (ClipObject* self = asClip(frame.thisValue.objectOrNull())) {
            if (ClipObject* live = self->live())
                return live;
        }
    }
    return root;
}

bool baseClipRemoved(const Activation& frame)
{
    ClipObject* clip = asClip(frame.originalTarget);
    return clip && clip->isGone() && !clip->live();
}

void haltIfBaseRemoved(Activation& frame)
{
    ClipObject* clip = asClip(frame.originalTarget);
    if (clip && clip->isGone())
        frame.halted = true;
}

} // namespace avm1
