#pragma once

// What a Sound object keeps beyond its properties, and the sounds in play that scripts
// wait on: the completions and loads delivered after each step's scripts.
#include "avm1/Heap.h"
#include "avm1/Value.h"
#include "runtime/MovieSounds.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace avm1 {

class Object;
class Vm;

class SoundState final : public Cell {
public:
    Value target; // the constructor's argument: a clip, a path, or nothing for all sounds
    const swf::Character* character = nullptr;         // attachSound's
    std::shared_ptr<const sound::DecodedSound> loaded; // loadSound's
    std::size_t loadedBytes = 0;
    bool loading = false; // loadSound asked, the file not read yet
    bool streaming = false;
    std::string url;
    runtime::MovieSounds* sounds = nullptr; // where the last start played
    runtime::MovieSounds::VoiceId voice = 0;
    double positionMs = 0; // where the last voice stood when last seen

    void traceChildren(Tracer& tracer) override { tracer.mark(target); }
};

// Sound objects whose sound plays, for onSoundComplete, and loads awaiting onLoad.
class SoundEvents final : public Cell {
public:
    void playing(Object* sound);
    void load(Object* sound);
    // After the step's scripts: the files asked for are read (onID3 when they carry
    // tags, then onLoad), and onSoundComplete for the sounds that ended.
    void deliver(Vm& vm, runtime::MovieSounds& sounds);
    void traceChildren(Tracer& tracer) override;

private:
    std::vector<Object*> m_playing;
    std::vector<Object*> m_loads;
};

SoundEvents& soundEvents(Vm& vm);
SoundState* soundStateOf(Object* object);
// Starts the object's sound as Sound.start(0, 1) does.
void startSound(Vm& vm, Object* sound);

} // namespace avm1
