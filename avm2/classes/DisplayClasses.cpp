// The player's display classes as far as a movie's document class needs them to be
// constructed: the chain from EventDispatcher to MovieClip.
#include "Native.h"

namespace avm2 {

using namespace native;

namespace {
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
    ClassObject* movieClip = vm.defineClass("flash.display", "MovieClip", sprite, true);
    vm.defineMethod(movieClip, "stop", noop, 0, Vm::Member::Public);
    vm.defineMethod(movieClip, "play", noop, 0, Vm::Member::Public);
    vm.defineMethod(movieClip, "addFrameScript", noop, 2, Vm::Member::Public);
    vm.defineClass("flash.display", "Shape", displayObject, false);
    vm.defineClass("flash.events", "Event", b.object, false);
}

} // namespace avm2
