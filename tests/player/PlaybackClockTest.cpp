#include "player/PlaybackClock.h"

#include <QtTest>

using player::PlaybackClock;

class PlaybackClockTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framesComeAtTheRate()
    {
        PlaybackClock clock;
        clock.start(25, 1000); // a frame every 40 ms
        QCOMPARE(clock.framesDue(1000), 0);
        QCOMPARE(clock.msUntilNextFrame(1000), std::int64_t(40));
        QCOMPARE(clock.framesDue(1039), 0);
        QCOMPARE(clock.framesDue(1040), 1);
        QCOMPARE(clock.framesDue(1041), 0);
        QCOMPARE(clock.msUntilNextFrame(1041), std::int64_t(39));
    }

    void lateFramesAreSteppedOverNotShownLate()
    {
        PlaybackClock clock;
        clock.start(25, 0);
        // The timer comes 2.5 frames late: both due frames are stepped at once, and the
        // next one keeps to the original beat.
        QCOMPARE(clock.framesDue(100), 2);
        QCOMPARE(clock.msUntilNextFrame(100), std::int64_t(20));
        QCOMPARE(clock.framesDue(120), 1);
    }

    void aLongStallDoesNotRace()
    {
        PlaybackClock clock;
        clock.start(30, 0);
        QCOMPARE(clock.framesDue(10'000), PlaybackClock::kMaxCatchUp);
        QCOMPARE(clock.framesDue(10'001), 0);
        QCOMPARE(clock.framesDue(10'034), 1);
    }

    void unusualRates()
    {
        PlaybackClock still;
        still.start(0, 0);
        QCOMPARE(still.framesDue(1'000'000), 0);
        QCOMPARE(still.msUntilNextFrame(0), std::int64_t(-1));
        still.start(std::numeric_limits<double>::quiet_NaN(), 0);
        QCOMPARE(still.framesDue(1'000'000), 0);

        PlaybackClock fast;
        fast.start(1000, 0); // played at the ceiling: 120 a second
        QCOMPARE(fast.framesDue(25), 3);

        PlaybackClock slow;
        slow.start(0.5, 0);
        QCOMPARE(slow.framesDue(1999), 0);
        QCOMPARE(slow.framesDue(2000), 1);
    }
};

QTEST_APPLESS_MAIN(PlaybackClockTest)
#include "PlaybackClockTest.moc"
