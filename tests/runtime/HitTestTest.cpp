// Geometric hit tests: fills by either rule, curves, strokes, and characters placed
// with matrices, inside sprites and buttons.
#include "TestMovie.h"
#include "runtime/CharacterHitTest.h"
#include "runtime/HitAreas.h"
#include "runtime/HitTestBudget.h"
#include "runtime/Limits.h"
#include "runtime/ShapeHitTest.h"

#include <QtTest>
#include <cmath>

using namespace testmovie;
using swf::SegmentKind;

Q_DECLARE_METATYPE(swf::Path)

namespace {

swf::Path concat(swf::Path a, const swf::Path& b)
{
    a.segments.insert(a.segments.end(), b.segments.begin(), b.segments.end());
    return a;
}

// A bulge from (0, 0) to (1000, 0) through control point (500, 1000): the curve's apex
// is at (500, 500).
swf::Path bulge()
{
    swf::Path path;
    path.segments = {{SegmentKind::Move, 0, 0, 0, 0},
                     {SegmentKind::Curve, 1000, 0, 500, 1000},
                     {SegmentKind::Line, 0, 0, 0, 0}};
    return path;
}

swf::Shape strokeShape(std::uint16_t width)
{
    swf::Shape shape;
    swf::ShapeLayer layer;
    swf::LineStyle line;
    line.width = width;
    layer.lines.push_back(line);
    swf::Path path;
    path.segments = {{SegmentKind::Move, 0, 0, 0, 0}, {SegmentKind::Line, 1000, 0, 0, 0}};
    layer.strokePaths.push_back({0, path});
    shape.layers.push_back(layer);
    return shape;
}

// 10: a 100-twip square; 20: a sprite placing it 200 twips right; 30: a sprite placing
// itself twice; 40: a button whose hit area is the square; 50: a sprite placing the
// square and itself 100 twips right; 60: a sprite placing itself and 61, a square
// without bounds.
swf::MoviePtr placedCharactersMovie()
{
    auto offset = place(1, 10);
    offset.matrix = swf::Matrix::translation(200, 0);
    auto movedSelf = place(2, 50);
    movedSelf.matrix = swf::Matrix::translation(100, 0);
    swf::Button button;
    swf::ButtonRecord hitArea;
    hitArea.states = swf::ButtonHitTest;
    hitArea.characterId = 10;
    button.records = {hitArea};
    swf::Shape noBounds = squareShape(0, 0, 100);
    noBounds.bounds = {};
    return Builder()
        .square(10)
        .sprite(20, timeline({{offset}}))
        .sprite(30, timeline({{place(1, 30), place(2, 30)}}))
        .button(40, button)
        .sprite(50, timeline({{place(1, 10), movedSelf}}))
        .shape(61, noBounds)
        .sprite(60, timeline({{place(1, 60), place(2, 61)}}))
        .build();
}

} // namespace

class HitTestTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fills_data();
    void fills();
    void strokes_data();
    void strokes();
    void placedCharacters_data();
    void placedCharacters();
    void hitAreaBoxes_data();
    void hitAreaBoxes();
    void spentBudgetHitsNothing();
};

void HitTestTest::fills_data()
{
    QTest::addColumn<swf::Path>("path");
    QTest::addColumn<bool>("nonZero");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("hit");

    const swf::Path square = squarePath(0, 0, 1000);
    const swf::Path ring = concat(square, squarePath(250, 250, 500));
    // Two squares drawn the same way round, overlapping from 500 to 1000.
    const swf::Path overlap = concat(square, squarePath(500, 500, 1000));
    swf::Path open = square;
    open.segments.pop_back();

    QTest::newRow("inside square") << square << false << 500.0 << 500.0 << true;
    QTest::newRow("outside square") << square << false << 1500.0 << 500.0 << false;
    QTest::newRow("left of square") << square << false << -1.0 << 500.0 << false;
    QTest::newRow("ring body") << ring << false << 100.0 << 500.0 << true;
    QTest::newRow("ring hole, even-odd") << ring << false << 500.0 << 500.0 << false;
    QTest::newRow("overlap, even-odd") << overlap << false << 750.0 << 750.0 << false;
    QTest::newRow("overlap, non-zero") << overlap << true << 750.0 << 750.0 << true;
    QTest::newRow("second square alone") << overlap << false << 1250.0 << 1250.0 << true;
    QTest::newRow("open contour closes") << open << false << 500.0 << 500.0 << true;
    QTest::newRow("under the curve") << bulge() << false << 500.0 << 450.0 << true;
    QTest::newRow("past the curve's apex") << bulge() << false << 500.0 << 550.0 << false;
    // Inside the control triangle but outside the curve: only a curve, not its chord
    // polygon through the control point, gets this right.
    QTest::newRow("beside the curve") << bulge() << false << 150.0 << 300.0 << false;
    QTest::newRow("empty path") << swf::Path{} << false << 0.0 << 0.0 << false;
}

void HitTestTest::fills()
{
    QFETCH(swf::Path, path);
    QFETCH(bool, nonZero);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, hit);
    QCOMPARE(runtime::pointInFill(path, x, y, nonZero), hit);
}

void HitTestTest::strokes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("distance"); // from the line, beside its middle
    QTest::addColumn<bool>("hit");

    QTest::newRow("within half the width") << 100 << 40.0 << true;
    QTest::newRow("past half the width") << 100 << 60.0 << false;
    QTest::newRow("hairline is a pixel wide") << 0 << 9.0 << true;
    QTest::newRow("beyond a hairline") << 0 << 15.0 << false;
}

