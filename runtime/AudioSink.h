#pragma once

#include <memory>

namespace sound {
class AudioSource;
}

namespace runtime {

/// Where a player's sound goes; the host implements it (Host::audioSink). The engine mixes
/// everything it plays into one source (44.1 kHz stereo float, sound/AudioSource.h) and
/// hands it over once, as the player is made; the sink pulls from it on its own schedule,
/// from any thread, until the player takes it back as it goes.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    virtual void connect(std::shared_ptr<sound::AudioSource> mix) = 0;
    /// After this returns the sink reads from the mix no more.
    virtual void disconnect() = 0;
};

} // namespace runtime
