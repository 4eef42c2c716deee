// flash.geom.ColorTransform: multipliers and offsets for the four channels, as numbers
// kept exactly as given. The constructor takes all eight or none; rgb reads and sets
// the colour the offsets make, dropping the multipliers; concat puts another transform
// in front of this one.
#include "GeomColorTransform.h"

#include "ClipColor.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "avm1/Vm.h"

#include <string>

namespace avm1 {

namespace {

using State = ColorTransformState;

constexpr const char* kFieldNames[State::FieldCount] = {
    "redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
    "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset",
};

State* thisState(const CallArgs& call)
{
    return colorTransformState(call.thisObject());
}

// The constructor sets up any plain object it is run on: new's, and a subclass's
// through super().
Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || self->objectClass() != ObjectClass::Object)
        return Value();
    auto* state = vm.heap().make<State>();
    if (call.count() >= State::FieldCount) {
        for (int i = 0; i < State::FieldCount; ++i) {
            state->values[i] = vm.toNumber(call.arg(static_cast<std::size_t>(i)));
            if (vm.throwing())
                return Value();
        }
    }
    self->setNativeState(state);
    return Value();
}

template <int Field> Value getField(Vm&, const CallArgs& call)
{
    State* state = thisState(call);
    return state ? Value(state->values[Field]) : Value();
}

template <int Field> Value setField(Vm& vm, const CallArgs& call)
{
    State* state = thisState(call);
    if (!state)
        return Value();
    const double value = vm.toNumber(call.arg(0));
    if (!vm.throwing())
        state->values[Field] = value;
    return Value();
}

// The offsets as a colour, each channel's low byte in its place.
Value getRgb(Vm& vm, const CallArgs& call)
{
    State* state = thisState(call);
    if (!state)
        return Value();
    auto channel = [&](int field) { return vm.toInt32(Value(state->values[field])); };
    const std::int32_t rgb = (channel(State::RedOffset) << 16) |
                             (channel(State::GreenOffset) << 8) | channel(State::BlueOffset);
    return Value(static_cast<double>(rgb));
}

Value setRgb(Vm& vm, const CallArgs& call)
{
    State* state = thisState(call);
    if (!state)
        return Value();
    const std::uint32_t rgb = vm.toUint32(call.arg(0));
    if (vm.throwing())
        return Value();
    state->values[State::RedMultiplier] = 0;
    state->values[State::GreenMultiplier] = 0;
    state->values[State::BlueMultiplier] = 0;
    state->values[State::RedOffset] = static_cast<double>((rgb >> 16) & 0xFF);
    state->values[State::GreenOffset] = static_cast<double>((rgb >> 8) & 0xFF);
    state->values[State::BlueOffset] = static_cast<double>(rgb & 0xFF);
    return Value();
}

// "(redMultiplier=1, greenMultiplier=1, ... alphaOffset=0)"
Value toString(Vm& vm, const CallArgs& call)
{
    State* state = thisState(call);
    if (!state)
        return Value();
    std::string text = "(";
    for (int i = 0; i < State::FieldCount; ++i) {
        if (i > 0)
            text += ", ";
        text += kFieldNames[i];
        text += '=';
        text += vm.numberToString(state->values[i])->text();
    }
    text += ')';
    return vm.strValue(text);
}

// this = this after second: the second transform applies first, so its offsets pass
// through this one's multipliers.
Value concat(Vm&, const CallArgs& call)
{
    State* state = thisState(call);
    State* second = colorTransformState(call.arg(0).objectOrNull());
    if (!state || !second)
        return Value();
    for (int channel = 0; channel < 4; ++channel) {
        const double mul = state->values[State::RedMultiplier + channel];
        state->values[State::RedOffset + channel] +=
            mul * second->values[State::RedOffset + channel];
        state->values[State::RedMultiplier + channel] =
            mul * second->values[State::RedMultiplier + channel];
    }
    return Value();
}

} // namespace

ColorTransformState* colorTransformState(Object* object)
{
    return object ? dynamic_cast<ColorTransformState*>(object->nativeState()) : nullptr;
}

Object* makeColorTransform(Vm& vm, Object* prototype, const swf::ColorTransform& transform)
{
    Object* object = vm.makeObject(prototype);
    markConstructed(vm, object, vm.getMember(prototype, vm.names().constructor).objectOrNull());
    auto* state = vm.heap().make<State>();
    const std::int16_t muls[] = {transform.rMul, transform.gMul, transform.bMul, transform.aMul};
    const std::int16_t adds[] = {transform.rAdd, transform.gAdd, transform.bAdd, transform.aAdd};
    for (int channel = 0; channel < 4; ++channel) {
        state->values[State::RedMultiplier + channel] = multiplierFactor(muls[channel]);
        state->values[State::RedOffset + channel] = static_cast<double>(adds[channel]);
    }
    object->setNativeState(state);
    return object;
}

swf::ColorTransform fixedColorTransform(Vm& vm, const ColorTransformState& state)
{
    const double* v = state.values;
    swf::ColorTransform t;
    t.rMul = factorMultiplier(vm, v[State::RedMultiplier]);
    t.gMul = factorMultiplier(vm, v[State::GreenMultiplier]);
    t.bMul = factorMultiplier(vm, v[State::BlueMultiplier]);
    t.aMul = factorMultiplier(vm, v[State::AlphaMultiplier]);
    t.rAdd = offsetValue(vm, v[State::RedOffset]);
    t.gAdd = offsetValue(vm, v[State::GreenOffset]);
    t.bAdd = offsetValue(vm, v[State::BlueOffset]);
    t.aAdd = offsetValue(vm, v[State::AlphaOffset]);
    return t;
}

Object* installColorTransform(Vm& vm, Object* geomPackage)
{
    Object* proto = vm.makeObject();
    definePackageClass(vm, geomPackage, "ColorTransform", proto, construct);
    defineAccessor(vm, proto, "alphaMultiplier", getField<State::AlphaMultiplier>,
                   setField<State::AlphaMultiplier>);
    defineAccessor(vm, proto, "redMultiplier", getField<State::RedMultiplier>,
                   setField<State::RedMultiplier>);
    defineAccessor(vm, proto, "greenMultiplier", getField<State::GreenMultiplier>,
                   setField<State::GreenMultiplier>);
    defineAccessor(vm, proto, "blueMultiplier", getField<State::BlueMultiplier>,
                   setField<State::BlueMultiplier>);
    defineAccessor(vm, proto, "alphaOffset", getField<State::AlphaOffset>,
                   setField<State::AlphaOffset>);
    defineAccessor(vm, proto, "redOffset", getField<State::RedOffset>, setField<State::RedOffset>);
    defineAccessor(vm, proto, "greenOffset", getField<State::GreenOffset>,
                   setField<State::GreenOffset>);
    defineAccessor(vm, proto, "blueOffset", getField<State::BlueOffset>,
                   setField<State::BlueOffset>);
    defineAccessor(vm, proto, "rgb", getRgb, setRgb);
    vm.defineMethods(proto, {{"concat", concat}, {"toString", toString}});
    return proto;
}

} // namespace avm1