void HitTestTest::strokes()
{
    QFETCH(int, width);
    QFETCH(double, distance);
    QFETCH(bool, hit);
    QCOMPARE(runtime::hitTestShape(strokeShape(std::uint16_t(width)), 500, distance), hit);
    // Past the end of the line, the distance is to the end point.
    QCOMPARE(runtime::hitTestShape(strokeShape(std::uint16_t(width)), 1000 + distance, 0), hit);
}

void HitTestTest::placedCharacters_data()
{
    QTest::addColumn<int>("character");
    QTest::addColumn<double>("x"); // in the parent's space
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("hit");

    // 10: a 100-twip square placed scaled by 3 and turned a quarter, at (1000, 0): it
    // covers x 700 to 1000, y 0 to 300.
    QTest::newRow("transformed square") << 10 << 900.0 << 100.0 << true;
    QTest::newRow("where it was before turning") << 10 << 1100.0 << 100.0 << false;
    // 20: a sprite whose first frame places the square at (200, 0): placed the same
    // way, it covers x 700 to 1000, y 600 to 900.
    QTest::newRow("sprite content") << 20 << 950.0 << 750.0 << true;
    QTest::newRow("sprite without content there") << 20 << 900.0 << 100.0 << false;
    // 30: a sprite that places itself: nothing to hit, and the test ends.
    QTest::newRow("self-placing sprite") << 30 << 900.0 << 100.0 << false;
    // 40: a button whose hit area is the square.
    QTest::newRow("button hit area") << 40 << 900.0 << 100.0 << true;
    QTest::newRow("unknown id") << 99 << 900.0 << 100.0 << false;
}

void HitTestTest::placedCharacters()
{
    QFETCH(int, character);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, hit);

    const swf::MoviePtr movie = placedCharactersMovie();
    // Scale 3, a quarter turn (x' = -3y + 1000, y' = 3x), as a placement matrix.
    const swf::Matrix matrix{0, 3, -3, 0, 1000, 0};
    runtime::HitAreas areas(*movie);
    runtime::HitTestBudget budget(runtime::limits::kMaxHitTestWorkPerStep);
    QCOMPARE(runtime::hitTestPlaced(areas, budget, swf::CharacterId(character), matrix, x, y, 0),
             hit);
}

void HitTestTest::hitAreaBoxes_data()
{
    QTest::addColumn<int>("character");
    QTest::addColumn<bool>("unbounded");
    QTest::addColumn<QRectF>("atLeast"); // the box holds this; null for an empty box
    QTest::addColumn<QRectF>("atMost");  // and lies within this

    QTest::newRow("shape") << 10 << false << QRectF(0, 0, 100, 100) << QRectF(0, 0, 100, 100);
    QTest::newRow("sprite moves its child")
        << 20 << false << QRectF(200, 0, 100, 100) << QRectF(200, 0, 100, 100);
    QTest::newRow("sprite placing only itself") << 30 << false << QRectF() << QRectF();
    QTest::newRow("button hit area")
        << 40 << false << QRectF(0, 0, 100, 100) << QRectF(0, 0, 100, 100);
    // 50 places the square and itself 100 twips to the right: every path of up to the
    // nesting cap's placements reaches another square.
    QTest::newRow("sprite placing itself moved")
        << 50 << false << QRectF(0, 0, 100 * 63 + 100, 100) << QRectF(0, 0, 100 * 70, 100);
    // 60 places itself and a shape without bounds, which is tested in full.
    QTest::newRow("unbounded inside") << 60 << true << QRectF() << QRectF();
    QTest::newRow("unknown id") << 99 << false << QRectF() << QRectF();
}

void HitTestTest::hitAreaBoxes()
{
    QFETCH(int, character);
    QFETCH(bool, unbounded);
    QFETCH(QRectF, atLeast);
    QFETCH(QRectF, atMost);

    const swf::MoviePtr movie = placedCharactersMovie();
    runtime::HitAreas areas(*movie);
    const runtime::HitAreas::Box& box = areas.box(swf::CharacterId(character));
    QCOMPARE(box.unbounded, unbounded);
    if (unbounded)
        return;
    QCOMPARE(box.bounds.empty, atLeast.isNull());
    if (box.bounds.empty)
        return;
    const QRectF got(box.bounds.xMin, box.bounds.yMin, box.bounds.width(), box.bounds.height());
    QVERIFY2(got.contains(atLeast) && atMost.contains(got),
             qPrintable(QStringLiteral("box %1 %2 %3 %4")
                            .arg(got.x())
                            .arg(got.y())
                            .arg(got.width())
                            .arg(got.height())));
}

void HitTestTest::spentBudgetHitsNothing()
{
    const swf::MoviePtr movie = Builder().square(10).build();
    runtime::HitAreas areas(*movie);
    // A square's test walks its move, four sides and the closing piece: six units.
    for (const auto& [units, hit] : {std::pair{100, true}, std::pair{3, false}}) {
        runtime::HitTestBudget budget(std::uint64_t(units) + runtime::limits::kHitTestVisitCost);
        QCOMPARE(runtime::hitTestCharacter(areas, budget, 10, 50, 50, 0), hit);
        QCOMPARE(budget.exhausted(), !hit);
    }
}

QTEST_APPLESS_MAIN(HitTestTest)
#include "HitTestTest.moc"
