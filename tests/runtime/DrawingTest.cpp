// What scripts draw, as the runtime keeps it: the shapes the calls make (fills closed,
// closing edges stroked, layers), their bounds, versions, copies and caps.
#include "runtime/Drawing.h"

#include "runtime/BitmapData.h"
#include "runtime/Limits.h"
#include "runtime/ShapeHitTest.h"

#include <QtTest>
#include <functional>

using runtime::Drawing;
using swf::SegmentKind;

Q_DECLARE_METATYPE(std::function<void(Drawing&)>)

namespace {

using Script = std::function<void(Drawing&)>;

swf::FillStyle solid(std::uint8_t red)
{
    swf::FillStyle fill;
    fill.color = {red, 0, 0, 255};
    return fill;
}

swf::LineStyle line(std::uint16_t width)
{
    swf::LineStyle style;
    style.width = width;
    return style;
}

// A square of `size` twips from (x, y), drawn clockwise from its corner.
void square(Drawing& d, int x, int y, int size)
{
    d.moveTo(x, y);
    d.lineTo(x + size, y);
    d.lineTo(x + size, y + size);
    d.lineTo(x, y + size);
    d.lineTo(x, y);
}

// "x0,y0 x1,y1" of a rectangle, or "empty".
QString box(const runtime::Bounds& b)
{
    if (b.empty)
        return "empty";
    return QString("%1,%2 %3,%4").arg(b.xMin).arg(b.yMin).arg(b.xMax).arg(b.yMax);
}

// The segments of a path as "M0,0 L100,0 C50,50>100,100".
QString segments(const swf::Path& path)
{
    QStringList out;
    for (const swf::Segment& s : path.segments) {
        switch (s.kind) {
        case SegmentKind::Move:
            out << QString("M%1,%2").arg(s.x).arg(s.y);
            break;
        case SegmentKind::Line:
            out << QString("L%1,%2").arg(s.x).arg(s.y);
            break;
        case SegmentKind::Curve:
            out << QString("C%1,%2>%3,%4").arg(s.cx).arg(s.cy).arg(s.x).arg(s.y);
            break;
        }
    }
    return out.join(' ');
}

bool hits(const Drawing& d, double x, double y)
{
    const auto shape = d.shape();
    return shape && runtime::hitTestShape(*shape, x, y);
}

} // namespace

class DrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bounds_data();
    void bounds();
    void fillContours_data();
    void fillContours();
    void closingEdgeIsStroked();
    void fillOverLinesStartsLayer();
    void holesAndHits();
    void clearTakesEverything();
    void versionFollowsContent();
    void copyKeepsDrawing();
    void bitmapFillsNameTheirBitmaps();
    void capsRefuseCalls();
};

void DrawingTest::bounds_data()
{
    QTest::addColumn<Script>("draw");
    QTest::addColumn<QString>("bounds");
    QTest::addColumn<QString>("edgeBounds");

    QTest::newRow("nothing drawn") << Script([](Drawing& d) { d.moveTo(100, 100); }) << "empty"
                                   << "empty";
    QTest::newRow("lines without a style draw nothing")
        << Script([](Drawing& d) { d.lineTo(100, 100); }) << "empty"
        << "empty";
    QTest::newRow("a line reaches its whole width beyond its ends") << Script([](Drawing& d) {
        d.setLineStyle(line(400));
        d.moveTo(2000, 2000);
        d.lineTo(4000, 4000);
    }) << "1600,1600 4400,4400"
                                                                    << "2000,2000 4000,4000";
    QTest::newRow("hairline from the origin") << Script([](Drawing& d) {
        d.setLineStyle(line(0));
        d.lineTo(300, -200);
    }) << "0,-200 300,0"
                                              << "0,-200 300,0";
    QTest::newRow("a curve is measured to its control point") << Script([](Drawing& d) {
        d.setLineStyle(line(0));
        d.curveTo(500, 1000, 1000, 0);
    }) << "0,0 1000,1000"
                                                              << "0,0 1000,1000";
    QTest::newRow("fill without lines") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        square(d, 100, 200, 1000);
        d.endFill();
    }) << "100,200 1100,1200"
                                        << "100,200 1100,1200";
    QTest::newRow("each line style reaches its own width") << Script([](Drawing& d) {
        d.setLineStyle(line(100));
        d.lineTo(1000, 0);
        d.setLineStyle(line(0));
        d.lineTo(1000, 1000);
        d.setLineStyle(std::nullopt);
        d.lineTo(5000, 5000);
    }) << "-100,-100 1100,1000"
                                                           << "0,0 1000,1000";
}

