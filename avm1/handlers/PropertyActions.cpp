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
    if (Object* o = target.objectOrNull())
        return asClip(o);
    const std::string path = in.vm().toStdString(target);
    return asClip(in.resolveTarget(frame, path));
}

} // namespace

// Both go to the display property itself, whatever child or variable of that name
// the clip has.
void doGetProperty(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const int index = static_cast<int>(vm.toInteger(pop(in)));
    const Value target = pop(in);
    ClipObject* clip = propertyTarget(in, frame, target);
    const std::string_view name = clipPropertyName(index);
    Value out;
    if (!clip || name.empty() || !getClipProperty(vm, *clip, name, out))
        out = Value();
    push(in, out);
}

void doSetProperty(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value value = pop(in);
    const int index = static_cast<int>(vm.toInteger(pop(in)));
    const Value target = pop(in);
    ClipObject* clip = propertyTarget(in, frame, target);
    const std::string_view name = clipPropertyName(index);
    if (clip && !name.empty())
        setClipProperty(vm, *clip, name, value);
}

void doTargetPath(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    ClipObject* clip = asClip(pop(in).objectOrNull());
    ClipObject* live = clip ? clip->live() : nullptr;
    push(in, live ? vm.strValue(live->targetPath()) : Value());
}

} // namespace avm1::handlers
