// The global functions and values: isNaN, isFinite, parseInt, parseFloat, escape,
// unescape, trace, the timers, updateAfterEvent, NaN and Infinity. The reference has no
// global getTimer or getVersion: compilers turn those into the GetTime action and a
// read of $version.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "TextNumbers.h"
#include "avm1/ScriptHost.h"
#include "avm1/Timers.h"
#include "avm1/Vm.h"
#include "script/url/UrlEscaping.h"

#include <cmath>
#include <limits>
#include <optional>

namespace avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// isNaN() and isFinite() without an argument test NaN, whatever the version makes of
// undefined.
double numberArgument(Vm& vm, const CallArgs& call)
{
    return call.count() == 0 ? kNaN : vm.toNumber(call.arg(0));
}

Value isNaNFunction(Vm& vm, const CallArgs& call)
{
    return Value(std::isnan(numberArgument(vm, call)));
}

Value isFiniteFunction(Vm& vm, const CallArgs& call)
{
    return Value(std::isfinite(numberArgument(vm, call)));
}

// The text parseInt, parseFloat, escape and unescape read: a String object's own,
// whatever its toString and valueOf have become; anything else converted.
String* textArgument(Vm& vm, const CallArgs& call)
{
    if (const Value own = wrappedPrimitive(call.arg(0).objectOrNull(), ObjectClass::String);
        own.isString())
        return own.asString();
    return vm.toString(call.arg(0));
}

// parseInt, parseFloat, escape and unescape answer undefined when given nothing.
Value parseIntFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    String* text = textArgument(vm, call);
    if (vm.throwing())
        return Value();
    std::optional<double> radix;
    if (call.count() > 1) {
        radix = vm.toNumber(call.arg(1));
        if (vm.throwing())
            return Value();
    }
    return Value(parseIntText(text->view(), radix));
}

Value parseFloatFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    String* text = textArgument(vm, call);
    if (vm.throwing())
        return Value();
    return Value(parseFloatText(text->view()));
}

Value escapeFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    String* text = textArgument(vm, call);
    if (vm.throwing())
        return Value();
    return Value(vm.str(script::url::escapeText(text->view())));
}

Value unescapeFunction(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value();
    String* text = textArgument(vm, call);
    if (vm.throwing())
        return Value();
    return Value(vm.str(script::url::unescapeText(text->view())));
}

// The function form of the Trace action, which prints undefined by name in every
// version.
Value traceFunction(Vm& vm, const CallArgs& call)
{
    const Value value = call.arg(0);
    if (value.isUndefined()) {
        vm.trace("undefined");
        return Value();
    }
    String* text = vm.toString(value);
    if (!vm.throwing())
        vm.trace(text->view());
    return Value();
}

double movieMilliseconds(Vm& vm)
{
    return vm.host() ? vm.host()->elapsedMilliseconds() : 0.0;
}

Value updateAfterEvent(Vm& /*vm*/, const CallArgs& /*call*/)
{
    // Every step is drawn in full; there is nothing to hurry.
    return Value();
}

// setInterval(function, interval, args...) or setInterval(object, "method", interval,
// args...); the same for setTimeout. Anything else starts nothing and answers undefined.
Value startTimer(Vm& vm, const CallArgs& call, bool repeats)
{
    Object* target = call.arg(0).objectOrNull();
    if (!target)
        return Value();
    TimerQueue::Timer timer;
    timer.target = Value(target);
    timer.repeats = repeats;
    std::size_t intervalAt = 1;
    if (!target->isFunction()) {
        if (!call.arg(1).isString())
            return Value();
        timer.method = call.arg(1).asString();
        intervalAt = 2;
    }
    if (call.count() <= intervalAt)
        return Value();
    // An interval that is not a number is no delay at all.
    const double interval = vm.toNumber(call.arg(intervalAt));
    if (vm.throwing())
        return Value();
    timer.intervalMs = interval > 0 ? interval : 0;
    timer.args.assign(call.args.begin() + static_cast<std::ptrdiff_t>(intervalAt + 1),
                      call.args.end());
    timer.dueMs = movieMilliseconds(vm) + timer.intervalMs;
    const std::int32_t id = timerQueue(vm).start(std::move(timer));
    if (id == 0) {
        vm.logLazy([] { return std::string("timer not started: too many timers"); });
        return Value();
    }
    return Value(static_cast<double>(id));
}

Value setIntervalFunction(Vm& vm, const CallArgs& call)
{
    return startTimer(vm, call, true);
}

Value setTimeoutFunction(Vm& vm, const CallArgs& call)
{
    return startTimer(vm, call, false);
}

Value clearTimerFunction(Vm& vm, const CallArgs& call)
{
    const double id = vm.toNumber(call.arg(0));
    if (!vm.throwing() && id >= 1 && id <= INT32_MAX && id == std::trunc(id))
        timerQueue(vm).stop(static_cast<std::int32_t>(id));
    return Value();
}

} // namespace

void installGlobals(Vm& vm)
{
    Object* global = vm.global();
    const std::uint16_t constant =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::ReadOnly;
    global->defineValue(vm, "NaN", Value(kNaN), constant);
    global->defineValue(vm, "Infinity", Value(std::numeric_limits<double>::infinity()), constant);
    // The reference's global object has an "o" that is null; movies can see it.
    global->defineValue(vm, "o", Value::null(), PropertyFlag::DontEnum);
    vm.defineMethods(global, {{"escape", escapeFunction},
                              {"unescape", unescapeFunction},
                              {"parseInt", parseIntFunction},
                              {"parseFloat", parseFloatFunction},
                              {"trace", traceFunction},
                              {"updateAfterEvent", updateAfterEvent},
                              {"isNaN", isNaNFunction},
                              {"isFinite", isFiniteFunction},
                              {"setInterval", setIntervalFunction},
                              {"clearTimeout", clearTimerFunction},
                              {"clearInterval", clearTimerFunction},
                              {"setTimeout", setTimeoutFunction}});
    timerQueue(vm);
}

} // namespace avm1
