#include "ClipColor.h"

#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

namespace avm1 {

std::int16_t wrapTo16(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

double multiplierPercent(std::int16_t multiplier)
{
    return multiplier * 100.0 / 256.0;
}

std::int16_t percentMultiplier(Vm& vm, double percent)
{
    return wrapTo16(vm.toInt32(Value(percent * 256 / 100)));
}

double multiplierFactor(std::int16_t multiplier)
{
    return multiplier / 256.0;
}

std::int16_t factorMultiplier(Vm& vm, double factor)
{
    return wrapTo16(vm.toInt32(Value(factor * 256)));
}

std::int16_t offsetValue(Vm& vm, double offset)
{
    return wrapTo16(vm.toInt32(Value(offset)));
}

void applyScriptColor(runtime::DisplayObject& object, const swf::ColorTransform& transform)
{
    object.markScriptTransformed();
    object.setColorTransform(transform);
}

} // namespace avm1
