// Sound as a movie plays it, measured on the WAV file swfrun writes: 44.1 kHz stereo at
// the movie's frame timing (N frames last N / frame rate seconds). Event sounds start,
// loop, stop and refuse to double as their StartSound says; stream sounds follow their
// timeline and stop with it; damage plays as silence.
#include "ActionWriter.h"
#include "ButtonWriter.h"
#include "ShapeWriter.h"
#include "SoundWriter.h"
#include "ToneEncoder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using swfwriter::ActionWriter;
using swfwriter::MovieWriter;
using swfwriter::Op;
using swfwriter::SoundInfoRecord;
using swfwriter::TagList;

constexpr std::uint16_t kDefineSound = 14, kStartSound = 15, kStreamHead = 18, kStreamBlock = 19;
constexpr int kRate = 44100;

std::vector<std::uint8_t> pcm16(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (std::int16_t s : samples) {
        bytes.push_back(std::uint8_t(s & 0xff));
        bytes.push_back(std::uint8_t((s >> 8) & 0xff));
    }
    return bytes;
}

// A 1 kHz mono tone at 44.1 kHz, half a second long, as sound 1.
void defineTone(TagList& tags, std::size_t frames = 22050)
{
    tags.add(kDefineSound, swfwriter::defineSound(1, {3, 3, true, false}, std::uint32_t(frames),
                                                  pcm16(tones::sine(1000, 44100, frames, 1))));
}

void stopAction(TagList& tags)
{
    ActionWriter stop;
    stop.op(Op::Stop).end();
    tags.doAction(stop.bytes());
}

// Level of the left channel in [from, to) seconds.
double level(const std::vector<float>& wav, double from, double to)
{
    const auto first = std::size_t(from * kRate);
    const auto last = std::min(std::size_t(to * kRate), wav.size() / 2);
    if (last <= first)
        return 0;
    return tones::rms(std::span(wav).subspan(2 * first, 2 * (last - first)), 2, 0);
}

// Where the left channel first rises above a whisper, in seconds; -1 for never.
double onset(const std::vector<float>& wav, std::size_t after = 0)
{
    for (std::size_t i = after; i < wav.size() / 2; ++i) {
        if (std::abs(wav[2 * i]) > 0.05f)
            return double(i) / kRate;
    }
    return -1;
}

} // namespace

class SoundPlaybackTest : public QObject {
    Q_OBJECT

private:
    // Plays the movie for `frames` frames; the WAV's samples as floats, both channels.
    std::vector<float> play(const MovieWriter& movie, int frames, QString* errors = nullptr,
                            QString* output = nullptr, const QByteArray& input = {})
    {
        const QString swf = m_dir.filePath("sound.swf");
        const QString wav = m_dir.filePath("sound.wav");
        QFile::remove(wav);
        if (!movie.writeFile(swf.toStdString()))
            qFatal("cannot write the movie");
        QStringList arguments{"--frames", QString::number(frames), "--wav", wav, "--log", "sound"};
        if (!input.isEmpty()) {
            QFile events(m_dir.filePath("events.json"));
            if (!events.open(QIODevice::WriteOnly) || events.write(input) != input.size())
                qFatal("cannot write the events");
            arguments << "--input" << events.fileName();
        }
        QProcess swfrun;
        swfrun.start(QStringLiteral(SWFRUN_PATH), arguments << swf);
        if (!swfrun.waitForFinished(60000) || swfrun.exitStatus() != QProcess::NormalExit ||
            swfrun.exitCode() != 0)
            return {};
        if (errors)
            *errors = QString::fromUtf8(swfrun.readAllStandardError());
        if (output)
            *output = QString::fromUtf8(swfrun.readAllStandardOutput());
        QFile file(wav);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        std::vector<float> samples;
        for (qsizetype at = 44; at + 1 < bytes.size(); at += 2) {
            const auto value =
                std::int16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8);
            samples.push_back(value / 32768.0f);
        }
        return samples;
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void wavLastsTheMovieFrames_data()
    {
        QTest::addColumn<double>("frameRate");
        QTest::addColumn<int>("frames");
        QTest::newRow("24 fps, 48 frames") << 24.0 << 48;
        QTest::newRow("30 fps, 7 frames") << 30.0 << 7;
        QTest::newRow("12.5 fps, 25 frames") << 12.5 << 25;
    }
    void wavLastsTheMovieFrames()
    {
        QFETCH(double, frameRate);
        QFETCH(int, frames);
        MovieWriter movie(10, 100, 100, frameRate);
        defineTone(movie);
        movie.add(kStartSound, swfwriter::startSound(1));
        movie.showFrame();
        const auto wav = play(movie, frames);
        QCOMPARE(wav.size() / 2, std::size_t(std::llround(frames * kRate / frameRate)));
        // The tone starts with the first frame and lasts its half second.
        QVERIFY(onset(wav) < 0.001);
        QVERIFY(std::abs(level(wav, 0, 0.1) - 0.3536) < 0.01);
    }

