// tabIndex on clips and buttons: an accessor on their prototypes (MovieClip's hidden
// from for..in, Button's listed) that keeps a 32-bit index in the clip's script object.
// A number past 32 bits, or no number at all, becomes the lowest index (the machine
// conversion's "indefinite" value); undefined and null take the index away.
#include "Builtins.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"

#include <cmath>
#include <limits>

namespace avm1 {

namespace {

ClipObject* holder(const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    return clip ? clip->live() : nullptr;
}

Value getTabIndex(Vm&, const CallArgs& call)
{
    const ClipObject* clip = holder(call);
    const auto index = clip ? clip->tabIndex() : std::nullopt;
    return index ? Value(static_cast<double>(*index)) : Value();
}

std::int32_t indexFrom(double n)
{
    if (!(n > -2147483649.0 && n < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(n);
}

Value setTabIndex(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = holder(call);
    if (!clip)
        return Value();
    const Value value = call.arg(0);
    if (value.isNullish()) {
        clip->setTabIndex(std::nullopt);
        return Value();
    }
    const double n = vm.toNumber(value);
    if (!vm.throwing())
        clip->setTabIndex(indexFrom(n));
    return Value();
}

void defineTabIndex(Vm& vm, Object* proto, std::uint16_t flags)
{
    if (!proto)
        return;
    Property& p = proto->properties().append(vm.str("tabIndex"));
    p.getter = vm.makeNative(getTabIndex);
    p.setter = vm.makeNative(setTabIndex);
    p.flags = flags;
}

} // namespace

void installTabIndex(Vm& vm)
{
    defineTabIndex(vm, vm.builtins().movieClipProto, PropertyFlag::DontEnum);
    defineTabIndex(vm, vm.builtins().buttonProto, 0);
}

} // namespace avm1