void DrawingTest::bounds()
{
    QFETCH(Script, draw);
    QFETCH(QString, bounds);
    QFETCH(QString, edgeBounds);
    Drawing drawing;
    draw(drawing);
    QCOMPARE(box(drawing.bounds()), bounds);
    QCOMPARE(box(drawing.edgeBounds()), edgeBounds);
}

void DrawingTest::fillContours_data()
{
    QTest::addColumn<Script>("draw");
    QTest::addColumn<QString>("fill");

    QTest::newRow("lineTo without moveTo starts at the origin") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        d.lineTo(100, 0);
        d.lineTo(100, 100);
    }) << "M0,0 L100,0 L100,100 L0,0";
    QTest::newRow("endFill closes") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        d.moveTo(10, 10);
        d.lineTo(100, 10);
        d.lineTo(100, 100);
        d.endFill();
        d.lineTo(500, 500);
    }) << "M10,10 L100,10 L100,100 L10,10";
    QTest::newRow("moveTo closes and starts another contour") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        d.lineTo(100, 0);
        d.lineTo(0, 100);
        d.moveTo(500, 500);
        d.lineTo(600, 500);
        d.curveTo(600, 600, 500, 600);
    }) << "M0,0 L100,0 L0,100 L0,0 M500,500 L600,500 C600,600>500,600 L500,500";
    QTest::newRow("a contour already closed gets no extra edge") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        square(d, 0, 0, 100);
    }) << "M0,0 L100,0 L100,100 L0,100 L0,0";
    QTest::newRow("a fill begun afresh closes the one before") << Script([](Drawing& d) {
        d.beginFill(solid(255));
        d.lineTo(100, 0);
        d.lineTo(100, 100);
        d.beginFill(solid(1));
    }) << "M0,0 L100,0 L100,100 L0,0";
    QTest::newRow("closing a contour leaves the pen where it was") << Script([](Drawing& d) {
        d.moveTo(50, 50);
        d.beginFill(solid(255));
        d.lineTo(100, 50);
        d.lineTo(100, 100);
        d.endFill();
        d.beginFill(solid(255));
        d.lineTo(0, 0);
        d.lineTo(0, 50);
    }) << "M100,100 L0,0 L0,50 L100,100";
}

void DrawingTest::fillContours()
{
    QFETCH(Script, draw);
    QFETCH(QString, fill);
    Drawing drawing;
    draw(drawing);
    const auto shape = drawing.shape();
    QVERIFY(shape);
    QVERIFY(!shape->layers.empty());
    QVERIFY(!shape->layers.back().fillPaths.empty());
    QCOMPARE(segments(shape->layers.back().fillPaths.back().path), fill);
    QVERIFY(!shape->nonZeroWinding);
}

void DrawingTest::closingEdgeIsStroked()
{
    // The fill is still open when read: its closing edge is drawn with the line style,
    // which was set after the fill began.
    Drawing drawing;
    drawing.beginFill(solid(255));
    drawing.setLineStyle(line(100));
    drawing.moveTo(300, 100);
    drawing.lineTo(400, 300);
    drawing.lineTo(200, 300);
    const auto shape = drawing.shape();
    QVERIFY(shape);
    QCOMPARE(shape->layers.size(), std::size_t(1));
    QCOMPARE(segments(shape->layers[0].strokePaths.at(0).path),
             "M300,100 L400,300 L200,300 L300,100");
    // Once ended, the next line starts from the pen, which closing did not move.
    drawing.endFill();
    drawing.lineTo(500, 500);
    QCOMPARE(segments(drawing.shape()->layers[0].strokePaths.at(0).path),
             "M300,100 L400,300 L200,300 L300,100 M200,300 L500,500");

    // Lines alone are never closed.
    Drawing open;
    open.setLineStyle(line(100));
    open.moveTo(400, 150);
    open.lineTo(500, 350);
    open.lineTo(300, 350);
    QCOMPARE(segments(open.shape()->layers[0].strokePaths.at(0).path),
             "M400,150 L500,350 L300,350");
}

