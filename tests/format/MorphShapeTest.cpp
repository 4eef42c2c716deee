#include "format/MorphShape.h"

#include "FormatTestHelpers.h"
#include "MorphShapeWriter.h"

#include <QtTest/QTest>

using namespace formattest;
using swfwriter::FillStyle;
using swfwriter::LineStyle;
using swfwriter::MorphShapeWriter;

namespace {

swf::Result<swf::MorphShape> parse(const MorphShapeWriter& writer, int version)
{
    const auto body = writer.body(1);
    auto in = afterId(body);
    auto morph = swf::parseMorphShape(in, version);
    if (morph.ok() && !in.atEnd())
        return swf::makeError(swf::ErrorCode::BadValue, "bytes left after the morph");
    return morph;
}

// A square growing from 100 to 200 twips, red to blue, with an outline thickening
// from 20 to 40 twips.
MorphShapeWriter growingSquare(int version)
{
    MorphShapeWriter writer(version);
    const int fill =
        writer.addFill(FillStyle::solid({255, 0, 0, 255}), FillStyle::solid({0, 0, 255, 55}));
    const int line =
        writer.addLine(LineStyle::solid(20, {0, 0, 0}), LineStyle::solid(40, {255, 255, 255}));
    writer.startEdges().fill1(fill).line(line).rect(0, 0, 100, 100);
    writer.endEdges().rect(0, 0, 200, 200);
    return writer;
}

} // namespace

class MorphShapeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsBothHalves()
    {
        auto morph = parse(growingSquare(1), 1);
        QVERIFY2(morph.ok(), morph.ok() ? "" : morph.error().message().c_str());
        QCOMPARE(morph->startBounds, (swf::Rect{{0}, {100}, {0}, {100}}));
        QCOMPARE(morph->endBounds, (swf::Rect{{0}, {200}, {0}, {200}}));
        QCOMPARE(morph->startEdgeBounds, morph->startBounds);
        QCOMPARE(morph->startFills.size(), 1u);
        QCOMPARE(morph->endFills.at(0).color, (swf::Rgba{0, 0, 255, 55}));
        QCOMPARE(int(morph->startLines.at(0).width), 20);
        QCOMPARE(int(morph->endLines.at(0).width), 40);
        QCOMPARE(morph->startEdges.size(), 4u);
        QCOMPARE(morph->endEdges.size(), 4u);
        const swf::MorphShape::Edge& edge = morph->endEdges[1];
        QCOMPARE(edge.fromX, 200);
        QCOMPARE(edge.fromY, 0);
        QCOMPARE(edge.x, 200);
        QCOMPARE(edge.y, 200);
        QCOMPARE(morph->startEdges[1].fill1, 1u);
        QCOMPARE(morph->startEdges[1].line, 1u);
    }

    void shapeAtRatio_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("corner");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("blue");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("width");
        QTest::newRow("start") << 0.0 << 100 << 255 << 0 << 255 << 20;
        QTest::newRow("half") << 0.5 << 150 << 128 << 128 << 155 << 30;
        QTest::newRow("end") << 1.0 << 200 << 0 << 255 << 55 << 40;
        QTest::newRow("past the end is the end") << 7.0 << 200 << 0 << 255 << 55 << 40;
    }

    void shapeAtRatio()
    {
        QFETCH(double, ratio);
        QFETCH(int, corner);
        QFETCH(int, red);
        QFETCH(int, blue);
        QFETCH(int, alpha);
        QFETCH(int, width);
        auto morph = parse(growingSquare(1), 1);
        QVERIFY(morph.ok());
        const swf::Shape shape = swf::morphShapeAt(*morph, ratio);
        QCOMPARE(shape.bounds.xMax.value, corner);
        QCOMPARE(shape.layers.size(), 1u);
        const swf::ShapeLayer& layer = shape.layers[0];
        QCOMPARE(layer.fills.at(0).color,
                 (swf::Rgba{std::uint8_t(red), 0, std::uint8_t(blue), std::uint8_t(alpha)}));
        QCOMPARE(int(layer.lines.at(0).width), width);
        QCOMPARE(layer.fillPaths.size(), 1u);
        const auto parts = contours(layer.fillPaths[0].path);
        QCOMPARE(parts.size(), 1u);
        QVERIFY(isClosed(parts[0]));
        QVERIFY(sameCycle(points(parts[0]), {{0, 0}, {corner, 0}, {corner, corner}, {0, corner}}));
        QCOMPARE(layer.strokePaths.size(), 1u);
        QCOMPARE(layer.strokePaths[0].path.segments.size(), 5u);
    }

    void gradientsAndVersion2Fields()
    {
        MorphShapeWriter writer(2);
        FillStyle start = FillStyle::radial({{0, {0, 0, 0, 0}}, {200, {100, 100, 100, 100}}},
                                            swfwriter::Matrix::scale(1, 1, 0, 0));
        start.type = 0x13;
        start.focalPoint = -0.5;
        start.spread = 1;
        FillStyle end = FillStyle::radial({{100, {200, 0, 50, 250}}, {255, {0, 0, 0, 0}}},
                                          swfwriter::Matrix::scale(2, 3, 400, 800));
        end.focalPoint = 0.5;
        const int fill = writer.addFill(start, end);
        LineStyle line = LineStyle::solid(10);
        line.join = 2;
        line.miterLimit = 4;
        line.endCap = 2;
        line.noClose = true;
        line.fill = FillStyle::linear({{0, {1, 2, 3, 4}}}, {});
        LineStyle lineEnd = LineStyle::solid(30);
        lineEnd.fill = FillStyle::linear({{255, {5, 6, 7, 8}}}, {});
        writer.addLine(line, lineEnd);
        writer.setEdgeBounds({1, 2, 3, 4}, {5, 6, 7, 8}).setStrokeFlags(true, false);
        writer.startEdges().fill0(fill).line(1).rect(0, 0, 10, 10);
        writer.endEdges().rect(0, 0, 10, 10);

        auto morph = parse(writer, 2);
        QVERIFY2(morph.ok(), morph.ok() ? "" : morph.error().message().c_str());
        QCOMPARE(morph->startEdgeBounds, (swf::Rect{{1}, {2}, {3}, {4}}));
        QCOMPARE(morph->endEdgeBounds, (swf::Rect{{5}, {6}, {7}, {8}}));
        QVERIFY(morph->hasNonScalingStrokes);
        QVERIFY(!morph->hasScalingStrokes);
        const swf::FillStyle& endFill = morph->endFills.at(0);
        QCOMPARE(int(endFill.type), int(swf::FillType::FocalRadialGradient));
        QCOMPARE(int(endFill.gradient.spread), int(swf::SpreadMode::Reflect));
        QCOMPARE(endFill.matrix, (swf::Matrix{2, 0, 0, 3, 400, 800}));
        QCOMPARE(endFill.gradient.focalPoint, 0.5f);
        QCOMPARE(morph->startFills.at(0).gradient.focalPoint, -0.5f);
        // The end line keeps the start's join and caps but has its own width and fill.
        const swf::LineStyle& endLine = morph->endLines.at(0);
        QCOMPARE(int(endLine.width), 30);
        QCOMPARE(int(endLine.join), int(swf::JoinStyle::Miter));
        QCOMPARE(endLine.miterLimit, 4.0f);
        QCOMPARE(int(endLine.endCap), int(swf::CapStyle::Square));
        QVERIFY(endLine.noClose);
        QVERIFY(endLine.fill.has_value());
        QCOMPARE(endLine.fill->gradient.stops.at(0).color, (swf::Rgba{5, 6, 7, 8}));

        const swf::Shape half = swf::morphShapeAt(*morph, 0.5);
        const swf::FillStyle& fillHalf = half.layers.at(0).fills.at(0);
        QCOMPARE(fillHalf.matrix, (swf::Matrix{1.5, 0, 0, 2, 200, 400}));
        QCOMPARE(fillHalf.gradient.focalPoint, 0.0f);
        QCOMPARE(fillHalf.gradient.stops.at(0),
                 (swf::GradientStop{50, swf::Rgba{100, 0, 25, 125}}));
        QCOMPARE(int(fillHalf.gradient.stops.at(1).ratio), 228);
        const swf::LineStyle& lineHalf = half.layers[0].lines.at(0);
        QCOMPARE(int(lineHalf.width), 20);
        QCOMPARE(lineHalf.fill->gradient.stops.at(0),
                 (swf::GradientStop{128, swf::Rgba{3, 4, 5, 6}}));
        QCOMPARE(half.edgeBounds, (swf::Rect{{3}, {4}, {5}, {6}}));
        QVERIFY(half.hasNonScalingStrokes);
    }

    void straightEdgePairsWithCurve()
    {
        MorphShapeWriter writer;
        const int line = writer.addLine(LineStyle::solid(20), LineStyle::solid(20));
        writer.startEdges().line(line).moveTo(0, 0).lineTo(100, 0);
        writer.endEdges().moveTo(0, 0).curveTo(50, 100, 100, 0);
        auto morph = parse(writer, 1);
        QVERIFY(morph.ok());
        using K = swf::SegmentKind;
        const auto atHalf = swf::morphShapeAt(*morph, 0.5).layers.at(0).strokePaths.at(0).path;
        const std::vector<swf::Segment> expected{{K::Move, 0, 0, 0, 0}, {K::Curve, 100, 0, 50, 50}};
        QCOMPARE(atHalf.segments, expected);
        // At the start the curve is still the straight line, its control on the line.
        const auto atStart = swf::morphShapeAt(*morph, 0).layers[0].strokePaths.at(0).path;
        QCOMPARE(atStart.segments.at(1), (swf::Segment{K::Curve, 100, 0, 50, 0}));
    }

    void movesPairToo()
    {
        MorphShapeWriter writer;
        const int line = writer.addLine(LineStyle::solid(20), LineStyle::solid(20));
        writer.startEdges().line(line).moveTo(0, 0).lineTo(100, 0).moveTo(0, 100).lineTo(100, 100);
        writer.endEdges().moveTo(0, 0).lineTo(100, 0).moveTo(0, 300).lineTo(100, 300);
        auto morph = parse(writer, 1);
        QVERIFY(morph.ok());
        const auto path = swf::morphShapeAt(*morph, 0.5).layers.at(0).strokePaths.at(0).path;
        const auto parts = contours(path);
        QCOMPARE(parts.size(), 2u);
        QCOMPARE(parts[1].front(), (swf::Segment{swf::SegmentKind::Move, 0, 200, 0, 0}));
    }

    void shortEndListKeepsTheStart()
    {
        // Leniency: start edges without partners stay where the start puts them.
        MorphShapeWriter writer;
        const int line = writer.addLine(LineStyle::solid(20), LineStyle::solid(20));
        writer.startEdges().line(line).moveTo(0, 0).lineTo(100, 0).lineTo(100, 100);
        writer.endEdges().moveTo(0, 0).lineTo(300, 0);
        auto morph = parse(writer, 1);
        QVERIFY(morph.ok());
        const auto path = swf::morphShapeAt(*morph, 1).layers.at(0).strokePaths.at(0).path;
        using K = swf::SegmentKind;
        const std::vector<swf::Segment> expected{{K::Move, 0, 0, 0, 0},
                                                 {K::Line, 300, 0, 0, 0},
                                                 {K::Move, 100, 0, 0, 0},
                                                 {K::Line, 100, 100, 0, 0}};
        QCOMPARE(path.segments, expected);
    }

    void brokenMorphs_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("code");
        QTest::newRow("offset past the end") << 100000 << int(swf::ErrorCode::BadValue);
        QTest::newRow("offset inside the styles") << 3 << int(swf::ErrorCode::BadValue);
        QTest::newRow("offset cuts the start edges") << 40 << int(swf::ErrorCode::Truncated);
    }

    void brokenMorphs()
    {
        QFETCH(int, offset);
        QFETCH(int, code);
        auto writer = growingSquare(1);
        writer.setEndEdgesOffset(std::uint32_t(offset));
        const auto body = writer.body(1);
        auto in = afterId(body);
        auto morph = swf::parseMorphShape(in, 1);
        QVERIFY(!morph.ok());
        QCOMPARE(int(morph.error().code), code);
        QVERIFY(morph.error().message().find("DefineMorphShape") != std::string::npos);
    }

    void newStylesInEdgesAreRefused()
    {
        auto writer = growingSquare(2);
        writer.startEdges().newStyles().fill1(1).rect(0, 0, 5, 5);
        auto morph = parse(writer, 2);
        QVERIFY(!morph.ok());
        QCOMPARE(morph.error().code, swf::ErrorCode::BadValue);
    }

    void everyCutIsAnError_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("DefineMorphShape") << 1;
        QTest::newRow("DefineMorphShape2") << 2;
    }

    void everyCutIsAnError()
    {
        QFETCH(int, version);
        const auto body = growingSquare(version).body(1);
        for (std::size_t length = 2; length < body.size(); ++length) {
            const std::vector<std::uint8_t> cut(body.begin(), body.begin() + long(length));
            auto in = afterId(cut);
            QVERIFY2(!swf::parseMorphShape(in, version).ok(), qPrintable(QString::number(length)));
        }
    }
};

QTEST_APPLESS_MAIN(MorphShapeTest)
#include "MorphShapeTest.moc"
