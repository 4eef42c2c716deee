#include "AudioOutput.h"

#include "Diagnostics.h"
#include "sound/AudioSource.h"
#include "sound/Limits.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <vector>

namespace player {

namespace {

constexpr int kBytesPerFrame = 2 * 2; // 16-bit stereo

// What the device pulls from: the mixer's floats as 16-bit samples, or silence while
// paused.
class MixDevice final : public QIODevice {
public:
    MixDevice(std::shared_ptr<sound::AudioSource> mix, std::shared_ptr<std::atomic<bool>> paused)
        : m_mix(std::move(mix)), m_paused(std::move(paused))
    {}

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return qint64(1) << 20; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const auto frames = std::size_t(maxSize / kBytesPerFrame);
        auto* out = reinterpret_cast<std::int16_t*>(data);
        if (m_paused->load() || !m_mix) {
            std::fill(out, out + 2 * frames, std::int16_t(0));
            return qint64(frames) * kBytesPerFrame;
        }
        m_buffer.resize(2 * frames);
        m_mix->read(m_buffer.data(), frames);
        for (std::size_t i = 0; i < 2 * frames; ++i)
            out[i] = std::int16_t(std::lrint(std::clamp(m_buffer[i], -1.0f, 1.0f) * 32767.0f));
        return qint64(frames) * kBytesPerFrame;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::shared_ptr<sound::AudioSource> m_mix;
    std::shared_ptr<std::atomic<bool>> m_paused;
    std::vector<float> m_buffer;
};

} // namespace

// Lives on the output's thread: the audio sink is made, fed and closed there.
class AudioWorker final : public QObject {
public:
    void open(std::shared_ptr<sound::AudioSource> mix, std::shared_ptr<std::atomic<bool>> paused)
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
        m_device = std::make_unique<MixDevice>(std::move(mix), std::move(paused));
        m_device->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(sound::limits::kOutputRate * kBytesPerFrame *
                              AudioOutput::kBufferMilliseconds / 1000);
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, this, [this] {
            if (m_sink && m_sink->error() != QAudio::NoError && !m_failed) {
                m_failed = true;
                qCDebug(lcPlayerSound, "the sound output failed: the movie plays silently");
            }
        });
        m_sink->start(m_device.get());
    }

    void close()
    {
        if (m_sink)
            m_sink->stop();
        m_sink.reset();
        m_device.reset();
    }

    bool isOpen() const { return m_sink && !m_failed; }

private:
    std::unique_ptr<MixDevice> m_device;
    std::unique_ptr<QAudioSink> m_sink;
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
        [worker = m_worker, mix = m_mix, paused = m_paused] { worker->open(mix, paused); },
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