    void eventSoundsFollowTheirStartSound()
    {
        // Frame 1 starts the tone twice over a second, frame 13 (0.5 s) once with a stop.
        const auto movieWith = [](const SoundInfoRecord& first, const SoundInfoRecord& again) {
            MovieWriter movie(10, 100, 100, 24);
            defineTone(movie);
            movie.add(kStartSound, swfwriter::startSound(1, first));
            movie.showFrame();
            for (int i = 0; i < 5; ++i)
                movie.showFrame();
            movie.add(kStartSound, swfwriter::startSound(1, again));
            movie.showFrame();
            for (int i = 0; i < 41; ++i)
                movie.showFrame();
            return movie;
        };
        SoundInfoRecord loopTwice;
        loopTwice.loops = 2;
        SoundInfoRecord plain;
        SoundInfoRecord noMultiple;
        noMultiple.noMultiple = true;
        SoundInfoRecord stop;
        stop.stop = true;

        // Two loops make a second of tone; the second start at frame 7 (0.25 s) adds a
        // second voice in phase with the first, doubling it until the first ends.
        auto wav = play(movieWith(loopTwice, plain), 48);
        QVERIFY(!wav.empty());
        QVERIFY(std::abs(level(wav, 0.02, 0.24) - 0.3536) < 0.01);
        QVERIFY(level(wav, 0.3, 0.7) > 0.5);
        QVERIFY(std::abs(level(wav, 0.8, 0.98) - 0.3536) < 0.02);
        QVERIFY(level(wav, 1.02, 1.9) < 0.001);

        // No multiple: the second start is refused while the first plays.
        wav = play(movieWith(loopTwice, noMultiple), 48);
        QVERIFY(std::abs(level(wav, 0.3, 0.7) - 0.3536) < 0.01);

        // Stop: every instance ends with the frame that says it (frame 7, 0.25 s).
        wav = play(movieWith(loopTwice, stop), 48);
        QVERIFY(std::abs(level(wav, 0.02, 0.24) - 0.3536) < 0.01);
        QVERIFY(level(wav, 0.26, 1.9) < 0.001);
    }

    void envelopeAndPointsReachTheOutput()
    {
        MovieWriter movie(10, 100, 100, 24);
        defineTone(movie, 44100);
        SoundInfoRecord info;
        info.inPoint = 11025;
        info.outPoint = 33075;
        info.envelope = {{0, 32768, 32768}, {22050, 0, 0}};
        movie.add(kStartSound, swfwriter::startSound(1, info));
        movie.showFrame();
        const auto wav = play(movie, 24);
        // Half a second plays (from 0.25 s to 0.75 s of the sound), fading to silence.
        // The envelope counts from the start of playing.
        const double start = level(wav, 0, 0.02);
        QVERIFY(start > 0.33);
        const double middle = level(wav, 0.24, 0.26);
        QVERIFY(middle > start * 0.45 && middle < start * 0.55);
        QVERIFY(level(wav, 0.48, 0.5) < start * 0.05);
        QVERIFY(level(wav, 0.51, 0.99) < 0.001);
    }

    void streamSoundFollowsItsTimeline()
    {
        // 22 kHz PCM, one block per frame at 24 fps; the timeline stops at frame 24.
        MovieWriter movie(10, 100, 100, 24);
        movie.add(kStreamHead, swfwriter::soundStreamHead({3, 2, true, false}, 919));
        const auto all = tones::sine(1000, 22050, 22050 * 2, 1);
        std::size_t used = 0;
        for (int frame = 1; frame <= 48; ++frame) {
            const std::size_t until = std::size_t(std::llround(frame * 22050 / 24.0));
            movie.add(kStreamBlock, pcm16({all.begin() + std::ptrdiff_t(used),
                                           all.begin() + std::ptrdiff_t(until)}));
            used = until;
            if (frame == 24)
                stopAction(movie);
            movie.showFrame();
        }
        const auto wav = play(movie, 48);
        QCOMPARE(wav.size() / 2, std::size_t(2 * kRate));
        QVERIFY(std::abs(level(wav, 0.05, 0.9) - 0.3536) < 0.01);
        QVERIFY(std::abs(tones::frequency(std::span(wav).first(2 * 40000), 2, 0, kRate) - 1000) <
                2);
        // The stopped timeline's stream ends within a frame or two of the stop.
        QVERIFY(level(wav, 1.1, 2.0) < 0.001);
    }