void DrawingTest::fillOverLinesStartsLayer()
{
    Drawing drawing;
    drawing.setLineStyle(line(20));
    drawing.beginFill(solid(1));
    square(drawing, 0, 0, 100);
    drawing.endFill();
    drawing.beginFill(solid(2));
    square(drawing, 50, 50, 100);
    drawing.endFill();
    const auto shape = drawing.shape();
    // The second fill paints over the first square's lines: it lies in a layer above.
    QCOMPARE(shape->layers.size(), std::size_t(2));
    QCOMPARE(shape->layers[0].fills.at(0).color.r, std::uint8_t(1));
    QCOMPARE(shape->layers[1].fills.at(0).color.r, std::uint8_t(2));
    QCOMPARE(shape->layers[1].strokePaths.size(), std::size_t(1));
    QCOMPARE(shape->layers[1].lines.at(0).width, std::uint16_t(20));
}

void DrawingTest::holesAndHits()
{
    Drawing drawing;
    drawing.beginFill(solid(255));
    square(drawing, 0, 0, 1000);
    square(drawing, 250, 250, 500);
    drawing.endFill();
    QVERIFY(hits(drawing, 100, 100));
    QVERIFY(!hits(drawing, 500, 500)); // the hole: the contours fill even-odd
    QVERIFY(!hits(drawing, 1500, 500));

    drawing.setLineStyle(line(200));
    drawing.moveTo(2000, 0);
    drawing.lineTo(3000, 0);
    QVERIFY(hits(drawing, 2500, 90));
    QVERIFY(!hits(drawing, 2500, 150));
}

void DrawingTest::clearTakesEverything()
{
    Drawing drawing;
    drawing.setLineStyle(line(40));
    drawing.beginFill(solid(255));
    square(drawing, 0, 0, 100);
    QVERIFY(drawing.shape());
    drawing.clear();
    QVERIFY(drawing.empty());
    QVERIFY(!drawing.shape());
    QVERIFY(drawing.bounds().empty);
    // The line style went too, and the pen is back at the origin.
    drawing.lineTo(100, 100);
    QVERIFY(!drawing.shape());
    drawing.setLineStyle(line(0));
    drawing.lineTo(200, 200);
    QCOMPARE(segments(drawing.shape()->layers[0].strokePaths.at(0).path), "M100,100 L200,200");
}

void DrawingTest::versionFollowsContent()
{
    Drawing drawing;
    QCOMPARE(drawing.version(), std::uint64_t(0));
    auto frame = [&](int size) {
        drawing.clear();
        drawing.beginFill(solid(255));
        square(drawing, 0, 0, size);
        drawing.endFill();
    };
    frame(100);
    const std::uint64_t first = drawing.version();
    const auto shape = drawing.shape();
    QVERIFY(first != 0);
    // The same picture drawn again is the same shape.
    frame(100);
    QCOMPARE(drawing.version(), first);
    QCOMPARE(drawing.shape(), shape);
    frame(200);
    QVERIFY(drawing.version() != first);
    QCOMPARE(box(drawing.bounds()), "0,0 200,200");
}

