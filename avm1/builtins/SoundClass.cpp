// Sound: scripts play the movie's sounds (attachSound, by their export names) or MP3
// files beside the movie (loadSound), and set the volume and balance of a clip's sounds,
// or of every sound for a Sound made without a clip. The levels are kept as given:
// setVolume and setPan take whole numbers the way a 32-bit conversion of the processor
// gives them (out of range is the smallest integer), setTransform wraps them at 32 bits.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "SoundState.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/Limits.h"
#include "avm1/ScriptHost.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/MovieSounds.h"
#include "runtime/PlayerContext.h"
#include "sound/Limits.h"
#include "sound/Mp3File.h"

#include <cmath>
#include <limits>

namespace avm1 {

namespace {

SoundState* stateOf(const CallArgs& call)
{
    return soundStateOf(call.thisObject());
}

runtime::DisplayObject* liveObject(Object* object)
{
    ClipObject* clip = asClip(object);
    ClipObject* live = clip ? clip->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

// The clip whose sounds the object controls now; null for every sound (or a target
// that is gone).
runtime::DisplayObject* targetClip(Vm& vm, const SoundState& state, bool& global)
{
    global = state.target.isNullish();
    if (global)
        return nullptr;
    if (Object* object = state.target.objectOrNull(); asClip(object))
        return liveObject(object);
    const std::string path = vm.toStdString(state.target);
    if (vm.throwing())
        return nullptr;
    Interpreter& in = vm.interpreter();
    Object* found = in.current() ? in.resolveTarget(*in.current(), path)
                                 : resolveTargetFrom(vm, in.rootClip(), path);
    return liveObject(found);
}

struct Owner {
    runtime::MovieSounds* sounds = nullptr;
    const swf::MovieDefinition* movie = nullptr;
    std::uint64_t id = 0; // 0: every sound
};

std::optional<Owner> ownerOf(Vm& vm, const SoundState& state)
{
    bool global = false;
    runtime::DisplayObject* clip = targetClip(vm, state, global);
    runtime::DisplayObject* root = liveObject(vm.interpreter().rootClip());
    runtime::DisplayObject* place = clip ? clip : global ? root : nullptr;
    if (!place)
        return std::nullopt;
    return Owner{&place->context().sounds(), &place->movie(), clip ? clip->id() : 0};
}

// A 32-bit conversion as the processor does it: NaN and values out of range become the
// smallest integer. A missing argument is 0.
double processorInt(Vm& vm, const Value& value)
{
    if (value.isUndefined())
        return 0;
    const double n = vm.toNumber(value);
    if (!std::isfinite(n) || n >= 2147483648.0 || n < -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return std::trunc(n);
}

std::optional<double> durationMs(const SoundState& state)
{
    if (state.loading)
        return 0;
    if (state.loaded && state.loaded->rate > 0)
        return std::round(double(state.loaded->frames()) * 1000.0 / state.loaded->rate);
    if (state.character) {
        if (auto definition = runtime::MovieSounds::definition(*state.character))
            return std::round(definition->durationMs());
    }
    return std::nullopt;
}

double positionMs(SoundState& state)
{
    if (state.sounds && state.voice) {
        if (auto position = state.sounds->mixer().positionMs(state.voice))
            state.positionMs = *position;
    }
    return std::floor(state.positionMs);
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    // An object takes its native part once: a second construction (a second super()
    // call, or the constructor called on a clip) leaves what it holds.
    if (!self || self->nativeState())
        return Value();
    auto* state = vm.heap().make<SoundState>();
    state->target = call.arg(0);
    self->setNativeState(state);
    // Every Sound has its own policy-file switch, off; the player reads local files
    // only, so nothing reads it.
    self->defineValue(vm, "checkPolicyFile", Value(false));
    // A target that is no clip is named by its text, which its conversion gives now.
    if (Object* object = state->target.objectOrNull(); object && !asClip(object))
        vm.toStdString(state->target);
    return Value();
}

Value getDuration(Vm& vm, const CallArgs& call);
Value getPosition(Vm& vm, const CallArgs& call);

// Once a sound is attached or loading, duration and position read as properties of the
// object itself, which scripts cannot overwrite. Values a script stored under both names
// before stay instead; a value under one name alone gives way to the readout.
void defineOwnReadouts(Vm& vm, Object* self)
{
    static constexpr std::pair<const char*, NativeFn> kReadouts[] = {{"duration", getDuration},
                                                                     {"position", getPosition}};
    if (!self)
        return;
    bool bothStored = true;
    for (const auto& readout : kReadouts) {
        const Property* p = self->properties().find(vm.str(readout.first), vm.caseRule());
        bothStored = bothStored && p && !p->isAccessor();
    }
    if (bothStored)
        return;
    for (const auto& [name, getter] : kReadouts) {
        String* key = vm.str(name);
        NativeFunction* function = vm.defineMethod(vm.makeObject(), name, getter);
        Property* p = self->properties().find(key, vm.caseRule());
        if (!p) {
            self->defineValue(key, Value(), 0, vm.caseRule());
            p = self->properties().find(key, vm.caseRule());
        }
        if (!p)
            continue;
        p->value = Value();
        p->getter = function;
        p->setter = nullptr;
        p->flags = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    }
}

Value attachSound(Vm& vm, const CallArgs& call)
{
    SoundState* state = stateOf(call);
    if (!state)
        return Value();
    const std::string name = vm.toStdString(call.arg(0));
    auto owner = ownerOf(vm, *state);
    if (vm.throwing() || !owner)
        return Value();
    auto exported = owner->movie->exports.find(name);
    if (exported == owner->movie->exports.end())
        return Value();
    const swf::Character* character = owner->movie->character(exported->second);
    if (!character || !runtime::MovieSounds::definition(*character))
        return Value();
    state->character = character;
    state->loaded.reset();
    state->loading = false;
    state->positionMs = 0;
    defineOwnReadouts(vm, call.thisObject());
    return Value();
}

Value start(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    SoundState* state = stateOf(call);
    if (!state || (!state->character && !state->loaded))
        return Value();
    const double offset = call.count() > 0 ? vm.toNumber(call.arg(0)) : 0;
    const double loops = call.count() > 1 ? vm.toNumber(call.arg(1)) : 1;
    auto owner = ownerOf(vm, *state);
    if (vm.throwing() || !owner)
        return Value();
    sound::EventPlayback playback;
    if (std::isfinite(offset) && offset > 0)
        playback.inPoint44 =
            std::uint32_t(std::min(offset * sound::limits::kOutputRate, 4294967295.0));
    if (std::isfinite(loops) && loops > 1)
        playback.loops = std::uint32_t(std::min<double>(loops, sound::limits::kMaxLoops));
    state->sounds = owner->sounds;
    state->positionMs = 0;
    if (state->loaded)
        state->voice = owner->sounds->startDecoded(state->loaded, playback, owner->id,
                                                   reinterpret_cast<std::uintptr_t>(state));
    else
        state->voice = owner->sounds->startEvent(*state->character, playback, owner->id);
    if (state->voice)
        soundEvents(vm).playing(self);
    return Value();
}

Value stop(Vm& vm, const CallArgs& call)
{
    SoundState* state = stateOf(call);
    if (!state)
        return Value();
    auto owner = ownerOf(vm, *state);
    if (vm.throwing() || !owner)
        return Value();
    if (call.count() > 0) {
        const std::string name = vm.toStdString(call.arg(0));
        auto exported = owner->movie->exports.find(name);
        if (exported != owner->movie->exports.end()) {
            if (const swf::Character* character = owner->movie->character(exported->second))
                owner->sounds->stopEvent(*character);
        }
        return Value();
    }
    positionMs(*state);
    owner->sounds->stopOwned(owner->id);
    state->voice = 0;
    return Value();
}

using Transform = runtime::MovieSounds::ScriptTransform;

template <typename Read> Value readTransform(Vm& vm, const CallArgs& call, Read read)
{
    SoundState* state = stateOf(call);
    auto owner = state ? ownerOf(vm, *state) : std::nullopt;
    if (!owner)
        return Value();
    return read(owner->sounds->scriptTransform(owner->id));
}

template <typename Change> Value changeTransform(Vm& vm, const CallArgs& call, Change change)
{
    SoundState* state = stateOf(call);
    auto owner = state ? ownerOf(vm, *state) : std::nullopt;
    if (!owner)
        return Value();
    Transform t = owner->sounds->scriptTransform(owner->id);
    if (!change(t) || vm.throwing())
        return Value();
    owner->sounds->setScriptTransform(owner->id, t);
    return Value();
}

Value getVolume(Vm& vm, const CallArgs& call)
{
    return readTransform(vm, call, [](const Transform& t) { return Value(t.volume); });
}

Value setVolume(Vm& vm, const CallArgs& call)
{
    const double volume = processorInt(vm, call.arg(0));
    return changeTransform(vm, call, [&](Transform& t) {
        t.volume = volume;
        return true;
    });
}

// The balance as the left and right levels show it: a left level other than full says
// how far the sound leans right, and otherwise the right level how far it leans left.
Value getPan(Vm& vm, const CallArgs& call)
{
    return readTransform(vm, call, [](const Transform& t) {
        if (t.leftToLeft != 100)
            return Value(100 - std::abs(t.leftToLeft));
        return Value(std::abs(t.rightToRight) - 100);
    });
}

Value setPan(Vm& vm, const CallArgs& call)
{
    const double pan = processorInt(vm, call.arg(0));
    return changeTransform(vm, call, [&](Transform& t) {
        t.leftToLeft = pan > 0 ? 100 - pan : 100;
        t.rightToRight = pan < 0 ? 100 + pan : 100;
        t.leftToRight = 0;
        t.rightToLeft = 0;
        return true;
    });
}

struct Level {
    const char* name;
    double Transform::*field;
};
constexpr Level kLevels[] = {{"ll", &Transform::leftToLeft},
                             {"lr", &Transform::leftToRight},
                             {"rr", &Transform::rightToRight},
                             {"rl", &Transform::rightToLeft}};

Value getTransform(Vm& vm, const CallArgs& call)
{
    return readTransform(vm, call, [&](const Transform& t) {
        Object* out = vm.makeObject();
        for (const Level& level : kLevels)
            out->defineValue(vm, level.name, Value(t.*level.field));
        return Value(out);
    });
}

// Only the levels the object has of its own change.
Value setTransform(Vm& vm, const CallArgs& call)
{
    Object* given = call.arg(0).objectOrNull();
    if (!given)
        return Value();
    return changeTransform(vm, call, [&](Transform& t) {
        for (const Level& level : kLevels) {
            String* name = vm.str(level.name);
            if (!vm.hasOwnProperty(given, name))
                continue;
            const std::int32_t value = vm.toInt32(vm.getMember(given, name));
            if (vm.throwing())
                return false;
            t.*level.field = value;
        }
        return true;
    });
}

Value getDuration(Vm&, const CallArgs& call)
{
    SoundState* state = stateOf(call);
    auto duration = state ? durationMs(*state) : std::nullopt;
    return duration ? Value(*duration) : Value();
}

Value getPosition(Vm&, const CallArgs& call)
{
    SoundState* state = stateOf(call);
    if (!state || (!state->character && !state->loaded && !state->loading))
        return Value();
    return Value(positionMs(*state));
}

Value getBytesLoaded(Vm&, const CallArgs& call)
{
    SoundState* state = stateOf(call);
    return state && state->loaded ? Value(double(state->loadedBytes)) : Value();
}

// loadSound(url, streaming): the file is read after the step's scripts, as other loads
// are; until then the sound is there with no length. A streaming sound starts playing
// as it loads.
Value loadSound(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    SoundState* state = stateOf(call);
    if (!state)
        return Value();
    const std::string url = vm.toStdString(call.arg(0));
    const bool streaming = vm.toBoolean(call.arg(1));
    if (vm.throwing())
        return Value();
    state->character = nullptr;
    state->loaded.reset();
    state->loading = true;
    state->streaming = streaming;
    state->url = url;
    state->positionMs = 0;
    defineOwnReadouts(vm, self);
    soundEvents(vm).load(self);
    return Value();
}

Value stopAllSounds(Vm& vm, const CallArgs&)
{
    if (runtime::DisplayObject* root = liveObject(vm.interpreter().rootClip()))
        root->context().sounds().stopAll();
    return Value();
}

} // namespace

void startSound(Vm& vm, Object* sound)
{
    start(vm, CallArgs{Value(sound), {}, nullptr, false});
}

SoundState* soundStateOf(Object* object)
{
    return object ? dynamic_cast<SoundState*>(object->nativeState()) : nullptr;
}

void installSound(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("Sound", proto, construct);
    vm.defineMethods(proto, {{"attachSound", attachSound},
                             {"getPan", getPan},
                             {"getTransform", getTransform},
                             {"getVolume", getVolume},
                             {"setPan", setPan},
                             {"setTransform", setTransform},
                             {"setVolume", setVolume},
                             {"start", start},
                             {"stop", stop}});
    // The loading side and the time readouts came with SWF 6; setDuration and
    // setPosition are there too, and change nothing.
    vm.defineMethods(proto,
                     {{"getBytesLoaded", getBytesLoaded},
                      {"getBytesTotal", getBytesLoaded},
                      {"getDuration", getDuration},
                      {"setDuration", returnsUndefined},
                      {"getPosition", getPosition},
                      {"setPosition", returnsUndefined},
                      {"loadSound", loadSound}},
                     PropertyFlag::DontEnum | VersionFlag::SinceSwf6);
    vm.defineMethod(vm.global(), "stopAllSounds", stopAllSounds);
}

} // namespace avm1