    void streamFollowsJumps()
    {
        // Frames 1 to 12 stream 480 Hz, frames 13 to 24 1440 Hz; frame 4 jumps to frame 19
        // and plays on.
        MovieWriter movie(10, 100, 100, 24);
        movie.add(kStreamHead, swfwriter::soundStreamHead({3, 3, true, false}, 1838));
        // Whole numbers of cycles a block, so that blocks join without a break.
        const auto low = pcm16(tones::sine(480, 44100, 1838, 1));
        const auto high = pcm16(tones::sine(1440, 44100, 1838, 1));
        for (int frame = 1; frame <= 24; ++frame) {
            movie.add(kStreamBlock, frame <= 12 ? low : high);
            if (frame == 4) {
                ActionWriter jump;
                jump.gotoFrame(18).op(Op::Play).end();
                movie.doAction(jump.bytes());
            }
            movie.showFrame();
        }
        const auto wav = play(movie, 16);
        const auto window = [&](double from, double to) {
            return std::span(wav).subspan(std::size_t(from * kRate) * 2,
                                          std::size_t((to - from) * kRate) * 2);
        };
        // The jump restarts the stream at frame 19 before frame 4's block is heard: three
        // frames low, frames 19 to 24 high, then frames 1 to 3 low again.
        QVERIFY(std::abs(tones::frequency(window(0.005, 0.12), 2, 0, kRate) - 480) < 10);
        QVERIFY(std::abs(tones::frequency(window(0.13, 0.37), 2, 0, kRate) - 1440) < 10);
        QVERIFY(std::abs(tones::frequency(window(0.38, 0.495), 2, 0, kRate) - 480) < 10);
    }

    void spriteStreamStopsWithItsClip()
    {
        TagList sprite;
        sprite.add(kStreamHead, swfwriter::soundStreamHead({3, 3, true, false}, 1838));
        const auto block = pcm16(tones::sine(1000, 44100, 1838, 1));
        for (int i = 0; i < 48; ++i) {
            sprite.add(kStreamBlock, block);
            sprite.showFrame();
        }
        MovieWriter movie(10, 100, 100, 24);
        movie.defineSprite(2, sprite);
        swfwriter::Place place;
        place.characterId = 2;
        movie.place2(place);
        for (int i = 0; i < 12; ++i)
            movie.showFrame();
        movie.remove2(1);
        for (int i = 0; i < 12; ++i)
            movie.showFrame();
        const auto wav = play(movie, 24);
        QVERIFY(level(wav, 0.05, 0.45) > 0.3);
        QVERIFY(level(wav, 0.6, 1.0) < 0.001);
    }

    void scriptsPlayExportedSounds()
    {
        // s = new Sound(); s.attachSound("tone"); s.setVolume(50);
        // s.onSoundComplete = function () { trace("done " + s.position); };
        // s.start(); trace(s.duration);
        ActionWriter done;
        done.push({"done ", "s"}).op(Op::GetVariable).push({"position"}).op(Op::GetMember);
        done.op(Op::Add2).op(Op::Trace);
        ActionWriter script;
        script.push({"s", 0, "Sound"}).op(Op::NewObject).op(Op::SetVariable);
        script.push({"tone", 1, "s"}).op(Op::GetVariable).push({"attachSound"});
        script.op(Op::CallMethod).op(Op::Pop);
        script.push({50, 1, "s"}).op(Op::GetVariable).push({"setVolume"});
        script.op(Op::CallMethod).op(Op::Pop);
        script.push({"s"}).op(Op::GetVariable).push({"onSoundComplete"});
        script.defineFunction("", {}, done).op(Op::SetMember);
        script.push({0, "s"}).op(Op::GetVariable).push({"start"}).op(Op::CallMethod).op(Op::Pop);
        script.push({"s"}).op(Op::GetVariable).push({"duration"}).op(Op::GetMember);
        script.op(Op::Trace).end();

        MovieWriter movie(10, 100, 100, 24);
        defineTone(movie);
        movie.exportAssets({{1, "tone"}});
        movie.doAction(script.bytes());
        for (int i = 0; i < 24; ++i)
            movie.showFrame();
        QString output;
        const auto wav = play(movie, 24, nullptr, &output);
        QCOMPARE(output, QString("500\ndone 500\n"));
        // Half the volume, for the sound's half second.
        QVERIFY(std::abs(level(wav, 0.02, 0.45) - 0.177) < 0.01);
        QVERIFY(level(wav, 0.55, 0.95) < 0.001);
    }

