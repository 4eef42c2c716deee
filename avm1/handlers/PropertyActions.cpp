// Properties: GetProperty, SetProperty, TargetPath.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipProperties.h"

namespace avm1::handlers {

namespace {

// GetProperty's and SetProperty's target: a clip, or a path ("" is the current
// target). Other objects have no display properties.
ClipObject* propertyTarget(Interpreter& in, Activation& frame, Value target)
{
    if (ClipObject* clip = asClip(target.objectOrNull()))
        return clip;
    const std::string path = in.vm().toStdString(target);
    return asClip(in.resolveTarget(frame, path));
}

// The display property a GetProperty or SetProperty number names; empty for numbers
// that name none (negative, huge, infinite: converting those to int is undefined).
std::string_view propertyNamed(Vm& vm, Value number)
{
    const double index = vm.toInteger(number);
    return index >= 0 && index <= 255 ? clipPropertyName(static_cast<int>(index))
                                      : std::string_view();
}

// SetProperty reads an object given as its value as the property takes it, whether or
// not the target is found: as a number, as text for _name and _quality, and not at all
// for the read-only paths and _focusrect (which an object turns off).
Value valueForProperty(Vm& vm, std::string_view name, const Value& value)
{
    if (!value.isObject() || name == "_target" || name == "_droptarget" || name == "_url" ||
        name == "_focusrect")
        return value;
    if (name == "_name" || name == "_quality")
        return vm.strValue(vm.toStdString(value));
    return Value(vm.toNumber(value));
}

} // namespace

// Both go to the display property itself, whatever child or variable of that name
// the clip has.
void doGetProperty(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const std::string_view name = propertyNamed(vm, pop(in));
    const Value target = pop(in);
    ClipObject* clip = propertyTarget(in, frame, target);
    Value out;
    if (!clip || name.empty() || !getClipProperty(vm, *clip, name, out))
        out = Value();
    push(in, out);
}

void doSetProperty(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value value = pop(in);
    const std::string_view name = propertyNamed(vm, pop(in));
    const Value target = pop(in);
    ClipObject* clip = propertyTarget(in, frame, target);
    if (name.empty())
        return;
    const Value read = valueForProperty(vm, name, value);
    if (clip && !vm.throwing())
        setClipProperty(vm, *clip, name, read);
}

void doTargetPath(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    ClipObject* clip = asClip(pop(in).objectOrNull());
    ClipObject* live = clip ? clip->live() : nullptr;
    push(in, live ? vm.strValue(live->targetPath()) : Value());
}

} // namespace avm1::handlers
