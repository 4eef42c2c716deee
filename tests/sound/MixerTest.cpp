// Voices and the mixer: resampling to 44.1 kHz stereo, loops, in and out points,
// envelopes, the owner's transform, soft clipping, the voice cap and stream queues.
#include "sound/Mixer.h"

#include "ToneEncoder.h"
#include "sound/EventVoice.h"
#include "sound/StreamVoice.h"

#include <QtTest>

namespace {

using sound::limits::kOutputRate;

std::shared_ptr<const sound::DecodedSound> tone(double hz, double rate, std::size_t frames,
                                                int channels = 1, double level = 0.5)
{
    auto decoded = std::make_shared<sound::DecodedSound>();
    decoded->rate = rate;
    decoded->channels = channels;
    decoded->samples = tones::sine(hz, rate, frames, channels, level);
    return decoded;
}

// Everything the source gives, read in odd-sized pieces as an output would.
std::vector<float> readAll(sound::AudioSource& source, std::size_t cap = 10 * kOutputRate)
{
    std::vector<float> out;
    std::vector<float> buffer(2 * 777);
    while (out.size() < 2 * cap) {
        const std::size_t got = source.read(buffer.data(), 777);
        out.insert(out.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(2 * got));
        if (got < 777)
            break;
    }
    return out;
}

std::vector<float> mixed(sound::Mixer& mixer, std::size_t frames)
{
    std::vector<float> out(2 * frames);
    mixer.read(out.data(), frames);
    return out;
}

std::span<const float> window(const std::vector<float>& samples, std::size_t first,
                              std::size_t frames)
{
    return std::span(samples).subspan(2 * first, 2 * frames);
}

} // namespace

class MixerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eventVoiceResamplesToTheOutputRate_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("5.5 kHz mono") << 5512.5 << 1;
        QTest::newRow("11 kHz stereo") << 11025.0 << 2;
        QTest::newRow("22 kHz mono") << 22050.0 << 1;
        QTest::newRow("44 kHz stereo") << 44100.0 << 2;
        QTest::newRow("8 kHz mono") << 8000.0 << 1;
    }
    void eventVoiceResamplesToTheOutputRate()
    {
        QFETCH(double, rate);
        QFETCH(int, channels);
        const std::size_t frames = std::size_t(rate / 2);
        sound::EventVoice voice(tone(440, rate, frames, channels), {});
        const std::vector<float> out = readAll(voice);
        // Half a second at any rate is half a second out, in both channels.
        QVERIFY(std::abs(double(out.size() / 2) - kOutputRate / 2.0) <= 2);
        for (int c = 0; c < 2; ++c) {
            QVERIFY(std::abs(tones::frequency(out, 2, c, kOutputRate) - 440) < 2);
            QVERIFY(std::abs(tones::rms(out, 2, c) - 0.3536) < 0.01);
        }
    }

    void loopsAndPointsSetTheLength_data()
    {
        QTest::addColumn<int>("loops");
        QTest::addColumn<int>("inPoint");
        QTest::addColumn<int>("outPoint"); // -1: none
        QTest::addColumn<int>("expectedFrames");
        QTest::newRow("once") << 1 << 0 << -1 << 22050;
        QTest::newRow("three times") << 3 << 0 << -1 << 3 * 22050;
        QTest::newRow("in point") << 1 << 4410 << -1 << 22050 - 4410;
        QTest::newRow("in and out points, twice") << 2 << 4410 << 13230 << 2 * 8820;
        QTest::newRow("out point past the end") << 1 << 0 << 99999 << 22050;
        QTest::newRow("in point past the end") << 4 << 99999 << -1 << 0;
    }
    void loopsAndPointsSetTheLength()
    {
        QFETCH(int, loops);
        QFETCH(int, inPoint);
        QFETCH(int, outPoint);
        QFETCH(int, expectedFrames);
        sound::EventPlayback playback;
        playback.loops = std::uint32_t(loops);
        playback.inPoint44 = std::uint32_t(inPoint);
        if (outPoint >= 0)
            playback.outPoint44 = std::uint32_t(outPoint);
        // The points are in 44.1 kHz frames whatever the sound's rate.
        sound::EventVoice voice(tone(1000, 11025, 5512), playback);
        const std::vector<float> out = readAll(voice);
        QVERIFY2(std::abs(int(out.size() / 2) - expectedFrames) <= 4 * loops,
                 qPrintable(QString::number(out.size() / 2)));
    }

    void envelopeShapesTheLevels()
    {
        sound::EventPlayback playback;
        // The left channel rises from silence over one second as the right one falls.
        playback.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
        sound::EventVoice voice(tone(1000, 44100, 44100), playback);
        const std::vector<float> out = readAll(voice);
        QCOMPARE(out.size(), std::size_t(2 * 44100));
        const auto start = window(out, 0, 4410);
        const auto middle = window(out, 22050 - 2205, 4410);
        const auto end = window(out, 44100 - 4410, 4410);
        QVERIFY(tones::rms(start, 2, 0) < 0.03);
        QVERIFY(tones::rms(start, 2, 1) > 0.33);
        QVERIFY(std::abs(tones::rms(middle, 2, 0) - 0.177) < 0.02);
        QVERIFY(std::abs(tones::rms(middle, 2, 1) - 0.177) < 0.02);
        QVERIFY(tones::rms(end, 2, 0) > 0.33);
        QVERIFY(tones::rms(end, 2, 1) < 0.03);
    }

    void transformRoutesAndScalesChannels()
    {
        sound::Mixer mixer;
        sound::SoundTransform transform;
        // The left channel to the right one alone, the right channel dropped, at half
        // volume.
        transform.leftToLeft = 0;
        transform.leftToRight = 1;
        transform.rightToRight = 0;
        transform.volume = 0.5;
        QVERIFY(mixer.play(
            std::make_unique<sound::EventVoice>(tone(1000, 44100, 44100), sound::EventPlayback{}),
            0, transform));
        const std::vector<float> out = mixed(mixer, 22050);
        QVERIFY(tones::rms(out, 2, 0) < 1e-6);
        QVERIFY(std::abs(tones::rms(out, 2, 1) - 0.177) < 0.01);
        // The master transform applies over the voice's own.
        sound::SoundTransform quiet;
        quiet.volume = 0.5;
        mixer.setMasterTransform(quiet);
        const std::vector<float> later = mixed(mixer, 22050);
        QVERIFY(std::abs(tones::rms(later, 2, 1) - 0.088) < 0.01);
    }

    void loudMixesAreSoftClipped()
    {
        sound::Mixer mixer;
        for (int i = 0; i < 4; ++i)
            mixer.play(std::make_unique<sound::EventVoice>(tone(1000, 44100, 4410, 2, 1.0),
                                                           sound::EventPlayback{}));
        const std::vector<float> out = mixed(mixer, 4410);
        const float peak = *std::max_element(out.begin(), out.end());
        QVERIFY(peak <= 1.0f);
        QVERIFY(peak > 0.95f);
        // Below the knee nothing changes.
        QCOMPARE(sound::softClip(0.5f), 0.5f);
        QCOMPARE(sound::softClip(-0.8f), -0.8f);
        QVERIFY(sound::softClip(1.2f) > sound::softClip(1.0f));
        QVERIFY(sound::softClip(3.0f) <= 1.0f && sound::softClip(-3.0f) >= -1.0f);
    }

    void voicesEndAndAreCounted()
    {
        sound::Mixer mixer;
        const auto shortTone = tone(1000, 44100, 1000);
        const auto first =
            mixer.play(std::make_unique<sound::EventVoice>(shortTone, sound::EventPlayback{}), 7);
        QVERIFY(mixer.isTagPlaying(7));
        mixed(mixer, 500);
        QVERIFY(mixer.isPlaying(first));
        QVERIFY(std::abs(*mixer.positionMs(first) - 500 * 1000.0 / 44100) < 0.1);
        mixed(mixer, 1000);
        QVERIFY(!mixer.isPlaying(first));
        QCOMPARE(mixer.takeEnded(), std::vector<sound::Mixer::VoiceId>{first});
        QVERIFY(mixer.takeEnded().empty());

        for (std::size_t i = 0; i < sound::limits::kMaxVoices; ++i)
            QVERIFY(mixer.play(
                std::make_unique<sound::EventVoice>(shortTone, sound::EventPlayback{}), 9));
        QCOMPARE(mixer.play(std::make_unique<sound::EventVoice>(shortTone, sound::EventPlayback{})),
                 sound::Mixer::VoiceId(0));
        mixer.stopTagged(9);
        QCOMPARE(mixer.voiceCount(), std::size_t(0));
    }

    void streamVoicePlaysItsQueueThenSilence()
    {
        sound::StreamVoice voice(22050, 1);
        const auto block = tones::sine(1000, 22050, 2205, 1, 0.5);
        voice.push(block);
        voice.push(block);
        std::vector<float> out(2 * 13230);
        // A stream never ends by itself: past its queue it is silent.
        QCOMPARE(voice.read(out.data(), 13230), std::size_t(13230));
        QVERIFY(std::abs(tones::rms(window(out, 0, 8800), 2, 0) - 0.3536) < 0.01);
        QVERIFY(tones::rms(window(out, 8830, 4400), 2, 0) < 1e-6);
        QVERIFY(std::abs(voice.positionMs() - 200) < 0.1);
        // The queue is capped: a movie feeding faster than it plays drops the oldest.
        const std::vector<std::int16_t> big(sound::limits::kMaxQueuedStreamFrames, 1000);
        voice.push(big);
        voice.push(big);
        QCOMPARE(voice.queuedFrames(), sound::limits::kMaxQueuedStreamFrames);
    }
};

QTEST_GUILESS_MAIN(MixerTest)
#include "MixerTest.moc"
