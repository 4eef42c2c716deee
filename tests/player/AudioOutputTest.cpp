// The control's sound output: with no device (as on a headless machine) the movie plays
// on silently after one diagnostic line; with one, the output opens, keeps being fed,
// pauses and closes with the session.
#include "MovieWriter.h"
#include "SoundWriter.h"
#include "player/MovieSession.h"

#include <QLoggingCategory>
#include <QtTest>

namespace {

QStringList s_lines;

void keepMessage(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QString::fromUtf8(context.category) == "reelvane.sound")
        s_lines << message;
}

// A second of 8-bit PCM noise started on the first frame, and 24 frames.
swf::MoviePtr soundMovie()
{
    swfwriter::MovieWriter movie(10, 100, 100, 24);
    std::vector<std::uint8_t> data(44100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = std::uint8_t(i * 7);
    movie.add(14, swfwriter::defineSound(1, {3, 3, false, false}, 44100, data));
    movie.add(15, swfwriter::startSound(1));
    for (int i = 0; i < 24; ++i)
        movie.showFrame();
    auto loaded = swf::loadMovie(movie.bytes());
    return loaded ? *loaded : nullptr;
}

} // namespace

class AudioOutputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        QLoggingCategory::setFilterRules(QString());
        s_lines.clear();
    }

    void playsOnWithOrWithoutADevice()
    {
        const swf::MoviePtr movie = soundMovie();
        QVERIFY(movie);
        QLoggingCategory::setFilterRules("reelvane.sound.debug=true");
        qInstallMessageHandler(keepMessage);
        {
            player::MovieSession session(movie);
            QVERIFY(session.player().frameCount() == 24);
            session.advance(12);
            session.setSoundPaused(true);
            session.advance(11);
            QCOMPARE(session.player().currentFrame(), std::size_t(23));
            if (!player::AudioOutput::hasDevice()) {
                QVERIFY(!session.audio().isOpen());
                QCOMPARE(s_lines.size(), 1);
                QVERIFY(s_lines[0].contains("no sound output"));
            } else {
                // The device is kept fed, not filled once: it goes on taking frames (a
                // device with a long latency of its own, as PulseAudio's null sink has
                // at first, may take a few seconds to start).
                QVERIFY(session.audio().isOpen());
                const std::uint64_t before = session.audio().framesFed();
                QTRY_VERIFY_WITH_TIMEOUT(session.audio().framesFed() - before > 44100 / 10, 5000);
            }
        }
        // Closing the session released the device and its thread; a second one opens
        // the same way.
        player::MovieSession again(movie);
        again.advance(2);
        qInstallMessageHandler(nullptr);
        if (!player::AudioOutput::hasDevice())
            QCOMPARE(s_lines.size(), 2);
    }
};

QTEST_MAIN(AudioOutputTest)
#include "AudioOutputTest.moc"
