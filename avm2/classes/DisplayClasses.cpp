// The player's display classes as far as a movie's document class needs them to be
// constructed: the chain from EventDispatcher to MovieClip.
#include "DisplayClasses.h"

#include "Native.h"
#include "avm2/Limits.h"

namespace avm2 {

using namespace native;

MovieClipObject* asMovieClip(const Value& v)
{
    Object* o = v.objectOrNull();
    return o && o->kind() == ObjectKind::Native ? dynamic_cast<MovieClipObject*>(o) : nullptr;
}

namespace {
Object* allocateMovieClip(Vm& vm, ClassObject& cls)
{
    return vm.make<MovieClipObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

// addFrameScript(frame, function, frame, function...): frames count from 0; null removes.
Value addFrameScript(Vm& vm, const Value& self, Args args)
{
    MovieClipObject* clip = asMovieClip(self);
    if (!clip)
        return Value();
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::int32_t frame = vm.toInt32(args[i]);
        if (frame < 0 || frame >= static_cast<std::int32_t>(limits::kMaxFrameScripts))
            continue;
        if (clip->frameScripts.size() <= static_cast<std::size_t>(frame))
            clip->frameScripts.resize(static_cast<std::size_t>(frame) + 1);
        clip->frameScripts[static_cast<std::size_t>(frame)] = args[i + 1];
    }
    return Value();
}

Value noop(Vm&, const Value&, Args)
{
    return Value();
}
Value returnsFalse(Vm&, const Value&, Args)
{
    return Value(false);
}
Value returnsNull(Vm&, const Value&, Args)
{
    return Value::null();
}
} // namespace

void defineDisplayClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    ClassObject* dispatcher = vm.defineClass("flash.events", "EventDispatcher", b.object, false);
    vm.defineMethod(dispatcher, "addEventListener", noop, 2, Vm::Member::Public);
    vm.defineMethod(dispatcher, "removeEventListener", noop, 2, Vm::Member::Public);
    vm.defineMethod(dispatcher, "dispatchEvent", returnsFalse, 1, Vm::Member::Public);
    vm.defineMethod(dispatcher, "hasEventListener", returnsFalse, 1, Vm::Member::Public);
    vm.defineMethod(dispatcher, "willTrigger", returnsFalse, 1, Vm::Member::Public);
    ClassObject* displayObject =
        vm.defineClass("flash.display", "DisplayObject", dispatcher, false);
    vm.defineGetter(displayObject, "stage", returnsNull);
    vm.defineGetter(displayObject, "parent", returnsNull);
    vm.defineGetter(displayObject, "root", returnsNull);
    ClassObject* interactive =
        vm.defineClass("flash.display", "InteractiveObject", displayObject, false);
    ClassObject* container =
        vm.defineClass("flash.display", "DisplayObjectContainer", interactive, false);
    ClassObject* sprite = vm.defineClass("flash.display", "Sprite", container, false);
    NativeClassHooks clipHooks;
    clipHooks.allocate = allocateMovieClip;
    ClassObject* movieClip = vm.defineClass("flash.display", "MovieClip", sprite, true, clipHooks);
    vm.defineMethod(movieClip, "stop", noop, 0, Vm::Member::Public);
    vm.defineMethod(movieClip, "play", noop, 0, Vm::Member::Public);
    vm.defineMethod(movieClip, "addFrameScript", addFrameScript, 2, Vm::Member::Public);
    vm.defineClass("flash.display", "Shape", displayObject, false);
    vm.defineClass("flash.events", "Event", b.object, false);
}

} // namespace avm2
