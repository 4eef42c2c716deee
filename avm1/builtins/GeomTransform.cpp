// flash.geom.Transform: a clip's matrix and colour transform as Matrix and
// ColorTransform objects, the ones it is drawn with on the stage, and its box there.
// Each read makes a new object; changing one changes nothing until it is assigned back.
// MovieClip's "transform" (SWF 8) gives a new Transform of the clip each time.
#include "ClipColor.h"
#include "GeomColorTransform.h"
#include "GeomObjects.h"
#include "MovieClipParts.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

#include <cmath>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = 20.0;

// The clip a Transform was made for.
class TransformState final : public Cell {
public:
    explicit TransformState(ClipObject* target) : clip(target) {}
    void traceChildren(Tracer& tracer) override { tracer.mark(clip); }
    ClipObject* clip;
};

runtime::DisplayObject* liveObject(ClipObject* clip)
{
    ClipObject* live = clip ? clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

runtime::DisplayObject* thisTarget(const CallArgs& call)
{
    Object* self = call.thisObject();
    auto* state = self ? dynamic_cast<TransformState*>(self->nativeState()) : nullptr;
    return state ? liveObject(state->clip) : nullptr;
}

// The prototype a getter gives the object it makes.
Object* madeWith(const CallArgs& call)
{
    auto* getter = static_cast<NativeFunction*>(call.callee);
    return getter ? getter->data().objectOrNull() : nullptr;
}

// Made for a clip, a Transform follows it; made for anything else it answers nothing.
Value constructTransform(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    ClipObject* clip = asClip(call.arg(0).objectOrNull());
    if (self && self->objectClass() == ObjectClass::Object && clip)
        self->setNativeState(vm.heap().make<TransformState>(clip));
    return Value();
}

swf::Matrix inPixels(swf::Matrix m)
{
    m.tx /= kTwipsPerPixel;
    m.ty /= kTwipsPerPixel;
    return m;
}

Value matrixValue(Vm& vm, const CallArgs& call, const swf::Matrix& twips)
{
    Object* proto = madeWith(call);
    return proto ? Value(makeMatrix(vm, proto, inPixels(twips))) : Value();
}

Value getMatrix(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    return object ? matrixValue(vm, call, object->matrix()) : Value();
}

Value getConcatenatedMatrix(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    return object ? matrixValue(vm, call, object->worldMatrix()) : Value();
}

// A whole twip, as positions are kept; what the display list cannot hold draws at 0.
double twipsOf(double pixels)
{
    const double twips = std::trunc(pixels * kTwipsPerPixel);
    return std::fabs(twips) < 2147483648.0 ? twips : 0;
}

double drawable(double value)
{
    return std::isfinite(value) ? value : 0;
}

Value setMatrix(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    Object* given = call.arg(0).objectOrNull();
    swf::Matrix m;
    if (!object || !given || !readMatrix(vm, given, m))
        return Value();
    m = {drawable(m.a), drawable(m.b), drawable(m.c), drawable(m.d), twipsOf(m.tx), twipsOf(m.ty)};
    object->markScriptTransformed();
    object->setMatrix(m);
    return Value();
}

Value colorTransformValue(Vm& vm, const CallArgs& call, const swf::ColorTransform& transform)
{
    Object* proto = madeWith(call);
    return proto ? Value(makeColorTransform(vm, proto, transform)) : Value();
}

Value getColorTransform(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    return object ? colorTransformValue(vm, call, object->colorTransform()) : Value();
}

Value getConcatenatedColorTransform(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    return object ? colorTransformValue(vm, call, object->worldColorTransform()) : Value();
}

Value setColorTransform(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    ColorTransformState* given = colorTransformState(call.arg(0).objectOrNull());
    if (object && given)
        applyScriptColor(*object, fixedColorTransform(vm, *given));
    return Value();
}

// The box the clip covers on the stage, in whole pixels.
Value getPixelBounds(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisTarget(call);
    Object* proto = madeWith(call);
    if (!object || !proto)
        return Value();
    const runtime::Bounds b = object->boundsIn(nullptr);
    if (b.empty)
        return Value(makeRectangle(vm, proto, 0, 0, 0, 0));
    const double xMin = std::floor(b.xMin / kTwipsPerPixel);
    const double yMin = std::floor(b.yMin / kTwipsPerPixel);
    const double xMax = std::ceil(b.xMax / kTwipsPerPixel);
    const double yMax = std::ceil(b.yMax / kTwipsPerPixel);
    return Value(makeRectangle(vm, proto, xMin, yMin, xMax - xMin, yMax - yMin));
}

Object* makeTransform(Vm& vm, Object* prototype, ClipObject* clip)
{
    Object* object = vm.makeObject(prototype);
    markConstructed(vm, object, vm.getMember(prototype, vm.names().constructor).objectOrNull());
    object->setNativeState(vm.heap().make<TransformState>(clip));
    return object;
}

Value getClipTransform(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    Object* proto = madeWith(call);
    return clip && proto ? Value(makeTransform(vm, proto, clip)) : Value();
}

// Assigning a Transform gives the clip that Transform's clip's matrix and colours.
Value setClipTransform(Vm&, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    Object* given = call.arg(0).objectOrNull();
    auto* state = given ? dynamic_cast<TransformState*>(given->nativeState()) : nullptr;
    runtime::DisplayObject* source = state ? liveObject(state->clip) : nullptr;
    if (!object || !source || source == object)
        return Value();
    object->markScriptTransformed();
    object->setMatrix(source->matrix());
    object->setColorTransform(source->colorTransform());
    return Value();
}

} // namespace

void installTransform(Vm& vm, Object* geomPackage, const GeomPrototypes& prototypes)
{
    Object* proto = vm.makeObject();
    definePackageClass(vm, geomPackage, "Transform", proto, constructTransform);
    defineAccessor(vm, proto, "matrix", getMatrix, setMatrix)->setData(Value(prototypes.matrix));
    defineAccessor(vm, proto, "concatenatedMatrix", getConcatenatedMatrix, nullptr)
        ->setData(Value(prototypes.matrix));
    defineAccessor(vm, proto, "colorTransform", getColorTransform, setColorTransform)
        ->setData(Value(prototypes.colorTransform));
    defineAccessor(vm, proto, "concatenatedColorTransform", getConcatenatedColorTransform, nullptr)
        ->setData(Value(prototypes.colorTransform));
    defineAccessor(vm, proto, "pixelBounds", getPixelBounds, nullptr)
        ->setData(Value(prototypes.rectangle));

    if (Object* clipProto = vm.builtins().movieClipProto)
        defineAccessor(vm, clipProto, "transform", getClipTransform, setClipTransform,
                       PropertyFlag::DontEnum | PropertyFlag::DontDelete | VersionFlag::SinceSwf8)
            ->setData(Value(proto));
}

} // namespace avm1
