// MovieClip.setMask(mask): the mask's fills clip the clip from then on (runtime's
// DisplayObject::setScriptMask). The mask is a clip, or a target path resolved from
// the timeline of the code calling, as the reference resolves it; null or undefined
// takes the mask away. Returns true when the mask was set or taken away, false when
// the argument names no clip (the mask in use stays), and nothing without an argument.
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

namespace avm1 {

namespace {

runtime::DisplayObject* liveObject(Object* object)
{
    ClipObject* clip = asClip(object);
    ClipObject* live = clip ? clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

runtime::DisplayObject* maskNamed(Vm& vm, ClipObject& self, Value value)
{
    if (value.isObject())
        return liveObject(value.asObject());
    const std::string path = vm.toStdString(value);
    if (vm.throwing() || path.empty())
        return nullptr;
    if (Activation* caller = vm.interpreter().current())
        return liveObject(vm.interpreter().resolveTarget(*caller, path));
    return liveObject(resolveTargetFrom(vm, &self, path));
}

Value setMask(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object || call.count() == 0)
        return Value();
    const Value argument = call.arg(0);
    if (argument.isUndefined() || argument.isNull()) {
        object->setScriptMask(nullptr);
        return Value(true);
    }
    runtime::DisplayObject* mask = maskNamed(vm, *self, argument);
    if (!mask || mask == object)
        return Value(false);
    object->setScriptMask(mask);
    return Value(true);
}

} // namespace

void installMovieClipMasks(Vm& vm, Object* proto)
{
    vm.defineMethod(proto, "setMask", setMask);
}

} // namespace avm1
