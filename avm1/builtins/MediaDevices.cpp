// Camera and Microphone. The player has no capture devices: get() finds none (null),
// names lists none, and the methods a device object would have are on the prototypes
// for scripts that look for them.
#include "Builtins.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value noDevice(Vm&, const CallArgs&)
{
    return Value::null();
}

void installDevice(Vm& vm, std::string_view name, std::initializer_list<std::string_view> methods)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass(name, proto, returnsUndefined);
    for (std::string_view method : methods)
        vm.defineMethod(proto, method, returnsUndefined);
    vm.defineMethod(ctor, "get", noDevice);
    ctor->defineValue(vm, "names", Value(vm.makeArray()), PropertyFlag::DontEnum);
}

} // namespace

void installMediaDevices(Vm& vm)
{
    installDevice(vm, "Camera",
                  {"setMode", "setMotionLevel", "setQuality", "setCursor", "setKeyFrameInterval",
                   "setLoopback"});
    installDevice(vm, "Microphone",
                  {"setGain", "setRate", "setSilenceLevel", "setUseEchoSuppression"});
}

} // namespace avm1
