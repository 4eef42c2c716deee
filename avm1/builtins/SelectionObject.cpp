// Selection: the keyboard focus as scripts see it. setFocus and getFocus work on the
// player's focus (runtime::FocusControl); a move a script makes is announced at once,
// before setFocus returns: the object losing the focus hears onKillFocus(new), the one
// taking it onSetFocus(old), then the listeners onSetFocus(old, new). The indices are
// those of the focused text field's selection, -1 without one.
#include "Builtins.h"
#include "InputAccess.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/ButtonTracker.h"
#include "runtime/EditTextObject.h"
#include "runtime/InputState.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <array>

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

// Calls the handler `name` of `target` when it has one, found as the player finds event
// handlers (without __resolve).
void callIfAny(Vm& vm, Object* target, const char* name, std::span<const Value> args)
{
    Value fn;
    if (!target || vm.throwing() || !vm.lookup(target, vm.str(name), fn))
        return;
    if (Object* function = fn.objectOrNull(); function && function->isFunction())
        vm.call(fn, Value(target), args);
}

void announce(Vm& vm, const runtime::FocusControl::Change& change)
{
    ClipObject* root = asClip(vm.interpreter().rootClip());
    if (!root)
        return;
    const auto asValue = [&](const std::shared_ptr<runtime::DisplayObject>& object) {
        ClipObject* clip = object ? root->registry().wrap(object.get()) : nullptr;
        return clip ? Value(clip) : Value::null();
    };
    const Value previous = asValue(change.from);
    const Value next = asValue(change.to);
    callIfAny(vm, previous.objectOrNull(), "onKillFocus", std::span<const Value>(&next, 1));
    callIfAny(vm, next.objectOrNull(), "onSetFocus", std::span<const Value>(&previous, 1));
    Object* selection = vm.getMember(vm.global(), "Selection").objectOrNull();
    const std::array<Value, 3> args{vm.strValue("onSetFocus"), previous, next};
    callIfAny(vm, selection, "broadcastMessage", args);
}

// A clip takes the focus from scripts when it acts as a button or focusEnabled is on.
bool takesScriptFocus(Vm& vm, Object* clip, const runtime::DisplayObject& object)
{
    if (object.kind() != runtime::ObjectKind::Sprite ||
        runtime::ButtonTracker::takesPointer(object))
        return true;
    return clip && vm.toBoolean(vm.getMember(clip, "focusEnabled"));
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
    runtime::DisplayObject* object = nullptr;
    if (!target.isNullish()) {
        object = focusTarget(vm, target);
        if (!object || object->isRoot() || !object->isScriptable())
            return Value(false);
        ClipObject* rootClip = asClip(vm.interpreter().rootClip());
        Object* wrapped = rootClip ? rootClip->registry().wrap(object) : nullptr;
        if (!takesScriptFocus(vm, wrapped, *object))
            return Value(false);
    }
    const auto change = input->focus().moveFocus(
        *root, object ? object->shared_from_this() : nullptr, runtime::FocusControl::Cause::Script);
    if (change)
        announce(vm, *change);
    return Value(object != nullptr);
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

runtime::EditTextObject* focusedField(Vm& vm)
{
    runtime::InputState* input = playerInput(vm);
    const auto focused = input ? input->focus().focused() : nullptr;
    if (!focused || focused->kind() != runtime::ObjectKind::EditText)
        return nullptr;
    return static_cast<runtime::EditTextObject*>(focused.get());
}

enum class Index : std::uint8_t { Begin, End, Caret };

Value selectionIndex(Vm& vm, Index which)
{
    const runtime::EditTextObject* field = focusedField(vm);
    if (!field)
        return Value(-1);
    const runtime::TextSelection& selection = field->selection();
    const std::size_t index = which == Index::Begin ? selection.begin()
                              : which == Index::End ? selection.end()
                                                    : selection.caret;
    return Value(static_cast<double>(index));
}

Value getBeginIndex(Vm& vm, const CallArgs&)
{
    return selectionIndex(vm, Index::Begin);
}

Value getEndIndex(Vm& vm, const CallArgs&)
{
    return selectionIndex(vm, Index::End);
}

Value getCaretIndex(Vm& vm, const CallArgs&)
{
    return selectionIndex(vm, Index::Caret);
}

// An index argument: whole units from 0; what lies past the text is clamped to it.
std::size_t indexArg(Vm& vm, Value value)
{
    const double n = vm.toInteger(value);
    if (!(n > 0))
        return 0;
    return n > 1e9 ? std::size_t(1e9) : static_cast<std::size_t>(n);
}

// setSelection(begin, end) selects in the focused field, the caret at `end`.
Value setSelection(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = focusedField(vm);
    if (!field || call.count() < 2)
        return Value();
    const std::size_t begin = indexArg(vm, call.arg(0));
    const std::size_t end = indexArg(vm, call.arg(1));
    if (!vm.throwing())
        field->setSelection(runtime::TextSelection{begin, end});
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
    vm.defineMethod(selection, "getBeginIndex", getBeginIndex, kBuiltIn);
    vm.defineMethod(selection, "getEndIndex", getEndIndex, kBuiltIn);
    vm.defineMethod(selection, "getCaretIndex", getCaretIndex, kBuiltIn);
    vm.defineMethod(selection, "setSelection", setSelection, kBuiltIn);
    vm.global()->defineValue(vm, "Selection", Value(selection), PropertyFlag::DontEnum);
}

} // namespace avm1