void DrawingTest::copyKeepsDrawing()
{
    runtime::DrawingBudget budget;
    Drawing original(&budget);
    original.setLineStyle(line(0));
    original.lineTo(100, 0);
    Drawing copy(&budget);
    QVERIFY(copy.copyFrom(original));
    QCOMPARE(budget.used(), original.commandCount() * 2);
    // The copy goes on where the original's pen and line style were.
    copy.lineTo(100, 100);
    QCOMPARE(segments(copy.shape()->layers[0].strokePaths.at(0).path), "M0,0 L100,0 L100,100");
    QCOMPARE(box(original.bounds()), "0,0 100,0");
}

void DrawingTest::bitmapFillsNameTheirBitmaps()
{
    auto first = std::make_shared<runtime::BitmapData>(2, 2, true, 0);
    auto second = std::make_shared<runtime::BitmapData>(2, 2, true, 0);
    swf::FillStyle fill;
    fill.type = swf::FillType::RepeatingBitmap;
    Drawing drawing;
    auto frame = [&](const std::vector<std::shared_ptr<runtime::BitmapData>>& bitmaps) {
        drawing.clear();
        for (const auto& bitmap : bitmaps) {
            QVERIFY(drawing.beginBitmapFill(fill, bitmap));
            square(drawing, 0, 0, 100);
        }
        drawing.endFill();
    };
    // A bitmap filled with twice is kept once; each fill names its bitmap's place.
    frame({first, second, first});
    QCOMPARE(drawing.bitmaps().size(), std::size_t(2));
    QCOMPARE(drawing.bitmaps()[1], second);
    const auto& layers = drawing.shape()->layers;
    std::vector<int> ids;
    for (const auto& layer : layers)
        for (const swf::FillStyle& style : layer.fills)
            ids.push_back(style.bitmapId);
    QCOMPARE(ids, (std::vector<int>{0, 1, 0}));
    QVERIFY(!drawing.beginBitmapFill(fill, nullptr));
    // The same calls with other bitmaps are another picture.
    const std::uint64_t version = drawing.version();
    frame({first, second, first});
    QCOMPARE(drawing.version(), version);
    frame({second, first, second});
    QVERIFY(drawing.version() != version);
    // Copies paint with the same bitmaps; clear lets them go.
    Drawing copy;
    QVERIFY(copy.copyFrom(drawing));
    QCOMPARE(copy.bitmaps(), drawing.bitmaps());
    drawing.clear();
    QVERIFY(drawing.bitmaps().empty());
}

void DrawingTest::capsRefuseCalls()
{
    {
        Drawing drawing;
        for (std::size_t i = 0; i < runtime::limits::kMaxDrawingCommands; ++i)
            QVERIFY(drawing.moveTo(1, 1));
        QVERIFY(!drawing.lineTo(100, 100));
        QVERIFY(!drawing.beginFill(solid(1)));
        QCOMPARE(drawing.commandCount(), runtime::limits::kMaxDrawingCommands);
        drawing.clear();
        QVERIFY(drawing.lineTo(100, 100));
    }
    {
        // The player's budget is shared: what one clip holds another cannot have, and
        // what a clip gives back on clear() or when it goes is free again.
        runtime::DrawingBudget budget;
        QVERIFY(budget.take(runtime::limits::kMaxDrawingCommandsTotal - 2));
        Drawing first(&budget), second(&budget);
        QVERIFY(first.moveTo(0, 0));
        QVERIFY(second.moveTo(0, 0));
        QVERIFY(!second.lineTo(10, 10));
        first.clear();
        QVERIFY(second.lineTo(10, 10));
        {
            Drawing third(&budget);
            QVERIFY(!third.moveTo(0, 0));
        }
        QCOMPARE(budget.used(), runtime::limits::kMaxDrawingCommandsTotal);
    }
    {
        Drawing drawing;
        for (std::size_t i = 0; i < runtime::limits::kMaxDrawingStyles; ++i)
            QVERIFY(drawing.setLineStyle(line(1)));
        QVERIFY(!drawing.setLineStyle(line(2)));
        // Taking the lines away needs no style.
        QVERIFY(drawing.setLineStyle(std::nullopt));
    }
}

QTEST_APPLESS_MAIN(DrawingTest)
#include "DrawingTest.moc"
