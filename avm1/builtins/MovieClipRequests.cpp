// MovieClip's getURL and loadVariables: the methods of the GetURL2 action's forms.
// Windows are no player's to open, so a page request goes nowhere; "_levelN" loads a
// movie into that level (an empty url unloads it); "FSCommand:quit" closes a player
// that lets movies quit.
#include "Loads.h"
#include "MovieClipParts.h"
#include "MovieLoads.h"
#include "avm1/ClipObject.h"
#include "avm1/String.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/PlayerContext.h"

namespace avm1 {

namespace {

constexpr std::string_view kCommandPrefix = "FSCommand:";

bool isCommand(std::string_view url)
{
    return url.size() >= kCommandPrefix.size() &&
           sameKey(url.substr(0, kCommandPrefix.size()), kCommandPrefix, CaseRule::Insensitive);
}

Value getURL(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    if (!clip || call.count() == 0)
        return Value();
    std::string url = vm.toStdString(call.arg(0));
    const std::string window = call.count() > 1 ? vm.toStdString(call.arg(1)) : std::string();
    if (vm.throwing())
        return Value();
    if (isCommand(url)) {
        runtime::DisplayObject* object = clip->displayObject();
        const std::string_view command = std::string_view(url).substr(kCommandPrefix.size());
        if (object && sameKey(command, "quit", CaseRule::Insensitive) &&
            object->context().host().honoursQuit())
            object->context().requestQuit();
        return Value();
    }
    if (const auto level = levelTargetOf(window)) {
        LoadTarget target;
        target.level = *level;
        requestMovie(vm, target, std::move(url));
        return Value();
    }
    vm.logLazy([&] { return "getURL not followed: " + url; });
    return Value();
}

// loadVariables(url[, method]): the variables arrive on this clip.
Value loadVariables(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    if (!clip || call.count() == 0)
        return Value();
    String* url = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    if (!startVariablesLoad(vm, clip, url))
        vm.logLazy([&] { return "loadVariables not followed: " + url->text(); });
    return Value();
}

} // namespace

void installMovieClipRequests(Vm& vm, Object* proto)
{
    vm.defineMethods(proto, {
                                {"getURL", getURL},
                                {"loadVariables", loadVariables},
                            });
}

} // namespace avm1
