// The movie and its host: Trace, GetTime, GetURL, GetURL2, CloneSprite, RemoveSprite,
// StartDrag, EndDrag.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/ScriptHost.h"
#include "avm1/builtins/MovieClipPlacement.h"
#include "runtime/Limits.h"

namespace avm1::handlers {

void doTrace(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value v = pop(in);
    // trace prints undefined by name in every version, where conversion gives "".
    if (v.isUndefined()) {
        vm.trace("undefined");
        return;
    }
    vm.trace(vm.toString(v)->view());
}

void doGetTime(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const double ms = vm.host() ? vm.host()->elapsedMilliseconds() : 0;
    push(in, Value(static_cast<double>(static_cast<std::int64_t>(ms))));
}

void doGetURL(Interpreter& in, Activation& frame, const Instruction& ins)
{
    in.vm().logLazy(
        [&] { return "GetURL not followed: " + frame.block->strings[ins.operand]->text(); });
}

void doGetURL2(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value target = pop(in);
    const Value url = pop(in);
    vm.logLazy([&] { return "GetURL2 not followed: " + vm.toStdString(url); });
    (void)target;
}

namespace {

// The clip a CloneSprite or RemoveSprite names: a clip, or a target path.
ClipObject* spriteTarget(Interpreter& in, Activation& frame, Value target)
{
    if (ClipObject* clip = asClip(target.objectOrNull()))
        return clip->live();
    const std::string path = in.vm().toStdString(target);
    ClipObject* clip = path.empty() ? nullptr : asClip(in.resolveTarget(frame, path));
    return clip ? clip->live() : nullptr;
}

} // namespace

// duplicateMovieClip(target, name, depth): the depth arrives as the file format
// stores it, limits::kScriptDepthOffset above the script's.
void doCloneSprite(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value depth = pop(in);
    const Value name = pop(in);
    const Value source = pop(in);
    const std::int32_t stored = vm.toInt32(depth);
    std::string newName = vm.toStdString(name);
    if (vm.throwing())
        return;
    ClipObject* clip = spriteTarget(in, frame, source);
    if (!clip || clip->objectClass() != ObjectClass::MovieClip)
        return;
    duplicateMovieClip(vm, *clip, std::move(newName),
                       static_cast<long long>(stored) - runtime::limits::kScriptDepthOffset,
                       nullptr);
}

void doRemoveSprite(Interpreter& in, Activation& frame, const Instruction&)
{
    if (ClipObject* clip = spriteTarget(in, frame, pop(in)))
        removeMovieClip(*clip);
}

void doStartDrag(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    pop(in); // target
    const bool lockCenter = vm.toBoolean(pop(in));
    (void)lockCenter;
    if (vm.toBoolean(pop(in))) {
        for (int i = 0; i < 4; ++i)
            pop(in);
    }
}

void doEndDrag(Interpreter&, Activation&, const Instruction&) {}

} // namespace avm1::handlers
