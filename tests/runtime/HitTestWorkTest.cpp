// The work of hit tests over buttons whose hit areas place buttons, as a damaged or
// hostile movie has them: a pointer event costs a bounded count of work units (counted
// by the player, not timed), a point away from every hit area costs none, and hits
// are still found.
#include "ButtonWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "TestMovie.h"
#include "runtime/Limits.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace swfwriter;
using runtime::MoviePlayer;

namespace {

constexpr std::uint16_t kRing = 1;
constexpr std::uint16_t kInnermost = 2;
// Levels of buttons above the innermost, and instances of the outermost on the stage.
constexpr int kLevels = 20;
constexpr int kInstances = 200;

// A 2000-twip square with a 1000-twip hole: a point in the hole lies inside the
// ring's bounds at every level, so boxes cannot spare the walk there.
ShapeWriter ring()
{
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::solid({200, 0, 0}))).rect(0, 0, 2000, 2000);
    shape.rect(500, 500, 1000, 1000);
    return shape;
}

ButtonRecord hitRecord(std::uint16_t id, std::uint16_t depth, Matrix matrix = {})
{
    ButtonRecord record;
    record.states = 0x08;
    record.characterId = id;
    record.depth = depth;
    record.matrix = matrix;
    return record;
}

enum class Nesting {
    // Each level places the one below twice at the same spot, and the innermost also
    // places itself: 2^20 paths, all to one point.
    SameSpot,
    // The second record of each level is scaled a little, so that every one of the 2^20
    // paths reaches the ring at a point of its own, inside the hole.
    SpreadPoints,
};

// Button kInnermost shows the ring and hits on it; button kInnermost + k places button
// kInnermost + k - 1 in its hit area twice; the outermost is placed kInstances times.
std::shared_ptr<const swf::MovieDefinition> nestedButtons(Nesting nesting)
{
    MovieWriter movie(8, 400, 300, 12);
    const ShapeWriter shape = ring();
    movie.add(shape.tagCode(), shape.body(kRing));
    ButtonRecord shown = hitRecord(kRing, 1);
    shown.states = 0x0f;
    std::vector<ButtonRecord> innermost{shown};
    if (nesting == Nesting::SameSpot)
        innermost.push_back(hitRecord(kInnermost, 2));
    movie.add(34, defineButton2Body(kInnermost, false, innermost, {}));
    for (int level = 1; level <= kLevels; ++level) {
        const auto id = std::uint16_t(kInnermost + level);
        const Matrix second =
            nesting == Nesting::SameSpot ? Matrix{} : Matrix::scale(1.0 + level / 4096.0, 1.0);
        movie.add(34, defineButton2Body(id, false,
                                        {hitRecord(id - 1, 1), hitRecord(id - 1, 2, second)}, {}));
    }
    for (int i = 0; i < kInstances; ++i) {
        Place place;
        place.depth = std::uint16_t(i + 1);
        place.characterId = std::uint16_t(kInnermost + kLevels);
        place.matrix = Matrix::translate(1000, 1000);
        movie.place2(place);
    }
    movie.showFrame();
    const std::vector<std::uint8_t> bytes = movie.bytes();
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
        testmovie::RecordingHost host;
        MoviePlayer player(nestedButtons(Nesting::SameSpot), host);
        player.pointerMove(kHoleX, kHoleY);
        QVERIFY(!player.hitTests().lastStepExhausted());
        QVERIFY(player.hitTests().usedByLastStep() > 0);
        // Some levels and the ring's edges for each instance, far from the budget.
        QVERIFY(player.hitTests().usedByLastStep() < runtime::limits::kMaxHitTestWorkPerStep / 10);
        QVERIFY(!player.buttons().pointedAt());
    }

    void spreadPointsEndWithinTheStepsBudget()
    {
        testmovie::RecordingHost host;
        MoviePlayer player(nestedButtons(Nesting::SpreadPoints), host);
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
        for (Nesting nesting : {Nesting::SameSpot, Nesting::SpreadPoints}) {
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
        MoviePlayer player(nestedButtons(Nesting::SpreadPoints), host);
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
