// The movie's time follows the sound's clock while a stream plays, and the system clock
// otherwise, without jumps at the changes; a stalled or restarted sound clock is left.
#include "player/SoundClock.h"

#include <QtTest>

using player::SoundClock;

class SoundClockTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheSystemClockWithoutSound()
    {
        SoundClock clock;
        QCOMPARE(clock.now(100, std::nullopt), std::int64_t(100));
        QCOMPARE(clock.now(250, std::nullopt), std::int64_t(250));
    }

    void followsTheSoundWhileItPlaysAndTakesOverWithoutAJump()
    {
        SoundClock clock;
        QCOMPARE(clock.now(1000, std::nullopt), std::int64_t(1000));
        // The sound starts at its own 40 ms: the movie's time goes on from 1010.
        QCOMPARE(clock.now(1010, 40), std::int64_t(1010));
        // The device plays slower than the system clock runs: time follows the device.
        QCOMPARE(clock.now(1110, 130), std::int64_t(1100));
        QCOMPARE(clock.now(1210, 220), std::int64_t(1190));
        // The stream ends: the system clock carries on from where the sound left it.
        QCOMPARE(clock.now(1220, std::nullopt), std::int64_t(1200));
        QCOMPARE(clock.now(1320, std::nullopt), std::int64_t(1300));
    }

    void aStalledSoundClockGivesWayToTheSystemClock()
    {
        SoundClock clock;
        clock.now(0, 0);
        QCOMPARE(clock.now(100, 100), std::int64_t(100));
        QCOMPARE(clock.now(300, 100), std::int64_t(100)); // waiting on the sound
        // Past the stall limit the system clock takes over from where the movie stood
        // (100 at 300), so time moves on again.
        const std::int64_t wall = 100 + SoundClock::kStallMs + 50;
        QCOMPARE(clock.now(wall, 100), std::int64_t(100 + (wall - 300)));
    }

    void aSoundClockThatStartsAgainIsFollowedFromThere()
    {
        SoundClock clock;
        clock.now(0, 5000);
        QCOMPARE(clock.now(100, 5100), std::int64_t(100));
        // A new output counts from 0 again: no step back in the movie's time.
        QCOMPARE(clock.now(200, 0), std::int64_t(200));
        QCOMPARE(clock.now(300, 100), std::int64_t(300));
    }
};

QTEST_APPLESS_MAIN(SoundClockTest)
#include "SoundClockTest.moc"
