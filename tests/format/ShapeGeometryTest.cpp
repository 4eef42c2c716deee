#include "FormatTestHelpers.h"
#include "ShapeWriter.h"
#include "format/Limits.h"
#include "format/Shape.h"

#include <QtTest/QTest>

using namespace formattest;
using swfwriter::ShapeWriter;
using Points = std::vector<std::pair<int, int>>;

namespace {

swf::Result<swf::Shape> parse(const ShapeWriter& writer)
{
    const auto body = writer.body(1);
    auto in = afterId(body);
    return swf::parseShape(in, writer.version());
}

const swf::FillPath* fillPath(const swf::ShapeLayer& layer, std::uint32_t style)
{
    for (const auto& path : layer.fillPaths) {
        if (path.style == style)
            return &path;
    }
    return nullptr;
}

int solid(ShapeWriter& writer, std::uint8_t red)
{
    return writer.addFill(swfwriter::FillStyle::solid({red, 0, 0}));
}

} // namespace

class ShapeGeometryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Two squares side by side; the edge between them has one fill on each side, and
    // each square's outline must take it in its own direction.
    void sharedEdgeClosesBothFills()
    {
        ShapeWriter writer(3);
        const int a = solid(writer, 1), b = solid(writer, 2);
        writer.moveTo(0, 0).fill0(0).fill1(a).lineTo(100, 0);
        writer.fill1(b).lineTo(200, 0).lineTo(200, 100).lineTo(100, 100);
        writer.fill1(a).lineTo(0, 100).lineTo(0, 0);
        writer.moveTo(100, 0).fill0(b).fill1(a).lineTo(100, 100);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const swf::ShapeLayer& layer = shape->layers.at(0);
        QCOMPARE(layer.fillPaths.size(), 2u);

        const Points left{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
        const Points right{{100, 0}, {200, 0}, {200, 100}, {100, 100}};
        for (auto [style, expected] : {std::pair{0u, left}, std::pair{1u, right}}) {
            const swf::FillPath* path = fillPath(layer, style);
            QVERIFY(path);
            const auto parts = contours(path->path);
            QCOMPARE(parts.size(), 1u);
            QVERIFY(isClosed(parts[0]));
            QVERIFY(sameCycle(points(parts[0]), expected));
            QCOMPARE(doubleArea(parts[0]), 2 * 10000);
        }
    }

    void donutHasTwoOppositeContours_data()
    {
        QTest::addColumn<bool>("holeWithFill0");
        QTest::newRow("hole drawn backwards with fill1") << false;
        QTest::newRow("hole drawn forwards with fill0") << true;
    }

    void donutHasTwoOppositeContours()
    {
        QFETCH(bool, holeWithFill0);
        ShapeWriter writer(2);
        const int fill = solid(writer, 9);
        writer.fill1(fill).rect(0, 0, 300, 300);
        if (holeWithFill0)
            writer.fill1(0).fill0(fill).rect(100, 100, 100, 100);
        else
            writer.moveTo(100, 100).lineTo(100, 200).lineTo(200, 200).lineTo(200, 100).lineTo(100,
                                                                                              100);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const auto& paths = shape->layers.at(0).fillPaths;
        QCOMPARE(paths.size(), 1u);
        const auto parts = contours(paths[0].path);
        QCOMPARE(parts.size(), 2u);
        QVERIFY(isClosed(parts[0]) && isClosed(parts[1]));
        std::vector<std::int64_t> areas{doubleArea(parts[0]), doubleArea(parts[1])};
        std::sort(areas.begin(), areas.end());
        // Opposite directions: the hole stays empty under either fill rule.
        QCOMPARE(areas, (std::vector<std::int64_t>{-2 * 10000, 2 * 90000}));
    }

    void curvesKeepTheirControlPoints()
    {
        // A lens: an upper curve with the fill on one side, and a lower curve drawn
        // the other way round with the fill as fill0, so that it must be reversed.
        ShapeWriter writer(3);
        const int fill = solid(writer, 5);
        writer.moveTo(0, 0).fill1(fill).curveTo(50, -40, 100, 0);
        writer.moveTo(0, 0).fill1(0).fill0(fill).curveTo(50, 40, 100, 0);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const auto parts = contours(shape->layers.at(0).fillPaths.at(0).path);
        QCOMPARE(parts.size(), 1u);
        const auto& c = parts[0];
        QCOMPARE(c.size(), 3u);
        QVERIFY(isClosed(c));
        const swf::Segment first{swf::SegmentKind::Curve, 100, 0, 50, -40};
        const swf::Segment back{swf::SegmentKind::Curve, 0, 0, 50, 40};
        QCOMPARE(c[0], (swf::Segment{swf::SegmentKind::Move, 0, 0, 0, 0}));
        QCOMPARE(c[1], first);
        QCOMPARE(c[2], back);
    }

    void fragmentsJoinInAnyOrder()
    {
        // The square's sides come out of order and from different moves.
        ShapeWriter writer(3);
        const int fill = solid(writer, 5);
        writer.fill1(fill);
        writer.moveTo(100, 0).lineTo(100, 100);
        writer.moveTo(0, 100).lineTo(0, 0);
        writer.moveTo(100, 100).lineTo(0, 100);
        writer.moveTo(0, 0).lineTo(100, 0);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const auto parts = contours(shape->layers.at(0).fillPaths.at(0).path);
        QCOMPARE(parts.size(), 1u);
        QCOMPARE(parts[0].size(), 5u);
        QVERIFY(sameCycle(points(parts[0]), {{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
    }

    void openFragmentIsClosed()
    {
        // Leniency: three sides of a square; the fill is closed by a straight line. The
        // middle side comes first, so the walk must also reach back for the side before.
        ShapeWriter writer(3);
        const int fill = solid(writer, 5);
        writer.fill1(fill).moveTo(100, 0).lineTo(100, 100).lineTo(0, 100);
        writer.moveTo(0, 0).lineTo(100, 0);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const auto parts = contours(shape->layers.at(0).fillPaths.at(0).path);
        QCOMPARE(parts.size(), 1u);
        QVERIFY(isClosed(parts[0]));
        QCOMPARE(parts[0].front(), (swf::Segment{swf::SegmentKind::Move, 0, 0, 0, 0}));
        QCOMPARE(parts[0].back().kind, swf::SegmentKind::Line);
        QCOMPARE(doubleArea(parts[0]), 2 * 10000);
    }

    void sameFillOnBothSidesBoundsNothing()
    {
        ShapeWriter writer(3);
        const int fill = solid(writer, 5);
        writer.fill1(fill).rect(0, 0, 100, 100);
        writer.fill0(fill).moveTo(50, 0).lineTo(50, 100);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const auto parts = contours(shape->layers.at(0).fillPaths.at(0).path);
        QCOMPARE(parts.size(), 1u);
        QCOMPARE(points(parts[0]).size(), 4u);
    }

    void strokesChainAndJump()
    {
        ShapeWriter writer(3);
        const int thin = writer.addLine(swfwriter::LineStyle::solid(20));
        const int thick = writer.addLine(swfwriter::LineStyle::solid(80));
        writer.line(thin).moveTo(0, 0).lineTo(100, 0);
        writer.line(thick).lineTo(100, 100);
        writer.line(thin).lineTo(0, 100).curveTo(-50, 50, 0, 0);
        writer.moveTo(300, 300).lineTo(400, 300);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const swf::ShapeLayer& layer = shape->layers.at(0);
        QVERIFY(layer.fillPaths.empty());
        QCOMPARE(layer.strokePaths.size(), 2u);
        using K = swf::SegmentKind;
        const std::vector<swf::Segment> thinPath{
            {K::Move, 0, 0, 0, 0},    {K::Line, 100, 0, 0, 0},   {K::Move, 100, 100, 0, 0},
            {K::Line, 0, 100, 0, 0},  {K::Curve, 0, 0, -50, 50}, {K::Move, 300, 300, 0, 0},
            {K::Line, 400, 300, 0, 0}};
        QCOMPARE(layer.strokePaths[0].style, 0u);
        QCOMPARE(layer.strokePaths[0].path.segments, thinPath);
        const std::vector<swf::Segment> thickPath{{K::Move, 100, 0, 0, 0},
                                                  {K::Line, 100, 100, 0, 0}};
        QCOMPARE(layer.strokePaths[1].style, 1u);
        QCOMPARE(layer.strokePaths[1].path.segments, thickPath);
    }

    void newStylesMakeLayers_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("DefineShape2") << 2;
        QTest::newRow("DefineShape4") << 4;
        // Leniency: DefineShape should not have new styles, but they are read.
        QTest::newRow("DefineShape") << 1;
    }

    void newStylesMakeLayers()
    {
        QFETCH(int, version);
        ShapeWriter writer(version);
        const int red = solid(writer, 200);
        writer.fill1(red).rect(0, 0, 100, 100);
        writer.newStyles();
        solid(writer, 1);
        const int blue = writer.addFill(swfwriter::FillStyle::solid({0, 0, 255}));
        const int line = writer.addLine(swfwriter::LineStyle::solid(40));
        // The indexes set with the new arrays refer to them.
        writer.fill1(blue).line(line).rect(50, 50, 100, 100);
        auto shape = parse(writer);
        QVERIFY2(shape.ok(), shape.ok() ? "" : shape.error().message().c_str());
        QCOMPARE(shape->layers.size(), 2u);

        const swf::ShapeLayer& first = shape->layers[0];
        QCOMPARE(first.fills.size(), 1u);
        QCOMPARE(int(first.fills[0].color.r), 200);
        QCOMPARE(first.fillPaths.size(), 1u);
        QVERIFY(sameCycle(points(contours(first.fillPaths[0].path).at(0)),
                          {{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
        QVERIFY(first.strokePaths.empty());

        const swf::ShapeLayer& second = shape->layers[1];
        QCOMPARE(second.fills.size(), 2u);
        QCOMPARE(second.fillPaths.size(), 1u);
        QCOMPARE(second.fillPaths[0].style, 1u);
        QCOMPARE(int(second.fills[1].color.b), 255);
        QVERIFY(sameCycle(points(contours(second.fillPaths[0].path).at(0)),
                          {{50, 50}, {150, 50}, {150, 150}, {50, 150}}));
        QCOMPARE(second.strokePaths.size(), 1u);
        QCOMPARE(second.strokePaths[0].path.segments.size(), 5u);
    }

    void newStylesResetTheIndexes()
    {
        // Without indexes on the new arrays' record, the edges after it have no style.
        ShapeWriter writer(3);
        writer.fill1(solid(writer, 1))
            .line(writer.addLine(swfwriter::LineStyle::solid(20)))
            .rect(0, 0, 10, 10);
        writer.newStyles();
        solid(writer, 2);
        writer.addLine(swfwriter::LineStyle::solid(20));
        writer.moveTo(0, 0).lineTo(50, 50).lineTo(0, 50).lineTo(0, 0);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        QCOMPARE(shape->layers.size(), 2u);
        QVERIFY(shape->layers[1].fillPaths.empty());
        QVERIFY(shape->layers[1].strokePaths.empty());
    }

    void badStyleIndexesAreDropped()
    {
        // Leniency: fill 5 and line 3 do not exist; the edges still draw with the
        // styles that do.
        ShapeWriter writer(3);
        const int fill = solid(writer, 1);
        writer.fill0(5).fill1(fill).line(3).rect(0, 0, 100, 100);
        auto shape = parse(writer);
        QVERIFY(shape.ok());
        const swf::ShapeLayer& layer = shape->layers.at(0);
        QCOMPARE(layer.fillPaths.size(), 1u);
        QCOMPARE(layer.fillPaths[0].style, 0u);
        QVERIFY(layer.strokePaths.empty());
    }

    void everyCutIsAnError()
    {
        ShapeWriter writer(4);
        writer.fill1(writer.addFill(swfwriter::FillStyle::linear({{0, {}}, {255, {}}}, {})));
        writer.line(writer.addLine(swfwriter::LineStyle::solid(20)))
            .rect(0, 0, 100, 100)
            .curveTo(50, 50, 0, 0);
        writer.newStyles();
        writer.fill0(writer.addFill(swfwriter::FillStyle::solid({}))).rect(5, 5, 10, 10);
        const auto body = writer.body(1);
        for (std::size_t length = 2; length < body.size(); ++length) {
            const std::vector<std::uint8_t> cut(body.begin(), body.begin() + long(length));
            auto in = afterId(cut);
            auto shape = swf::parseShape(in, 4);
            QVERIFY2(!shape.ok(), qPrintable(QString::number(length)));
            QCOMPARE(shape.error().code, swf::ErrorCode::Truncated);
        }
        auto in = afterId(body);
        QVERIFY(swf::parseShape(in, 4).ok());
    }

    void coordinatesOutOfRange()
    {
        ShapeWriter writer(3);
        const std::int32_t edge = swf::limits::kMaxCoordinate - 10;
        writer.line(writer.addLine(swfwriter::LineStyle::solid(20)));
        writer.moveTo(edge, 0).lineTo(edge + 100, 0);
        const auto body = writer.body(1, {0, 20, 0, 20}); // bounds too large to write
        auto in = afterId(body);
        auto shape = swf::parseShape(in, 3);
        QVERIFY(!shape.ok());
        QCOMPARE(shape.error().code, swf::ErrorCode::BadValue);
    }

    void recordCountIsCapped()
    {
        ShapeWriter writer(3);
        for (std::size_t i = 0; i <= swf::limits::kMaxShapeRecords; ++i)
            writer.lineTo(std::int32_t(i % 2), 0);
        auto shape = parse(writer);
        QVERIFY(!shape.ok());
        QCOMPARE(shape.error().code, swf::ErrorCode::TooLarge);
    }

    void glyphOutline()
    {
        ShapeWriter glyph;
        glyph.fill1(1).rect(0, -700, 400, 700);
        glyph.fill1(0).fill0(1).rect(100, -600, 200, 500);
        const auto bytes = glyph.glyphBytes();
        swf::ByteReader in(bytes);
        auto outline = swf::parseGlyphOutline(in);
        QVERIFY(outline.ok());
        QVERIFY(in.atEnd());
        const auto parts = contours(*outline);
        QCOMPARE(parts.size(), 2u);
        QVERIFY(isClosed(parts[0]) && isClosed(parts[1]));
        QCOMPARE(doubleArea(parts[0]) > 0, doubleArea(parts[1]) < 0);
    }

    void glyphWithStyleArraysIsRefused()
    {
        ShapeWriter glyph;
        glyph.fill1(1).rect(0, 0, 10, 10).newStyles().fill1(1).rect(0, 0, 5, 5);
        const auto bytes = glyph.glyphBytes();
        swf::ByteReader in(bytes);
        auto outline = swf::parseGlyphOutline(in);
        QVERIFY(!outline.ok());
        QCOMPARE(outline.error().code, swf::ErrorCode::BadValue);
    }
};

QTEST_APPLESS_MAIN(ShapeGeometryTest)
#include "ShapeGeometryTest.moc"
