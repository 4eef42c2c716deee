#include "SoundState.h"
#include "avm1/Limits.h"
#include "avm1/Object.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "sound/Id3Tags.h"
#include "sound/Mp3File.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace avm1 {

namespace {

// Sound objects waiting on their sounds; each start of a sound registers its object
// once, so this bounds only what plays at once (the mixer's own cap is lower).
constexpr std::size_t kMaxWaiting = 4096;

// A handler's exception ends it with the line the player prints for any block that ends
// with one.
void callHandler(Vm& vm, Object* object, const char* name, std::span<const Value> args)
{
    vm.callMethod(Value(object), vm.str(name), args);
    if (vm.throwing()) {
        const Value e = vm.takeException();
        vm.trace("Warning: Uncaught exception, " + vm.toStdString(e));
        if (vm.throwing())
            vm.takeException();
    }
}

} // namespace

void SoundEvents::playing(Object* sound)
{
    if (std::find(m_playing.begin(), m_playing.end(), sound) == m_playing.end() &&
        m_playing.size() < kMaxWaiting)
        m_playing.push_back(sound);
}

void SoundEvents::load(Object* sound)
{
    if (std::find(m_loads.begin(), m_loads.end(), sound) == m_loads.end() &&
        m_loads.size() < kMaxWaiting)
        m_loads.push_back(sound);
}

namespace {

void finishLoad(Vm& vm, Object* object)
{
    SoundState* state = soundStateOf(object);
    if (!state || !state->loading)
        return;
    auto bytes = vm.host() ? vm.host()->fetchFile(state->url, limits::kMaxLoadedFileBytes)
                           : swf::Result<std::vector<std::uint8_t>>(
                                 swf::makeError(swf::ErrorCode::CannotOpen, "no host"));
    if (bytes) {
        // Sound.id3 holds the tag's fields, set before onID3 hears of them.
        const sound::Id3Fields fields = sound::readId3Tags(*bytes);
        if (!fields.empty() || sound::hasId3Tag(*bytes)) {
            Object* id3 = vm.makeObject();
            for (const auto& [name, text] : fields)
                vm.setMember(id3, name, vm.strValue(text));
            object->defineValue(vm, "id3", Value(id3));
            callHandler(vm, object, "onID3", {});
        }
    }
    std::shared_ptr<const sound::DecodedSound> decoded;
    if (bytes) {
        if (auto samples = sound::decodeMp3File(*bytes))
            decoded = std::make_shared<const sound::DecodedSound>(std::move(samples.value()));
    }
    state->loading = false;
    state->loaded = decoded;
    state->loadedBytes = decoded ? bytes->size() : 0;
    if (decoded && state->streaming)
        startSound(vm, object);
    callHandler(vm, object, "onLoad", std::vector<Value>{Value(decoded != nullptr)});
}

} // namespace

void SoundEvents::deliver(Vm& vm, runtime::MovieSounds& sounds)
{
    const std::vector<runtime::MovieSounds::VoiceId> endedList = sounds.mixer().takeEnded();
    const std::set<runtime::MovieSounds::VoiceId> ended(endedList.begin(), endedList.end());
    for (Object* object : std::exchange(m_loads, {}))
        finishLoad(vm, object);
    std::vector<Object*> completed;
    std::erase_if(m_playing, [&](Object* object) {
        SoundState* state = soundStateOf(object);
        if (!state || !state->voice || !state->sounds) // stopped
            return true;
        if (state->sounds->mixer().isPlaying(state->voice))
            return false;
        if (ended.count(state->voice)) {
            // An ended sound stands at its end.
            state->voice = 0;
            if (state->loaded && state->loaded->rate > 0)
                state->positionMs = double(state->loaded->frames()) * 1000.0 / state->loaded->rate;
            else if (state->character)
                if (auto definition = runtime::MovieSounds::definition(*state->character))
                    state->positionMs = definition->durationMs();
            state->positionMs = std::round(state->positionMs);
            completed.push_back(object);
        }
        return true;
    });
    for (Object* object : completed)
        callHandler(vm, object, "onSoundComplete", {});
}

void SoundEvents::traceChildren(Tracer& tracer)
{
    for (Object* object : m_playing)
        tracer.mark(object);
    for (Object* object : m_loads)
        tracer.mark(object);
}

SoundEvents& soundEvents(Vm& vm)
{
    Cell*& slot = vm.builtins().sounds;
    if (!slot) {
        auto* events = vm.heap().make<SoundEvents>();
        slot = events;
        vm.addRoots([events](Tracer& tracer) { tracer.mark(events); });
    }
    return *static_cast<SoundEvents*>(slot);
}

} // namespace avm1
