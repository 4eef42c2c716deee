// Stage: the stage as the player shows it. scaleMode and align change how the host
// places it, width and height are its size as scripts see it (the view's with
// noScale), and its listeners hear onResize when that size changes. The listener
// methods come from SWF 6 on.
#include "Builtins.h"
#include "InputAccess.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <array>
#include <cctype>
#include <string>

namespace avm1 {

namespace {

using runtime::StageScaleMode;

constexpr std::array<std::pair<StageScaleMode, const char*>, 4> kScaleModes{{
    {StageScaleMode::ShowAll, "showAll"},
    {StageScaleMode::NoBorder, "noBorder"},
    {StageScaleMode::ExactFit, "exactFit"},
    {StageScaleMode::NoScale, "noScale"},
}};

// The alignment letters, in the order Stage.align gives them back.
constexpr std::array<std::pair<std::uint8_t, char>, 4> kAlignLetters{{
    {runtime::StageAlign::Left, 'L'},
    {runtime::StageAlign::Top, 'T'},
    {runtime::StageAlign::Right, 'R'},
    {runtime::StageAlign::Bottom, 'B'},
}};

runtime::PlayerContext* player(Vm& vm)
{
    runtime::SpriteObject* root = mainTimeline(vm);
    return root ? &root->context() : nullptr;
}

bool sameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Width and height as scripts see them.
std::pair<double, double> seenSize(const runtime::PlayerContext& context)
{
    const runtime::StageView& view = context.stageView();
    const swf::Rect& stage = context.stageRect();
    return {view.width(stage.width().pixels()), view.height(stage.height().pixels())};
}

Value getWidth(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return context ? Value(seenSize(*context).first) : Value();
}

Value getHeight(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return context ? Value(seenSize(*context).second) : Value();
}

Value getScaleMode(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    if (!context)
        return Value();
    for (const auto& [mode, name] : kScaleModes)
        if (mode == context->stageView().scaleMode())
            return vm.strValue(name);
    return Value();
}

// Names are matched whatever their case; any other value means showAll. A change of
// the size scripts see tells the listeners at once.
Value setScaleMode(Vm& vm, const CallArgs& call)
{
    runtime::PlayerContext* context = player(vm);
    String* text = vm.toString(call.arg(0));
    if (!context || !text || vm.throwing())
        return Value();
    StageScaleMode chosen = StageScaleMode::ShowAll;
    for (const auto& [mode, name] : kScaleModes)
        if (sameLetters(text->view(), name))
            chosen = mode;
    const auto before = seenSize(*context);
    context->stageView().setScaleMode(chosen);
    if (seenSize(*context) != before && call.thisObject()) {
        const Value message = vm.strValue("onResize");
        vm.callMethod(Value(call.thisObject()), vm.str("broadcastMessage"),
                      std::span<const Value>(&message, 1));
    }
    return Value();
}

Value getAlign(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    if (!context)
        return Value();
    std::string letters;
    for (const auto& [bit, letter] : kAlignLetters)
        if (context->stageView().align() & bit)
            letters += letter;
    return vm.strValue(letters);
}

// Every letter L, T, R or B in the text, whatever its case, names an edge; the rest
// is ignored.
Value setAlign(Vm& vm, const CallArgs& call)
{
    runtime::PlayerContext* context = player(vm);
    String* text = vm.toString(call.arg(0));
    if (!context || !text || vm.throwing())
        return Value();
    std::uint8_t bits = 0;
    for (const char c : text->view())
        for (const auto& [bit, letter] : kAlignLetters)
            if (std::toupper(static_cast<unsigned char>(c)) == letter)
                bits |= bit;
    context->stageView().setAlign(bits);
    return Value();
}

Value getShowMenu(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return Value(!context || context->stageView().showMenu());
}

Value setShowMenu(Vm& vm, const CallArgs& call)
{
    if (runtime::PlayerContext* context = player(vm))
        context->stageView().setShowMenu(vm.toBoolean(call.arg(0)));
    return Value();
}

Value getDisplayState(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return vm.strValue(context && context->stageView().fullScreen() ? "fullScreen" : "normal");
}

// "fullScreen" and "normal", whatever their case; other values change nothing. The
// player already fills the screen above the taskbar; full screen covers the taskbar
// too (the host's part). A change tells the listeners onFullScreen(full) at once.
Value setDisplayState(Vm& vm, const CallArgs& call)
{
    runtime::PlayerContext* context = player(vm);
    String* text = vm.toString(call.arg(0));
    if (!context || !text || vm.throwing())
        return Value();
    bool full = false;
    if (sameLetters(text->view(), "fullScreen"))
        full = true;
    else if (!sameLetters(text->view(), "normal"))
        return Value();
    if (context->stageView().fullScreen() == full)
        return Value();
    context->stageView().setFullScreen(full);
    if (call.thisObject()) {
        const Value message[] = {vm.strValue("onFullScreen"), Value(full)};
        vm.callMethod(Value(call.thisObject()), vm.str("broadcastMessage"), message);
    }
    return Value();
}

// The screen a full-screen stage would fill: the view, or the stage itself.
Value getFullScreenWidth(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return context ? Value(seenSize(*context).first) : Value(0);
}

Value getFullScreenHeight(Vm& vm, const CallArgs&)
{
    const runtime::PlayerContext* context = player(vm);
    return context ? Value(seenSize(*context).second) : Value(0);
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsNull(Vm&, const CallArgs&)
{
    return Value::null();
}

} // namespace

void installStage(Vm& vm)
{
    Object* stage = vm.makeObject();
    const Value broadcaster = vm.getMember(vm.global(), vm.str("AsBroadcaster"));
    const Value self(stage);
    vm.callMethod(broadcaster, vm.str("initialize"), std::span<const Value>(&self, 1));
    // The listener side is hidden from SWF 5 movies.
    for (const char* name : {"_listeners", "addListener", "removeListener", "broadcastMessage"})
        stage->defineValue(vm, name, vm.getMember(stage, vm.str(name)),
                           PropertyFlag::DontEnum | VersionFlag::SinceSwf6);

    struct Accessor {
        const char* name;
        NativeFn get;
        NativeFn set;
    };
    const Accessor accessors[] = {
        {"wmodeGPU", returnsFalse, nullptr},
        {"fullScreenWidth", getFullScreenWidth, nullptr},
        {"fullScreenHeight", getFullScreenHeight, nullptr},
        {"fullScreenSourceRect", returnsNull, nullptr},
        {"displayState", getDisplayState, setDisplayState},
        {"showMenu", getShowMenu, setShowMenu},
        {"width", getWidth, nullptr},
        {"height", getHeight, nullptr},
        {"scaleMode", getScaleMode, setScaleMode},
        {"align", getAlign, setAlign},
    };
    for (const Accessor& accessor : accessors)
        defineAccessor(vm, stage, accessor.name, accessor.get, accessor.set,
                       PropertyFlag::DontDelete);
    vm.global()->defineValue(vm, "Stage", Value(stage), PropertyFlag::DontEnum);
}

} // namespace avm1
