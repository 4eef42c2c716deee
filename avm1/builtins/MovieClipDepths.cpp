// MovieClip's display list side: attachMovie, createEmptyMovieClip,
// duplicateMovieClip, removeMovieClip, swapDepths, getDepth, getNextHighestDepth and
// getInstanceAtDepth.
#include "MovieClipParts.h"
#include "MovieClipPlacement.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

namespace {

Value clipOrUndefined(ClipObject* clip)
{
    return clip ? Value(clip) : Value();
}

Value attachMovieMethod(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    if (!self || call.count() < 3)
        return Value();
    const std::string symbol = vm.toStdString(call.arg(0));
    std::string name = vm.toStdString(call.arg(1));
    const std::int32_t depth = vm.toInt32(call.arg(2));
    if (vm.throwing())
        return Value();
    return clipOrUndefined(
        attachMovie(vm, *self, symbol, std::move(name), depth, call.arg(3).objectOrNull()));
}

Value createEmptyMovieClipMethod(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    if (!self || call.count() < 2)
        return Value();
    std::string name = vm.toStdString(call.arg(0));
    const std::int32_t depth = vm.toInt32(call.arg(1));
    if (vm.throwing())
        return Value();
    return clipOrUndefined(createEmptyMovieClip(vm, *self, std::move(name), depth));
}

Value duplicateMovieClipMethod(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    if (!self || call.count() < 2)
        return Value();
    std::string name = vm.toStdString(call.arg(0));
    const std::int32_t depth = vm.toInt32(call.arg(1));
    if (vm.throwing())
        return Value();
    return clipOrUndefined(
        duplicateMovieClip(vm, *self, std::move(name), depth, call.arg(2).objectOrNull()));
}

Value removeMovieClipMethod(Vm&, const CallArgs& call)
{
    if (ClipObject* self = thisClip(call))
        removeMovieClip(*self);
    return Value();
}

Value getDepth(Vm&, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    return object ? Value(static_cast<double>(object->scriptDepth())) : Value();
}

// swapDepths(depth) moves to a depth, swapDepths(target) trades with a sibling, given
// as a clip or a path from this clip. Only a missing argument does nothing: any other
// value is a depth, NaN being 0.
Value swapDepths(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    const Value target = call.arg(0);
    if (!object || target.isUndefined())
        return Value();
    ClipObject* other = asClip(target.objectOrNull());
    if (!other && target.isString() && !target.asString()->empty())
        other = asClip(resolveTargetFrom(vm, self, target.asString()->view()));
    if (other) {
        ClipObject* live = other->live();
        if (runtime::DisplayObject* sibling = live ? live->displayObject() : nullptr)
            object->swapDepths(*sibling);
        return Value();
    }
    const std::int32_t depth = vm.toInt32(target);
    if (!vm.throwing())
        object->swapDepths(depth);
    return Value();
}

Value getNextHighestDepth(Vm&, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    return sprite ? Value(static_cast<double>(sprite->nextHighestScriptDepth())) : Value();
}

// What stands at a depth. Shapes and static texts have no script object: the clip
// holding them answers for them.
Value getInstanceAtDepth(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    runtime::SpriteObject* sprite = self ? self->sprite() : nullptr;
    if (!sprite || call.count() < 1 || call.arg(0).isUndefined())
        return Value();
    const std::int32_t depth = vm.toInt32(call.arg(0));
    runtime::DisplayObject* child = sprite->childAtScriptDepth(depth);
    if (!child)
        return Value();
    ClipObject* wrapped = self->registry().wrap(child);
    return Value(wrapped ? wrapped : self);
}

} // namespace

void installMovieClipDepths(Vm& vm, Object* proto)
{
    vm.defineMethods(proto, {{"attachMovie", attachMovieMethod},
                             {"createEmptyMovieClip", createEmptyMovieClipMethod},
                             {"duplicateMovieClip", duplicateMovieClipMethod},
                             {"removeMovieClip", removeMovieClipMethod},
                             {"swapDepths", swapDepths},
                             {"getDepth", getDepth},
                             {"getNextHighestDepth", getNextHighestDepth},
                             {"getInstanceAtDepth", getInstanceAtDepth}});
    // getDepth came with SWF 6: older code does not see it.
    if (Property* p = proto->properties().find(std::string_view("getDepth"), CaseRule::Sensitive))
        p->flags |= VersionFlag::SinceSwf6;
}

} // namespace avm1
