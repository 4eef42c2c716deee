#include "AudioOutput.h"

#include "Diagnostics.h"
#include "sound/AudioSource.h"
#include "sound/Limits.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>

namespace player {

namespace {

constexpr int kBytesPerFrame = 2 * 2; // 16-bit stereo
// How often the output is topped up: well inside the buffer, so it never runs dry.
constexpr int kFeedMilliseconds = 10;

} // namespace

// Lives on the output's thread: the audio sink is made, fed and closed there. It is fed
// by a timer of its own (push mode) rather than pulled by the sink, whose pull timing
// on PulseAudio stalls with a buffer as small as ours.
class AudioWorker final : public QObject {
public:
    void open(std::shared_ptr<sound::AudioSource> mix, std::shared_ptr<std::atomic<bool>> paused,
              std::shared_ptr<std::atomic<std::uint64_t>> fed,
              std::shared_ptr<std::atomic<std::int64_t>> heard)
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            qCDebug(lcPlayerSound, "no sound output: the movie plays silently");
            return;
        }
        QAudioFormat format;
        format.setSampleRate(sound::limits::kOutputRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            qCDebug(lcPlayerSound, "the sound output takes no 44.1 kHz stereo: silent");
            return;
        }
        m_mix = std::move(mix);
        m_paused = std::move(paused);
        m_fed = std::move(fed);
        m_heard = std::move(heard);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(sound::limits::kOutputRate * kBytesPerFrame *
                              AudioOutput::kBufferMilliseconds / 1000);
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, this, [this] {
            if (m_sink && m_sink->error() != QAudio::NoError &&
                m_sink->error() != QAudio::UnderrunError && !m_failed) {
                m_failed = true;
                m_heard->store(-1);
                qCDebug(lcPlayerSound, "the sound output failed: the movie plays silently");
            }
        });
        m_output = m_sink->start();
        if (!m_output) {
            m_failed = true;
            qCDebug(lcPlayerSound, "the sound output did not start: the movie plays silently");
            return;
        }
        m_timer = std::make_unique<QTimer>();
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer.get(), &QTimer::timeout, this, [this] { feed(); });
        m_timer->start(kFeedMilliseconds);
        feed();
    }

    void close()
    {
        if (m_heard)
            m_heard->store(-1);
        m_timer.reset();
        if (m_sink)
            m_sink->stop();
        m_output = nullptr;
        m_sink.reset();
        m_mix.reset();
    }

    bool isOpen() const { return m_sink && m_output && !m_failed; }

private:
    // Fills what the sink has room for: the mixer's floats as 16-bit samples, or silence
    // while paused (the mixer is then not pulled, so the sounds wait where they are).
    void feed()
    {
        if (!m_sink || !m_output || m_failed)
            return;
        const auto frames = std::size_t(std::max<qint64>(0, m_sink->bytesFree()) / kBytesPerFrame);
        if (frames == 0)
            return;
        m_samples.resize(2 * frames);
        if (m_paused->load() || !m_mix) {
            std::fill(m_samples.begin(), m_samples.end(), std::int16_t(0));
        } else {
            m_buffer.resize(2 * frames);
            m_mix->read(m_buffer.data(), frames);
            for (std::size_t i = 0; i < 2 * frames; ++i)
                m_samples[i] =
                    std::int16_t(std::lrint(std::clamp(m_buffer[i], -1.0f, 1.0f) * 32767.0f));
        }
        const qint64 written = m_output->write(reinterpret_cast<const char*>(m_samples.data()),
                                               qint64(frames) * kBytesPerFrame);
        if (written > 0)
            m_fed->fetch_add(std::uint64_t(written / kBytesPerFrame));
        // What the device holds is still to be heard.
        const qint64 held = std::max<qint64>(0, m_sink->bufferSize() - m_sink->bytesFree());
        const auto heard = static_cast<std::int64_t>(m_fed->load()) - held / kBytesPerFrame;
        m_heard->store(std::max<std::int64_t>(0, heard));
    }

    std::shared_ptr<sound::AudioSource> m_mix;
    std::shared_ptr<std::atomic<bool>> m_paused;
    std::shared_ptr<std::atomic<std::uint64_t>> m_fed;
    std::shared_ptr<std::atomic<std::int64_t>> m_heard;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_output = nullptr; // the sink's
    std::unique_ptr<QTimer> m_timer;
    std::vector<float> m_buffer;
    std::vector<std::int16_t> m_samples;
    bool m_failed = false;
};

AudioOutput::AudioOutput()
{
    m_thread.setObjectName("reelvane-audio");
}

AudioOutput::~AudioOutput()
{
    disconnect();
}

void AudioOutput::connect(std::shared_ptr<sound::AudioSource> mix)
{
    disconnect();
    m_mix = std::move(mix);
    m_tried = false;
}

void AudioOutput::wake()
{
    if (m_tried || !m_mix || !m_mix->sounding())
        return;
    m_tried = true;
    m_worker = new AudioWorker;
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, mix = m_mix, paused = m_paused, fed = m_fed, heard = m_heard] {
            worker->open(mix, paused, fed, heard);
        },
        Qt::BlockingQueuedConnection);
}

void AudioOutput::disconnect()
{
    m_mix.reset();
    if (!m_worker)
        return;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { worker->close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
    m_worker = nullptr;
}

bool AudioOutput::hasDevice()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void AudioOutput::setPaused(bool paused)
{
    m_paused->store(paused);
}

std::uint64_t AudioOutput::framesFed() const
{
    return m_fed->load();
}

std::optional<std::int64_t> AudioOutput::heardMs() const
{
    const std::int64_t frames = m_heard->load();
    if (frames < 0)
        return std::nullopt;
    return frames * 1000 / sound::limits::kOutputRate;
}

bool AudioOutput::isOpen() const
{
    if (!m_worker)
        return false;
    bool open = false;
    QMetaObject::invokeMethod(
        m_worker, [&] { open = m_worker->isOpen(); }, Qt::BlockingQueuedConnection);
    return open;
}

} // namespace player
