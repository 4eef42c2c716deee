// The movie and its host: Trace, GetTime, GetURL, GetURL2, CloneSprite, RemoveSprite,
// StartDrag, EndDrag.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipRoots.h"
#include "avm1/ScriptHost.h"
#include "avm1/builtins/Loads.h"
#include "avm1/builtins/MovieClipDrag.h"
#include "avm1/builtins/MovieClipPlacement.h"
#include "avm1/builtins/MovieLoads.h"
#include "runtime/DisplayObject.h"
#include "runtime/Limits.h"
#include "runtime/PlayerContext.h"

#include <optional>

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

namespace {

// GetURL2's flags: the target is a clip (loadMovie) rather than a window, and the
// variables of the timeline go with the request (loadVariables).
constexpr std::uint8_t kLoadTarget = 0x40;
constexpr std::uint8_t kLoadVariables = 0x80;

bool isCommand(std::string_view url)
{
    return url.size() >= 10 && sameKey(url.substr(0, 10), "FSCommand:", CaseRule::Insensitive);
}

// An fscommand: "quit" closes the player once the running step is done, where the host
// lets movies quit; the others speak to a host page, which this player has not.
void runCommand(Interpreter& in, std::string_view url)
{
    in.vm().logLazy([&] { return "fscommand: " + std::string(url.substr(10)); });
    if (!sameKey(url.substr(10), "quit", CaseRule::Insensitive))
        return;
    ClipObject* root = asClip(in.rootClip());
    runtime::DisplayObject* object = root ? root->displayObject() : nullptr;
    if (object && object->context().host().honoursQuit())
        object->context().requestQuit();
}

// loadVariables and loadVariablesNum: the target is a clip or text field, a path to
// one, or "_levelN". The variables the request would send go nowhere.
void loadVariables(Interpreter& in, Activation& frame, Value targetValue, const std::string& url)
{
    Vm& vm = in.vm();
    Object* target = asClip(targetValue.objectOrNull());
    if (!target) {
        const std::string path = vm.toStdString(targetValue);
        ClipObject* root = asClip(in.rootClip());
        if (const auto level = levelTargetOf(path); level && root)
            target = levelClip(root->registry(), *level);
        else if (!path.empty())
            target = in.resolveTarget(frame, path);
    }
    if (!target || !startVariablesLoad(vm, target, vm.str(url)))
        vm.logLazy([&] { return "loadVariables not followed: " + url; });
}

} // namespace

// getURL to a window goes nowhere; to "_levelN" it is loadMovieNum (an empty url
// unloads the level).
void doGetURL(Interpreter& in, Activation& frame, const Instruction& ins)
{
    Vm& vm = in.vm();
    String* url = frame.block->strings[ins.operand];
    String* window = frame.block->strings[ins.operand + 1];
    if (isCommand(url->view())) {
        runCommand(in, url->view());
        return;
    }
    if (const auto level = levelTargetOf(window->view())) {
        LoadTarget target;
        target.level = *level;
        requestMovie(vm, target, url->text());
        return;
    }
    vm.logLazy([&] { return "GetURL not followed: " + url->text(); });
}

// loadMovie (a clip or a path as the target, with the load-target flag), loadMovieNum
// ("_levelN" as the target) and their unloading forms (an empty url); a window target
// goes nowhere, as loadVariables does for now.
void doGetURL2(Interpreter& in, Activation& frame, const Instruction& ins)
{
    Vm& vm = in.vm();
    const Value targetValue = pop(in);
    const Value urlValue = pop(in);
    // The target is read before the url, as the reference does.
    std::optional<std::string> targetPath;
    if (!asClip(targetValue.objectOrNull()))
        targetPath = vm.toStdString(targetValue);
    std::string url = vm.toStdString(urlValue);
    if (vm.throwing())
        return;
    if (isCommand(url)) {
        runCommand(in, url);
        return;
    }
    if (ins.u8 & kLoadVariables) {
        loadVariables(in, frame, targetPath ? vm.strValue(*targetPath) : targetValue, url);
        return;
    }
    LoadTarget target;
    if (ClipObject* clip = asClip(targetValue.objectOrNull())) {
        target.clip = clip;
    } else {
        const std::string& path = *targetPath;
        if (const auto level = levelTargetOf(path))
            target.level = *level;
        else if (ins.u8 & kLoadTarget)
            target.clip = asClip(in.resolveTarget(frame, path));
    }
    if (!target.valid()) {
        vm.logLazy([&] { return "GetURL2 not followed: " + url; });
        return;
    }
    requestMovie(vm, target, std::move(url));
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
    // Text fields are copied too; buttons and videos are not.
    if (!clip || (clip->objectClass() != ObjectClass::MovieClip &&
                  clip->objectClass() != ObjectClass::TextField))
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

// startDrag(target, lockCenter[, left, top, right, bottom]): the box's edges come
// off the stack last, bottom first.
void doStartDrag(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    // Read in the order they are popped: the target's path, then the flags through
    // their valueOf, then the box. The reference constrains only when the flag is 1
    // (true), not for any other number: 7 leaves the box's values unread.
    const Value targetValue = pop(in);
    const Value target =
        asClip(targetValue.objectOrNull()) ? targetValue : vm.strValue(vm.toStdString(targetValue));
    const bool lockCenter = vm.toBoolean(vm.toPrimitive(pop(in), Hint::Number));
    std::optional<DragBox> box;
    if (vm.toNumber(pop(in)) == 1) {
        const double bottom = vm.toNumber(pop(in));
        const double right = vm.toNumber(pop(in));
        const double top = vm.toNumber(pop(in));
        const double left = vm.toNumber(pop(in));
        box = DragBox{left, top, right, bottom};
    }
    if (vm.throwing())
        return;
    if (ClipObject* clip = spriteTarget(in, frame, target))
        startDragging(vm, *clip, lockCenter, box);
}

void doEndDrag(Interpreter& in, Activation&, const Instruction&)
{
    stopDragging(in.vm());
}

} // namespace avm1::handlers
