#pragma once

// The player's sound: event sounds the timelines and scripts start, the timelines'
// stream sounds, and the mixer they play through, which the host's audio sink pulls
// from. Without a sink nothing is decoded or played.
#include "Host.h"
#include "format/Movie.h"
#include "sound/DecodedSound.h"
#include "sound/EventVoice.h"
#include "sound/Mixer.h"
#include "sound/StreamDecoder.h"
#include "sound/StreamVoice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace runtime {

class MovieSounds {
public:
    using VoiceId = sound::Mixer::VoiceId;

    explicit MovieSounds(Host& host);
    ~MovieSounds();
    MovieSounds(const MovieSounds&) = delete;
    MovieSounds& operator=(const MovieSounds&) = delete;

    /// Whether sound plays at all: the host has an output.
    bool active() const { return m_sink != nullptr; }
    sound::Mixer& mixer() { return *m_mixer; }

    /// The sound character's decoded samples (decoded once, then shared), or null for a
    /// character that is no sound or cannot be decoded.
    std::shared_ptr<const sound::DecodedSound> decoded(const swf::Character& character);
    /// The sound character's definition header (format, frame count), read again each
    /// call; nothing for a character that is no sound.
    static std::optional<sound::SoundDefinition> definition(const swf::Character& character);

    /// StartSound and StartSound2 as the timeline of clip `owner` meets them in `movie`.
    void startSound(const swf::MovieDefinition& movie, const swf::StartSound& tag,
                    std::uint64_t owner = 0);
    /// Plays the sound character for `owner` (a clip's id; 0 for none), under the owner's
    /// script transform; 0 when it plays not (no output, no sound, no room).
    VoiceId startEvent(const swf::Character& character, sound::EventPlayback playback,
                       std::uint64_t owner = 0);
    /// The same for samples a script loaded; `tag` groups its voices for stopEvent.
    VoiceId startDecoded(std::shared_ptr<const sound::DecodedSound> samples,
                         sound::EventPlayback playback, std::uint64_t owner, std::uintptr_t tag);
    void stopEvent(const swf::Character& character);
    bool isEventPlaying(const swf::Character& character) const;
    /// The sounds `owner` started stop; owner 0 stops every sound.
    void stopOwned(std::uint64_t owner);
    /// Every sound stops: StopSounds and stopAllSounds.
    void stopAll();

    /// What scripts set on an owner's sounds through Sound objects, in percent and kept
    /// as given (beyond 32 bits, as the pan arithmetic can take them); owner 0's applies
    /// to every sound.
    struct ScriptTransform {
        double volume = 100;
        double leftToLeft = 100;
        double leftToRight = 0;
        double rightToLeft = 0;
        double rightToRight = 100;
    };
    ScriptTransform scriptTransform(std::uint64_t owner) const;
    void setScriptTransform(std::uint64_t owner, const ScriptTransform& transform);

    /// The timeline of clip `clipId` has entered `frame` during step `step`: its stream
    /// sound goes on with that frame's block, or starts again there after a jump.
    void streamFrame(std::uint64_t clipId, const swf::Timeline& timeline, std::size_t frame,
                     std::uint64_t step);
    /// The step is over: streams whose timeline entered no frame in it (stopped or
    /// removed clips) stop.
    void endStep(std::uint64_t step);
    /// Whether a timeline's stream sound is playing now (the control then keeps the
    /// movie's time by the sound's).
    bool streamPlaying() const;

private:
    struct Stream {
        const swf::Timeline* timeline = nullptr;
        std::optional<sound::StreamDecoder> decoder;
        VoiceId voice = 0;
        std::size_t lastFrame = 0;
        std::uint64_t step = 0;
    };
    void startStream(Stream& stream, const swf::Timeline& timeline);
    void log(const std::string& message);
    VoiceId play(std::unique_ptr<sound::Voice> voice, std::uintptr_t tag, std::uint64_t owner);
    sound::SoundTransform mixTransform(std::uint64_t owner) const;

    Host& m_host;
    AudioSink* m_sink = nullptr;
    std::shared_ptr<sound::Mixer> m_mixer;
    // Decoded event sounds by definition. The coded bytes are kept beside the samples: a
    // movie that was unloaded frees its definitions, and another may later sit at the
    // same address, so a hit counts only when the bytes are the same too.
    struct CachedSound {
        std::vector<std::uint8_t> coded;
        std::shared_ptr<const sound::DecodedSound> samples;
    };
    std::map<const swf::Character*, CachedSound> m_decoded;
    std::map<std::uint64_t, Stream> m_streams;
    std::map<std::uint64_t, ScriptTransform> m_scriptTransforms;
    std::map<VoiceId, std::uint64_t> m_owners; // event voices with an owner
};

} // namespace runtime
