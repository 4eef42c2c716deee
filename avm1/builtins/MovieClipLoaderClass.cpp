// MovieClipLoader: loadClip, unloadClip, getProgress, and the AsBroadcaster methods a
// loader hears its loads through (a new loader listens to itself); MovieClip's
// loadMovie and unloadMovie. The loads themselves are MovieLoads.h's.
#include "Builtins.h"
#include "MovieLoads.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipRoots.h"
#include "avm1/Interpreter.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

namespace {

// A target as loadClip and its kin take one: a clip, a level's number, or a path (or
// "_levelN") from the calling code's timeline. Anything else is none.
LoadTarget targetOf(Vm& vm, Value value)
{
    LoadTarget target;
    if (value.isNumber()) {
        const double level = value.asNumber();
        if (std::isfinite(level) && level >= 0 && level <= 2147483647.0)
            target.level = static_cast<int>(level);
        return target;
    }
    if (Object* object = value.objectOrNull()) {
        ClipObject* clip = asClip(object);
        if (clip && clip->objectClass() == ObjectClass::MovieClip)
            target.clip = clip;
        return target;
    }
    if (!value.isString())
        return target;
    const std::string path = vm.toStdString(value);
    if (const auto level = levelTargetOf(path)) {
        target.level = *level;
        return target;
    }
    Interpreter& in = vm.interpreter();
    Object* found = nullptr;
    if (Activation* frame = in.current())
        found = in.resolveTarget(*frame, path);
    else if (!path.empty())
        found = resolveTargetFrom(vm, in.rootClip(), path);
    ClipObject* clip = asClip(found);
    if (clip && clip->objectClass() == ObjectClass::MovieClip)
        target.clip = clip;
    return target;
}

// The clip a target names now: a level's root, or the clip itself while it lives.
runtime::DisplayObject* displayObjectOf(Vm& vm, const LoadTarget& target)
{
    if (target.level) {
        ClipObject* root = asClip(vm.interpreter().rootClip());
        ClipObject* level = root ? levelClip(root->registry(), *target.level) : nullptr;
        return level ? level->displayObject() : nullptr;
    }
    ClipObject* live = target.clip ? target.clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

Value constructLoader(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!call.isConstruct || !self)
        return Value();
    const Value listeners(vm.makeArray(std::span<const Value>(&call.thisValue, 1)));
    self->defineValue(vm.str("_listeners"), listeners, PropertyFlag::DontEnum, vm.caseRule());
    return Value();
}

Value loadClip(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const Value url = call.arg(0);
    if (!self || !url.isString() || call.count() < 2)
        return Value(false);
    const LoadTarget target = targetOf(vm, call.arg(1));
    if (!target.valid())
        return Value(false);
    MovieLoadObservers& observers = movieLoadObservers(vm);
    const std::uint64_t observer = observers.add(self);
    if (!requestMovie(vm, target, vm.toStdString(url), observer)) {
        observers.remove(observer);
        return Value(false);
    }
    return Value(true);
}

// unloadClip(target): whether the target names a clip or level; without an argument
// nothing at all.
Value unloadClip(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    const LoadTarget target = targetOf(vm, call.arg(0));
    return Value(target.valid() && requestUnload(vm, target));
}

// { bytesLoaded, bytesTotal } of the movie a target names; both undefined for a target
// where nothing plays, and no object at all for what names no target.
Value getProgress(Vm& vm, const CallArgs& call)
{
    const Value value = call.arg(0);
    if (!value.isNumber() && !value.isString() && !asClip(value.objectOrNull()))
        return Value();
    const LoadTarget target = targetOf(vm, value);
    // A bare object, without even Object.prototype, as the reference gives it.
    Object* progress = vm.makeObject(nullptr);
    Value loaded;
    runtime::DisplayObject* object = displayObjectOf(vm, target);
    if (object && object->kind() == runtime::ObjectKind::Sprite)
        loaded =
            Value(static_cast<double>(static_cast<runtime::SpriteObject*>(object)->bytesTotal()));
    vm.setMember(progress, vm.str("bytesLoaded"), loaded);
    vm.setMember(progress, vm.str("bytesTotal"), loaded);
    return Value(progress);
}

Value loadMovie(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    if (!clip || call.count() == 0)
        return Value();
    LoadTarget target;
    target.clip = clip;
    requestMovie(vm, target, vm.toStdString(call.arg(0)));
    return Value();
}

Value unloadMovie(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    if (!clip)
        return Value();
    LoadTarget target;
    target.clip = clip;
    requestUnload(vm, target);
    return Value();
}

} // namespace

void installMovieClipLoader(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("MovieClipLoader", proto, constructLoader);
    // The broadcaster's own methods, shared with every other broadcaster.
    if (Object* broadcaster = vm.getMember(vm.global(), "AsBroadcaster").objectOrNull()) {
        for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
            proto->defineValue(vm, name, vm.getMember(broadcaster, name), PropertyFlag::DontEnum);
    }
    vm.defineMethods(proto, {
                                {"loadClip", loadClip},
                                {"getProgress", getProgress},
                                {"unloadClip", unloadClip},
                            });
    if (Object* clipProto = vm.builtins().movieClipProto)
        vm.defineMethods(clipProto, {
                                        {"loadMovie", loadMovie},
                                        {"unloadMovie", unloadMovie},
                                    });
}

} // namespace avm1
