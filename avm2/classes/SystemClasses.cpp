// flash.system's Capabilities: what the player says about itself and the machine.
#include "Native.h"

namespace avm2 {

using namespace native;

namespace {
Value version(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("LNX 32,0,0,0"));
}
Value playerType(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("StandAlone"));
}
Value os(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("Linux"));
}
Value manufacturer(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("Adobe Linux"));
}
Value language(Vm& vm, const Value&, Args)
{
    return Value(vm.newString("en"));
}
Value isDebugger(Vm&, const Value&, Args)
{
    return Value(true);
}
Value no(Vm&, const Value&, Args)
{
    return Value(false);
}
Value yes(Vm&, const Value&, Args)
{
    return Value(true);
}
} // namespace

void defineSystemClasses(Vm& vm)
{
    ClassObject* c =
        vm.defineClass("flash.system", "Capabilities", vm.builtins().object, false, {}, true);
    vm.defineGetter(c, "version", version, nullptr, true);
    vm.defineGetter(c, "playerType", playerType, nullptr, true);
    vm.defineGetter(c, "os", os, nullptr, true);
    vm.defineGetter(c, "manufacturer", manufacturer, nullptr, true);
    vm.defineGetter(c, "language", language, nullptr, true);
    vm.defineGetter(c, "isDebugger", isDebugger, nullptr, true);
    vm.defineGetter(c, "hasAudio", yes, nullptr, true);
    vm.defineGetter(c, "avHardwareDisable", yes, nullptr, true);
    vm.defineGetter(c, "localFileReadDisable", no, nullptr, true);
    vm.defineGetter(c, "isEmbeddedInAcrobat", no, nullptr, true);
}

} // namespace avm2
