#include "MovieLoads.h"

#include "avm1/ClipObject.h"
#include "avm1/ClipRoots.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/PlayerContext.h"
#include "script/url/UrlEscaping.h"

namespace avm1 {

namespace {

runtime::PlayerContext* contextOf(Vm& vm, const LoadTarget& target)
{
    ClipObject* clip = target.clip ? target.clip->live() : asClip(vm.interpreter().rootClip());
    runtime::DisplayObject* object = clip ? clip->displayObject() : nullptr;
    return object ? &object->context() : nullptr;
}

bool request(Vm& vm, const LoadTarget& target, runtime::MovieRequest request)
{
    runtime::PlayerContext* context = contextOf(vm, target);
    if (!context || !target.valid())
        return false;
    if (target.level) {
        request.level = *target.level;
    } else {
        ClipObject* live = target.clip->live();
        runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
        // Only movie clips take movies: buttons and text fields do not.
        if (!object || object->kind() != runtime::ObjectKind::Sprite)
            return false;
        request.clip = object->weak_from_this();
    }
    request.tick = context->tick();
    if (!context->movieRequests().push(std::move(request))) {
        vm.logLazy([] { return "load dropped: too many loads waiting"; });
        return false;
    }
    return true;
}

} // namespace

std::optional<int> levelTargetOf(std::string_view text)
{
    constexpr std::string_view prefix = "_level";
    if (text.size() <= prefix.size() || text.size() > prefix.size() + 9 ||
        !sameKey(text.substr(0, prefix.size()), prefix, CaseRule::Insensitive))
        return std::nullopt;
    int level = 0;
    for (char c : text.substr(prefix.size())) {
        if (c < '0' || c > '9')
            return std::nullopt;
        level = level * 10 + (c - '0');
    }
    return level;
}

bool requestMovie(Vm& vm, const LoadTarget& target, std::string url, std::uint64_t observer)
{
    if (url.empty())
        return requestUnload(vm, target);
    runtime::MovieRequest load;
    load.kind = runtime::MovieRequest::Kind::Load;
    load.url = std::move(url);
    load.observer = observer;
    return request(vm, target, std::move(load));
}

bool requestUnload(Vm& vm, const LoadTarget& target)
{
    runtime::MovieRequest unload;
    unload.kind = runtime::MovieRequest::Kind::Unload;
    return request(vm, target, std::move(unload));
}

std::uint64_t MovieLoadObservers::add(Object* loader)
{
    const std::uint64_t observer = m_next++;
    m_loaders.emplace(observer, loader);
    return observer;
}

Object* MovieLoadObservers::find(std::uint64_t observer) const
{
    auto it = m_loaders.find(observer);
    return it == m_loaders.end() ? nullptr : it->second;
}

void MovieLoadObservers::remove(std::uint64_t observer)
{
    m_loaders.erase(observer);
}

void MovieLoadObservers::traceChildren(Tracer& tracer)
{
    for (const auto& [observer, loader] : m_loaders)
        tracer.mark(loader);
}

MovieLoadObservers& movieLoadObservers(Vm& vm)
{
    Cell*& slot = vm.builtins().movieLoads;
    if (!slot) {
        auto* table = vm.heap().make<MovieLoadObservers>();
        slot = table;
        vm.addRoots([table](Tracer& tracer) { tracer.mark(table); });
    }
    return *static_cast<MovieLoadObservers*>(slot);
}

void deliverLoadEvent(Vm& vm, std::uint64_t observer, runtime::LoadEvent event, ClipObject* target,
                      std::size_t bytes)
{
    MovieLoadObservers& observers = movieLoadObservers(vm);
    Object* loader = observers.find(observer);
    if (!loader)
        return;
    if (event == runtime::LoadEvent::Dropped) {
        observers.remove(observer);
        return;
    }
    const Value clip = target ? Value(target) : Value();
    const Value length(static_cast<double>(bytes));
    // A local file has no HTTP status: the reference gives 0.
    const Value noStatus(0.0);
    std::vector<Value> args;
    switch (event) {
    case runtime::LoadEvent::Start:
        args = {vm.strValue("onLoadStart"), clip};
        break;
    case runtime::LoadEvent::Progress:
        args = {vm.strValue("onLoadProgress"), clip, length, length};
        break;
    case runtime::LoadEvent::Complete:
        args = {vm.strValue("onLoadComplete"), clip, noStatus};
        break;
    case runtime::LoadEvent::Init:
        args = {vm.strValue("onLoadInit"), clip};
        break;
    case runtime::LoadEvent::Error:
        args = {vm.strValue("onLoadError"), clip, vm.strValue("URLNotFound"), noStatus};
        break;
    case runtime::LoadEvent::Dropped:
        break;
    }
    // The loader broadcasts through whatever broadcastMessage it has now.
    vm.callMethod(Value(loader), vm.str("broadcastMessage"), args);
    if (event == runtime::LoadEvent::Init || event == runtime::LoadEvent::Error)
        observers.remove(observer);
}

void startClipAfresh(Vm& vm, ClipObject& clip)
{
    clip.properties() = PropertyMap();
    clip.watchers().clear();
    runtime::DisplayObject* object = clip.displayObject();
    if (!object)
        return;
    // A movie of the other group brings its realm's MovieClip.prototype.
    clip.setPrototype(vm.builtinsOf(scriptRealmOf(*object)).movieClipProto);
    // "movie.swf?name=value&...": the movie starts with those variables.
    const std::string& url = object->movieInstance().url();
    const std::size_t query = url.find('?');
    if (query == std::string::npos)
        return;
    std::string_view rest = std::string_view(url).substr(query + 1);
    if (const std::size_t fragment = rest.find('#'); fragment != std::string_view::npos)
        rest = rest.substr(0, fragment);
    script::url::forEachUrlVariable(rest, [&](const std::string& name, const std::string& value) {
        vm.setMember(&clip, vm.str(name), vm.strValue(value));
        return true;
    });
}

} // namespace avm1
