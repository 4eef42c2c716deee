// Color: the colour transform of a clip, read and written through a Color object made
// for it. The target is the constructor's argument, kept in the object's "target" and
// looked up again on every call: a clip stands for itself, anything else is taken as a
// target path from the timeline the script runs on. Percentages go into the 8.8 fixed
// point multipliers truncated, and both the multipliers and the offsets wrap at 16
// bits, as the reference keeps them.
#include "Builtins.h"
#include "ClipColor.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

namespace avm1 {

namespace {

String* targetName(Vm& vm)
{
    return vm.str("target");
}

runtime::DisplayObject* liveObject(ClipObject* clip)
{
    ClipObject* live = clip ? clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

// The display object the Color's "target" names now.
runtime::DisplayObject* targetObject(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return nullptr;
    const Value target = vm.getMember(self, targetName(vm));
    if (vm.throwing())
        return nullptr;
    if (Object* object = target.objectOrNull(); asClip(object))
        return liveObject(asClip(object));
    if (target.isNullish())
        return nullptr;
    const std::string path = vm.toStdString(target);
    if (vm.throwing() || path.empty())
        return nullptr;
    Interpreter& in = vm.interpreter();
    Object* found = in.current() ? in.resolveTarget(*in.current(), path)
                                 : resolveTargetFrom(vm, in.rootClip(), path);
    return liveObject(asClip(found));
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (call.isConstruct && self)
        self->defineValue(targetName(vm), call.arg(0),
                          PropertyFlag::DontEnum | PropertyFlag::DontDelete, vm.caseRule());
    return Value();
}

// The offsets as one number: red in the high byte, each taking the bits below its own
// as well when it is negative.
Value getRGB(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = targetObject(vm, call);
    if (!object)
        return Value();
    const swf::ColorTransform& t = object->colorTransform();
    const std::int32_t rgb = (static_cast<std::int32_t>(t.rAdd) * 65536) |
                             (static_cast<std::int32_t>(t.gAdd) * 256) | t.bAdd;
    return Value(static_cast<double>(rgb));
}

// A flat colour: no multiplier, the offsets the colour's channels; alpha is kept.
Value setRGB(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = targetObject(vm, call);
    if (!object)
        return Value();
    const std::int32_t rgb = vm.toInt32(call.arg(0));
    if (vm.throwing())
        return Value();
    swf::ColorTransform t = object->colorTransform();
    t.rMul = t.gMul = t.bMul = 0;
    t.rAdd = static_cast<std::int16_t>((rgb >> 16) & 0xFF);
    t.gAdd = static_cast<std::int16_t>((rgb >> 8) & 0xFF);
    t.bAdd = static_cast<std::int16_t>(rgb & 0xFF);
    applyScriptColor(*object, t);
    return Value();
}

// The channels' names on the transform objects, with their fields.
struct Channel {
    const char* multiplier;
    const char* offset;
    std::int16_t swf::ColorTransform::*mul;
    std::int16_t swf::ColorTransform::*add;
};

constexpr Channel kChannels[] = {
    {"ra", "rb", &swf::ColorTransform::rMul, &swf::ColorTransform::rAdd},
    {"ga", "gb", &swf::ColorTransform::gMul, &swf::ColorTransform::gAdd},
    {"ba", "bb", &swf::ColorTransform::bMul, &swf::ColorTransform::bAdd},
    {"aa", "ab", &swf::ColorTransform::aMul, &swf::ColorTransform::aAdd},
};

// {ra, rb, ga, gb, ba, bb, aa, ab}: multipliers in percent, offsets as stored.
Value getTransform(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = targetObject(vm, call);
    if (!object)
        return Value();
    const swf::ColorTransform& t = object->colorTransform();
    Object* out = vm.makeObject();
    for (const Channel& c : kChannels) {
        out->defineValue(vm, c.multiplier, Value(multiplierPercent(t.*c.mul)));
        out->defineValue(vm, c.offset, Value(static_cast<double>(t.*c.add)));
    }
    return Value(out);
}

// Only the object's own fields change the transform; the others keep their values.
Value setTransform(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = targetObject(vm, call);
    Object* given = call.arg(0).objectOrNull();
    if (!object || !given)
        return Value();
    swf::ColorTransform t = object->colorTransform();
    for (const Channel& c : kChannels) {
        if (String* name = vm.str(c.multiplier); vm.hasOwnProperty(given, name)) {
            const double percent = vm.toNumber(vm.getMember(given, name));
            if (vm.throwing())
                return Value();
            t.*c.mul = percentMultiplier(vm, percent);
        }
        if (String* name = vm.str(c.offset); vm.hasOwnProperty(given, name)) {
            const double offset = vm.toNumber(vm.getMember(given, name));
            if (vm.throwing())
                return Value();
            t.*c.add = offsetValue(vm, offset);
        }
    }
    applyScriptColor(*object, t);
    return Value();
}

} // namespace

void installColor(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("Color", proto, construct);
    vm.defineMethods(proto, {{"setRGB", setRGB},
                             {"setTransform", setTransform},
                             {"getRGB", getRGB},
                             {"getTransform", getTransform}});
}

} // namespace avm1
