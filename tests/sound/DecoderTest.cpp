// The decoders against known signals: tones coded at test time by libavcodec's encoders
// (or written as PCM), put into DefineSound bodies by the project's writer, decoded back
// and measured: frequency, level and length. Damaged data ends early, never badly.
#include "sound/Decoder.h"

#include "SoundWriter.h"
#include "ToneEncoder.h"
#include "sound/SoundFormat.h"

#include <QtTest>

namespace {

constexpr double kRates[] = {5512.5, 11025, 22050, 44100};

std::vector<std::uint8_t> pcmBytes(const std::vector<std::int16_t>& samples, bool sixteenBit)
{
    std::vector<std::uint8_t> bytes;
    for (std::int16_t s : samples) {
        if (sixteenBit) {
            bytes.push_back(std::uint8_t(s & 0xff));
            bytes.push_back(std::uint8_t((s >> 8) & 0xff));
        } else {
            bytes.push_back(std::uint8_t((s >> 8) + 128));
        }
    }
    return bytes;
}

// A DefineSound body as the movie reader keeps it: after the character id.
sound::SoundDefinition defined(swfwriter::SoundFormatBits bits, std::uint32_t sampleCount,
                               const std::vector<std::uint8_t>& data, std::uint16_t seek = 0)
{
    auto body = swfwriter::defineSound(1, bits, sampleCount, data, seek);
    body.erase(body.begin(), body.begin() + 2);
    auto parsed = sound::parseDefineSound(body);
    if (!parsed)
        qFatal("DefineSound did not parse: %s", parsed.error().message().c_str());
    return parsed.value();
}

struct Coding {
    const char* encoder; // nullptr: PCM written here
    std::uint8_t codec;
    std::uint8_t rateIndex;
    double rate; // the coding's rate, where it fixes one
    int channels;
    bool sixteenBit;
    std::size_t frames;
    double levelTolerance;
};

} // namespace

Q_DECLARE_METATYPE(Coding)

class DecoderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toneComesBack_data()
    {
        QTest::addColumn<Coding>("coding");
        // ADPCM tones are one packet long: the coding's blocks of 4096 frames follow
        // each other without a break only inside one packet.
        QTest::newRow("PCM 16-bit stereo 44 kHz") << Coding{nullptr, 3, 3, 0, 2, true, 44100, 0.01};
        QTest::newRow("PCM 8-bit mono 11 kHz") << Coding{nullptr, 3, 1, 0, 1, false, 11025, 0.02};
        QTest::newRow("PCM native 16-bit 5.5 kHz") << Coding{nullptr, 0, 0, 0, 1, true, 5512, 0.01};
        QTest::newRow("ADPCM mono 22 kHz") << Coding{"adpcm_swf", 1, 2, 0, 1, true, 4096, 0.1};
        QTest::newRow("ADPCM stereo 44 kHz") << Coding{"adpcm_swf", 1, 3, 0, 2, true, 4096, 0.1};
        QTest::newRow("MP3 mono 22 kHz") << Coding{"libmp3lame", 2, 2, 0, 1, true, 22050, 0.1};
        QTest::newRow("MP3 stereo 44 kHz") << Coding{"libmp3lame", 2, 3, 0, 2, true, 44100, 0.1};
        QTest::newRow("MP3 mono 11 kHz") << Coding{"libmp3lame", 2, 1, 0, 1, true, 11025, 0.15};
        QTest::newRow("Nellymoser 8 kHz") << Coding{"nellymoser", 5, 0, 8000, 1, true, 8000, 0.2};
        QTest::newRow("Nellymoser 16 kHz")
            << Coding{"nellymoser", 4, 0, 16000, 1, true, 16000, 0.2};
        QTest::newRow("Nellymoser 22 kHz") << Coding{"nellymoser", 6, 2, 0, 1, true, 22050, 0.2};
        QTest::newRow("G.711 A-law 11 kHz") << Coding{"pcm_alaw", 7, 1, 0, 1, true, 11025, 0.05};
        QTest::newRow("G.711 mu-law 22 kHz stereo")
            << Coding{"pcm_mulaw", 8, 2, 0, 2, true, 22050, 0.05};
    }
    void toneComesBack()
    {
        QFETCH(Coding, coding);
        if (coding.encoder && !tones::hasEncoder(coding.encoder))
            QSKIP("libavcodec has no such encoder here");
        const double rate = coding.rate > 0 ? coding.rate : kRates[coding.rateIndex];
        const double hz = rate <= 16000 ? 440 : 1000;
        const auto tone = tones::sine(hz, rate, coding.frames, coding.channels, 0.5);
        std::vector<std::uint8_t> data;
        std::uint16_t seek = 0;
        if (coding.encoder) {
            const tones::Encoded encoded =
                tones::encode(coding.encoder, tone, int(rate), coding.channels);
            QVERIFY(!encoded.packets.empty());
            data = encoded.joined();
            seek = std::uint16_t(encoded.initialPadding);
        } else {
            data = pcmBytes(tone, coding.sixteenBit);
        }
        const swfwriter::SoundFormatBits bits{coding.codec, coding.rateIndex, coding.sixteenBit,
                                              coding.channels == 2};
        const sound::SoundDefinition definition =
            defined(bits, std::uint32_t(coding.frames), data, seek);
        QCOMPARE(definition.format.rate, rate);
        QCOMPARE(definition.format.channels(), coding.channels);

        auto decoded = sound::decodeEventSound(definition);
        QVERIFY(decoded);
        QCOMPARE(decoded->channels, coding.channels);
        // Lossy codings round the length up to their frames; the definition's count
        // cuts it back.
        QVERIFY2(decoded->frames() <= coding.frames,
                 qPrintable(QString::number(decoded->frames())));
        QVERIFY2(decoded->frames() + 1024 >= coding.frames,
                 qPrintable(QString::number(decoded->frames())));
        const std::vector<float> samples = tones::toFloat(decoded->samples);
        for (int c = 0; c < coding.channels; ++c) {
            QVERIFY2(
                std::abs(tones::frequency(samples, coding.channels, c, rate) - hz) < hz * 0.02,
                qPrintable(QString::number(tones::frequency(samples, coding.channels, c, rate))));
            const double level = tones::rms(samples, coding.channels, c);
            QVERIFY2(std::abs(level - 0.3536) < 0.3536 * coding.levelTolerance + 0.01,
                     qPrintable(QString::number(level)));
        }
    }

    void mp3SeekSamplesDropTheEncoderDelay()
    {
        if (!tones::hasEncoder("libmp3lame"))
            QSKIP("libavcodec has no MP3 encoder here");
        const auto tone = tones::sine(1000, 22050, 22050, 1, 0.5);
        const tones::Encoded encoded = tones::encode("libmp3lame", tone, 22050, 1);
        QVERIFY(encoded.initialPadding > 500);
        const auto begin = [&](std::uint16_t seek) {
            auto decoded = sound::decodeEventSound(
                defined({2, 2, true, false}, 22050, encoded.joined(), seek));
            const auto samples = tones::toFloat(decoded->samples);
            return tones::rms(std::span(samples).first(400), 1, 0);
        };
        // With the delay dropped the tone is there from the first frame; without, the
        // sound starts with the encoder's silence.
        QVERIFY2(begin(std::uint16_t(encoded.initialPadding)) > 0.25,
                 qPrintable(QString::number(begin(std::uint16_t(encoded.initialPadding)))));
        QVERIFY(begin(0) < 0.05);
    }

    void mp3BlocksOfAnySizeDecodeWithinTheirBytes()
    {
        if (!tones::hasEncoder("libmp3lame"))
            QSKIP("libavcodec has no MP3 encoder here");
        const auto tone = tones::sine(1000, 22050, 22050, 1, 0.5);
        const std::vector<std::uint8_t> data = tones::encode("libmp3lame", tone, 22050, 1).joined();
        auto format =
            sound::soundFormatFromByte(swfwriter::SoundFormatBits{2, 2, true, false}.byte());
        QVERIFY(format);
        auto decoder = sound::makeDecoder(*format);
        QVERIFY(decoder);
        // Blocks of 1 to 97 bytes, each in storage of exactly its size, so that a read
        // past a block's end shows under the address sanitizer; frames split anywhere.
        std::vector<std::int16_t> out;
        std::size_t size = 1;
        for (std::size_t at = 0; at < data.size(); at += size, size = size % 97 + 1) {
            const std::size_t n = std::min(size, data.size() - at);
            const auto block = std::make_unique<std::uint8_t[]>(n);
            std::copy_n(data.begin() + std::ptrdiff_t(at), n, block.get());
            QVERIFY((*decoder)->decode(std::span(block.get(), n), out, 1 << 20));
        }
        (*decoder)->finish(out, 1 << 20);
        QVERIFY(out.size() >= 20000); // the second of sound, less what the encoder delays
    }

    void aacFromItsConfigurationAndFrames()
    {
        if (!tones::hasEncoder("aac"))
            QSKIP("libavcodec has no AAC encoder here");
        const auto tone = tones::sine(1000, 44100, 44100, 2, 0.5);
        const tones::Encoded encoded = tones::encode("aac", tone, 44100, 2);
        QVERIFY(!encoded.configuration.empty());
        sound::SoundFormat format;
        auto decoder = sound::makeAacDecoder(encoded.configuration, format);
        QVERIFY(decoder);
        // The configuration, not a format byte, gives the rate and the channels.
        QCOMPARE(format.rate, 44100.0);
        QVERIFY(format.stereo);
        std::vector<std::int16_t> out;
        for (const auto& packet : encoded.packets)
            QVERIFY((*decoder)->decode(packet, out, 1 << 20));
        (*decoder)->finish(out, 1 << 20);
        const auto samples = tones::toFloat(out);
        QVERIFY(samples.size() >= 2 * 40000);
        const auto middle = std::span(samples).subspan(2 * 10000, 2 * 20000);
        QVERIFY(std::abs(tones::frequency(middle, 2, 1, 44100) - 1000) < 10);
        QVERIFY(tones::rms(middle, 2, 0) > 0.25);
        // A configuration cut short, before its rate or inside an escaped one, makes no
        // decoder.
        QVERIFY(!sound::makeAacDecoder(std::span(encoded.configuration).first(1), format));
        const std::uint8_t badRate[] = {0x17, 0x90};
        QVERIFY(!sound::makeAacDecoder(badRate, format));
    }

    void damagedDataEndsEarly_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<int>("codec");
        QTest::addColumn<int>("frames");
        QTest::newRow("MP3") << "libmp3lame" << 2 << 22050;
        QTest::newRow("ADPCM") << "adpcm_swf" << 1 << 4096;
        QTest::newRow("Nellymoser") << "nellymoser" << 6 << 22050;
    }
    void damagedDataEndsEarly()
    {
        QFETCH(QString, encoder);
        QFETCH(int, codec);
        QFETCH(int, frames);
        const QByteArray name = encoder.toLatin1();
        if (!tones::hasEncoder(name.constData()))
            QSKIP("libavcodec has no such encoder here");
        const auto tone = tones::sine(1000, 22050, std::size_t(frames), 1, 0.5);
        std::vector<std::uint8_t> data = tones::encode(name.constData(), tone, 22050, 1).joined();
        const swfwriter::SoundFormatBits bits{std::uint8_t(codec), 2, true, false};
        // Cut in half, then the second half overwritten with noise: every variant
        // decodes to at most the sound's length, the first part intact.
        std::vector<std::uint8_t> cut(data.begin(), data.begin() + std::ptrdiff_t(data.size() / 2));
        auto shortened = sound::decodeEventSound(defined(bits, std::uint32_t(frames), cut));
        QVERIFY(shortened);
        QVERIFY(shortened->frames() < std::size_t(frames));
        std::vector<std::uint8_t> noisy = data;
        std::uint32_t seed = 12345;
        for (std::size_t i = noisy.size() / 2; i < noisy.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            noisy[i] = std::uint8_t(seed >> 16);
        }
        auto damaged = sound::decodeEventSound(defined(bits, std::uint32_t(frames), noisy));
        QVERIFY(damaged);
        QVERIFY(damaged->frames() <= std::size_t(frames));
        const auto samples = tones::toFloat(damaged->samples);
        QVERIFY(tones::rms(std::span(samples).first(2000), 1, 0) > 0.2);
    }

    void recordsAreReadAsWritten()
    {
        swfwriter::SoundInfoRecord record;
        record.noMultiple = true;
        record.inPoint = 100;
        record.outPoint = 5000;
        record.loops = 3;
        record.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
        auto info = sound::parseSoundInfo(swfwriter::soundInfo(record));
        QVERIFY(info);
        QVERIFY(info->noMultiple && !info->stop);
        QCOMPARE(*info->inPoint, 100u);
        QCOMPARE(*info->outPoint, 5000u);
        QCOMPARE(info->loops, 3);
        QCOMPARE(info->envelope.size(), std::size_t(2));
        QCOMPARE(info->envelope[1].position44, 44100u);
        QCOMPARE(info->envelope[1].right, 0);

        // An envelope that claims more points than it holds is refused whole.
        auto bytes = swfwriter::soundInfo(record);
        bytes.pop_back();
        QVERIFY(!sound::parseSoundInfo(bytes));
        QVERIFY(!sound::parseSoundInfo({}));
        // Codec 9 is none the format has.
        QVERIFY(!sound::soundFormatFromByte(0x9e));

        auto head = sound::parseStreamHead(swfwriter::soundStreamHead({2, 2, true, true}, 576, 10));
        QVERIFY(head);
        QCOMPARE(head->format.codec, sound::Codec::Mp3);
        QCOMPARE(head->format.rate, 22050.0);
        QCOMPARE(head->samplesPerBlock, 576);
        QCOMPARE(head->latencySeek, 10);
    }
};

QTEST_GUILESS_MAIN(DecoderTest)
#include "DecoderTest.moc"