    void buttonTransitionsPlayTheirSounds()
    {
        // A button over the whole stage whose roll-over plays the tone and whose press
        // plays it too: the pointer comes at frame 6 (0.25 s) and presses at frame 13.
        MovieWriter movie(10, 100, 100, 24);
        defineTone(movie, 4410);
        swfwriter::ShapeWriter square;
        square.fill0(square.addFill(swfwriter::FillStyle::solid({0, 0, 255, 255})));
        square.rect(0, 0, 2000, 2000);
        movie.add(square.tagCode(), square.body(2));
        movie.add(34, swfwriter::defineButton2Body(3, false, {{0x0f, 2, 1}}, {}));
        movie.add(17, swfwriter::defineButtonSound(3, {0, 1, 1, 0}));
        swfwriter::Place place;
        place.characterId = 3;
        movie.place2(place);
        for (int i = 0; i < 24; ++i)
            movie.showFrame();
        const QByteArray events = R"([
            {"type": "Wait"}, {"type": "Wait"}, {"type": "Wait"}, {"type": "Wait"},
            {"type": "Wait"}, {"type": "MouseMove", "pos": [50, 50]}, {"type": "Wait"},
            {"type": "Wait"}, {"type": "Wait"}, {"type": "Wait"}, {"type": "Wait"},
            {"type": "Wait"}, {"type": "MouseDown", "pos": [50, 50]}, {"type": "Wait"}
        ])";
        const auto wav = play(movie, 24, nullptr, nullptr, events);
        QVERIFY(!wav.empty());
        QVERIFY(level(wav, 0, 0.2) < 0.001);
        const double rollOver = onset(wav);
        QVERIFY2(rollOver > 0.2 && rollOver < 0.26, qPrintable(QString::number(rollOver)));
        const double press = onset(wav, std::size_t((rollOver + 0.15) * kRate));
        QVERIFY2(press > 0.45 && press < 0.55, qPrintable(QString::number(press)));
    }

    void damagedSoundsPlayAsSilence()
    {
        if (!tones::hasEncoder("libmp3lame"))
            QSKIP("libavcodec has no MP3 encoder here");
        // An MP3 stream whose blocks turn to noise at frame 12, and an event sound that is
        // noise from the start: the run ends normally, with sound only before the damage.
        const auto tone = tones::sine(1000, 22050, 22050 * 2, 1);
        const tones::Encoded encoded = tones::encode("libmp3lame", tone, 22050, 1);
        MovieWriter movie(10, 100, 100, 24);
        movie.add(kDefineSound, swfwriter::defineSound(1, {2, 2, true, false}, 22050,
                                                       std::vector<std::uint8_t>(3000, 0xff)));
        movie.add(kStartSound, swfwriter::startSound(1));
        movie.add(kStreamHead, swfwriter::soundStreamHead({2, 2, true, false}, 919));
        std::uint32_t seed = 99;
        std::size_t packet = 0;
        for (int frame = 1; frame <= 24; ++frame) {
            // Two MP3 frames of 576 samples each cover a little more than a frame.
            std::vector<std::uint8_t> frames;
            for (int k = 0; k < 2 && packet < encoded.packets.size(); ++k, ++packet)
                frames.insert(frames.end(), encoded.packets[packet].begin(),
                              encoded.packets[packet].end());
            if (frame >= 12) {
                for (auto& byte : frames) {
                    seed = seed * 1103515245 + 12345;
                    byte = std::uint8_t(seed >> 16);
                }
            }
            movie.add(kStreamBlock, swfwriter::mp3StreamBlock(1152, 0, frames));
            movie.showFrame();
        }
        QString errors;
        const auto wav = play(movie, 24, &errors);
        QCOMPARE(wav.size() / 2, std::size_t(kRate));
        QVERIFY(level(wav, 0.1, 0.4) > 0.2);
        QVERIFY(level(wav, 0.6, 1.0) < 0.05);
    }
};

QTEST_GUILESS_MAIN(SoundPlaybackTest)
#include "SoundPlaybackTest.moc"
