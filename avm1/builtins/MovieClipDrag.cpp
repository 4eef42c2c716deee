#include "MovieClipDrag.h"

#include "InputAccess.h"
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/InputState.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = swf::Twips::kPerPixel;

// startDrag([lockCenter, left, top, right, bottom]): the box only with all four.
Value startDrag(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    if (!clip)
        return Value();
    const bool lockCenter = vm.toBoolean(call.arg(0));
    std::optional<DragBox> box;
    if (call.count() >= 5) {
        box = DragBox{vm.toNumber(call.arg(1)), vm.toNumber(call.arg(2)), vm.toNumber(call.arg(3)),
                      vm.toNumber(call.arg(4))};
    }
    if (!vm.throwing())
        startDragging(vm, *clip, lockCenter, box);
    return Value();
}

Value stopDrag(Vm& vm, const CallArgs&)
{
    stopDragging(vm);
    return Value();
}

} // namespace

void startDragging(Vm& vm, ClipObject& clip, bool lockCenter, std::optional<DragBox> box)
{
    runtime::InputState* input = playerInput(vm);
    runtime::DisplayObject* object = clip.displayObject();
    if (!input || !object || object->isRoot())
        return;
    std::optional<runtime::PointerDrag::Constraint> constraint;
    if (box) {
        // A side that is no number leaves the box out, as a missing one does.
        const double edges[] = {box->left, box->top, box->right, box->bottom};
        bool finite = true;
        for (double edge : edges)
            finite = finite && std::isfinite(edge);
        if (finite)
            constraint = runtime::PointerDrag::Constraint{
                box->left * kTwipsPerPixel, box->top * kTwipsPerPixel, box->right * kTwipsPerPixel,
                box->bottom * kTwipsPerPixel};
    }
    input->drag().start(*object, lockCenter, constraint, input->pointerX(), input->pointerY());
}

void stopDragging(Vm& vm)
{
    if (runtime::InputState* input = playerInput(vm))
        input->drag().stop(input->pointerX(), input->pointerY());
}

void installMovieClipDrag(Vm& vm, Object* proto)
{
    vm.defineMethod(proto, "startDrag", startDrag);
    vm.defineMethod(proto, "stopDrag", stopDrag);
}

} // namespace avm1
