// flash.utils' setTimeout, setInterval, clearTimeout and clearInterval: callbacks the
// engine runs between frames when they fall due (Vm::runTimers).
#include "Native.h"

namespace avm2 {

using namespace native;

namespace {

Value addTimer(Vm& vm, Args args, bool repeat)
{
    const Value closure = arg(args, 0);
    if (closure.isNullish())
        return vm.throwError(ErrorType::TypeError, 2007, {u"closure"});
    if (!vm.isCallable(closure))
        return vm.throwError(ErrorType::TypeError, 1034,
                             {vm.describeForError(closure), u"Function"});
    const double delay = vm.toNumber(arg(args, 1));
    if (vm.throwing())
        return Value();
    std::vector<Value> extra;
    if (args.size() > 2)
        extra.assign(args.begin() + 2, args.end());
    return Value::fromUint(vm.addTimer(closure, std::move(extra), delay, repeat));
}

Value setTimeout(Vm& vm, const Value&, Args args)
{
    return addTimer(vm, args, false);
}

Value setInterval(Vm& vm, const Value&, Args args)
{
    return addTimer(vm, args, true);
}

// Either clears either kind, as the reference's do: both share one numbering.
Value clearTimer(Vm& vm, const Value&, Args args)
{
    const std::uint32_t id = vm.toUint32(arg(args, 0));
    if (!vm.throwing())
        vm.removeTimer(id);
    return Value();
}

} // namespace

void defineTimerFunctions(Vm& vm)
{
    vm.defineGlobalFunction("flash.utils", "setTimeout", setTimeout, 2);
    vm.defineGlobalFunction("flash.utils", "setInterval", setInterval, 2);
    vm.defineGlobalFunction("flash.utils", "clearTimeout", clearTimer, 1);
    vm.defineGlobalFunction("flash.utils", "clearInterval", clearTimer, 1);
}

} // namespace avm2
