// The work of hit tests over buttons whose hit areas place buttons, as a damaged or
// hostile movie has them: a pointer event costs a bounded count of work units (counted
// by the player, not timed), a point away from every hit area costs none, and hits
// are still found.
#include "NestedHitAreas.h"
#include "TestMovie.h"
#include "runtime/Limits.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace swfwriter;
using runtime::MoviePlayer;

namespace {

constexpr int kLevels = 20;
constexpr int kInstances = 200;

std::shared_ptr<const swf::MovieDefinition> nestedButtons(HitNesting nesting, int levels = kLevels)
{
    const std::vector<std::uint8_t> bytes = nestedHitAreas({levels, kInstances, nesting}).bytes();
    auto loaded = swf::loadMovie(bytes);
    if (!loaded)
        qFatal("the test movie does not load");
    return *loaded;
}

// Stage points in twips, the buttons placed at (1000, 1000).
constexpr double kHoleX = 2000, kHoleY = 2000;
constexpr double kFillX = 1200, kFillY = 1200;
constexpr double kAwayX = 7000, kAwayY = 5000;

} // namespace

class HitTestWorkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void definitionsMetAgainAtOneSpotAreWalkedOnce()
    {
        // Twice the levels make the paths a thousand times as many; the work grows with
        // the levels alone.
        std::uint64_t used[2] = {};
        for (int i = 0; i < 2; ++i) {
            testmovie::RecordingHost host;
            MoviePlayer player(nestedButtons(HitNesting::SameSpot, 10 * (i + 1)), host);
            player.pointerMove(kHoleX, kHoleY);
            QVERIFY(!player.hitTests().lastStepExhausted());
            QVERIFY(!player.buttons().pointedAt());
            used[i] = player.hitTests().usedByLastStep();
        }
        QVERIFY(used[0] > 0);
        QVERIFY2(used[1] < 4 * used[0],
                 qPrintable(QStringLiteral("%1 then %2 units").arg(used[0]).arg(used[1])));
    }

    void spreadPointsEndWithinTheStepsBudget()
    {
        testmovie::RecordingHost host;
        MoviePlayer player(nestedButtons(HitNesting::SpreadPoints), host);
        player.pointerMove(kHoleX, kHoleY);
        QVERIFY(player.hitTests().lastStepExhausted());
        QVERIFY(player.hitTests().usedByLastStep() <= runtime::limits::kMaxHitTestWorkPerStep);
        QVERIFY(host.logged("hit tests stopped"));
        QVERIFY(!player.buttons().pointedAt());

        // The next event has the budget whole again, and the first path down to the
        // ring finds its fill.
        player.pointerMove(kFillX, kFillY);
        QVERIFY(!player.hitTests().lastStepExhausted());
        QVERIFY(player.buttons().pointedAt());
    }

    void pointsAwayFromEveryHitAreaCostNothing()
    {
        for (HitNesting nesting : {HitNesting::SameSpot, HitNesting::SpreadPoints}) {
            testmovie::RecordingHost host;
            MoviePlayer player(nestedButtons(nesting), host);
            player.pointerMove(kAwayX, kAwayY);
            QCOMPARE(player.hitTests().usedByLastStep(), std::uint64_t(0));
            QVERIFY(!player.buttons().pointedAt());
        }
    }

    void framesShareTheBudgetWithTheStillPointer()
    {
        testmovie::RecordingHost host;
        MoviePlayer player(nestedButtons(HitNesting::SpreadPoints), host);
        player.pointerMove(kHoleX, kHoleY);
        // Each frame tracks the pointer that stays there, within one budget.
        for (int frame = 0; frame < 3; ++frame) {
            player.advance();
            QVERIFY(player.hitTests().usedByLastStep() <= runtime::limits::kMaxHitTestWorkPerStep);
        }
    }
};

QTEST_APPLESS_MAIN(HitTestWorkTest)
#include "HitTestWorkTest.moc"
