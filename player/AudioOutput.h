#pragma once

#include "runtime/AudioSink.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

namespace player {

class AudioWorker;

// The control's sound output: Qt Multimedia's audio sink on the system's default output,
// run on a thread of its own that pulls from the engine's mixer with a small buffer (at
// most 50 ms, so Stop is heard at once). Without a device, or with one that fails, the
// movie plays on silently after one diagnostic line.
class AudioOutput final : public runtime::AudioSink {
public:
    AudioOutput();
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // The device opens once the mix first has something to play (see wake), so a movie
    // without sound never touches the system's audio.
    void connect(std::shared_ptr<sound::AudioSource> mix) override;
    // Stops the thread and closes the device.
    void disconnect() override;

    // Paused, the output plays silence and the mixer is not pulled: the movie's sounds
    // wait where they are.
    void setPaused(bool paused);
    bool isOpen() const;
    // Frames handed to the device so far, silence included.
    std::uint64_t framesFed() const;
    // How much of what was fed the device has played, in milliseconds; nothing while no
    // device is open.
    std::optional<std::int64_t> heardMs() const;
    // Opens the device if the mix now sounds and it was not tried yet; the session calls
    // it after each step.
    void wake();
    // Whether the system has a default sound output.
    static bool hasDevice();

    // The buffer the device is given, in milliseconds at most.
    static constexpr int kBufferMilliseconds = 50;

private:
    std::shared_ptr<sound::AudioSource> m_mix;
    bool m_tried = false;
    QThread m_thread;
    AudioWorker* m_worker = nullptr;
    std::shared_ptr<std::atomic<bool>> m_paused = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<std::uint64_t>> m_fed =
        std::make_shared<std::atomic<std::uint64_t>>(0);
    std::shared_ptr<std::atomic<std::int64_t>> m_heard =
        std::make_shared<std::atomic<std::int64_t>>(-1);
};

} // namespace player
