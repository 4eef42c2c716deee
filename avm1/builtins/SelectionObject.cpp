// Selection: the keyboard focus as scripts see it. setFocus and getFocus work on the
// player's focus (runtime::FocusControl); its listeners hear onSetFocus(old, new) each
// time the focus moves (Engine's input side broadcasts it). Text selection indices
// are -1, as no text field takes the focus's caret yet.
#include "Builtins.h"
#include "InputAccess.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/InputState.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

namespace avm1 {

namespace {

// The display object a setFocus argument names: a clip, button or field, or a target
// path from the main timeline.
runtime::DisplayObject* focusTarget(Vm& vm, Value target)
{
    ClipObject* clip = asClip(target.objectOrNull());
    if (!clip && target.isString()) {
        Object* root = vm.interpreter().rootClip();
        clip = asClip(root ? resolveTargetFrom(vm, root, target.asString()->view()) : nullptr);
    }
    ClipObject* live = clip ? clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

// setFocus(target): true when the target took the focus; null or undefined takes it
// from everyone.
Value setFocus(Vm& vm, const CallArgs& call)
{
    runtime::InputState* input = playerInput(vm);
    runtime::SpriteObject* root = mainTimeline(vm);
    if (!input || !root)
        return Value(false);
    const Value target = call.arg(0);
    if (target.isNullish()) {
        input->focus().setFocus(*root, nullptr);
        return Value(false);
    }
    runtime::DisplayObject* object = focusTarget(vm, target);
    if (!object || object->isRoot() || !object->isScriptable())
        return Value(false);
    input->focus().setFocus(*root, object->shared_from_this());
    return Value(true);
}

// The focused object's path in dot syntax, or null.
Value getFocus(Vm& vm, const CallArgs&)
{
    runtime::InputState* input = playerInput(vm);
    const auto focused = input ? input->focus().focused() : nullptr;
    if (!focused)
        return Value::null();
    return vm.strValue(focused->path());
}

Value noIndex(Vm&, const CallArgs&)
{
    return Value(-1);
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

} // namespace

void installSelection(Vm& vm)
{
    constexpr std::uint16_t kBuiltIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    Object* selection = vm.makeObject();
    const Value arg(selection);
    vm.callMethod(vm.getMember(vm.global(), vm.str("AsBroadcaster")), vm.str("initialize"),
                  std::span<const Value>(&arg, 1));
    vm.defineMethod(selection, "setFocus", setFocus, kBuiltIn);
    vm.defineMethod(selection, "getFocus", getFocus, kBuiltIn);
    vm.defineMethod(selection, "getBeginIndex", noIndex, kBuiltIn);
    vm.defineMethod(selection, "getEndIndex", noIndex, kBuiltIn);
    vm.defineMethod(selection, "getCaretIndex", noIndex, kBuiltIn);
    vm.defineMethod(selection, "setSelection", returnsUndefined, kBuiltIn);
    vm.global()->defineValue(vm, "Selection", Value(selection), PropertyFlag::DontEnum);
}

} // namespace avm1
