#include "FormatTestHelpers.h"
#include "ShapeWriter.h"
#include "format/Shape.h"

#include <QtTest/QTest>

using namespace formattest;
using swfwriter::Color;
using swfwriter::ShapeWriter;

Q_DECLARE_METATYPE(swfwriter::FillStyle)

namespace {

// A shape of one square drawn with `fill` and, when given, outlined with `line`.
swf::Result<swf::Shape> roundTrip(int version, const swfwriter::FillStyle& fill,
                                  const std::optional<swfwriter::LineStyle>& line = {})
{
    ShapeWriter writer(version);
    const int fillIndex = writer.addFill(fill);
    writer.fill1(fillIndex);
    if (line)
        writer.line(writer.addLine(*line));
    writer.rect(0, 0, 200, 100);
    const auto body = writer.body(1);
    auto in = afterId(body);
    auto shape = swf::parseShape(in, version);
    if (shape.ok() && !in.atEnd())
        return swf::makeError(swf::ErrorCode::BadValue, "bytes left after the shape");
    return shape;
}

swf::Rgba rgba(Color c)
{
    return {c.r, c.g, c.b, c.a};
}

} // namespace

class ShapeStylesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void solidColourByVersion_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("alpha");
        // DefineShape and DefineShape2 store RGB: the alpha written is not there.
        QTest::newRow("DefineShape") << 1 << 255;
        QTest::newRow("DefineShape2") << 2 << 255;
        QTest::newRow("DefineShape3") << 3 << 128;
        QTest::newRow("DefineShape4") << 4 << 128;
    }

    void solidColourByVersion()
    {
        QFETCH(int, version);
        QFETCH(int, alpha);
        auto shape = roundTrip(version, swfwriter::FillStyle::solid({10, 20, 30, 128}));
        QVERIFY2(shape.ok(), shape.ok() ? "" : shape.error().message().c_str());
        QCOMPARE(shape->layers.size(), 1u);
        const swf::FillStyle& fill = shape->layers[0].fills.at(0);
        QCOMPARE(int(fill.type), int(swf::FillType::Solid));
        QCOMPARE(fill.color, (swf::Rgba{10, 20, 30, std::uint8_t(alpha)}));
        QCOMPARE(shape->bounds.xMax.value, 200);
        QCOMPARE(shape->bounds.yMax.value, 100);
    }

    void gradients_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<swfwriter::FillStyle>("fill");
        const std::vector<swfwriter::GradientStop> two{{0, {255, 0, 0, 40}},
                                                       {255, {0, 0, 255, 200}}};
        const swfwriter::Matrix matrix{0.5, 0.25, -0.25, 0.5, 100, -50};
        QTest::newRow("linear, DefineShape2") << 2 << swfwriter::FillStyle::linear(two, matrix);
        QTest::newRow("radial, DefineShape3") << 3 << swfwriter::FillStyle::radial(two, matrix);
        auto reflect = swfwriter::FillStyle::linear(two, matrix);
        reflect.spread = 1;
        reflect.interpolation = 1;
        QTest::newRow("reflect, linear RGB") << 4 << reflect;
        auto repeat = swfwriter::FillStyle::radial(two, matrix);
        repeat.spread = 2;
        QTest::newRow("repeat") << 4 << repeat;
        QTest::newRow("focal") << 4 << swfwriter::FillStyle::focal(two, matrix, -0.75);
        std::vector<swfwriter::GradientStop> fifteen;
        for (int i = 0; i < 15; ++i)
            fifteen.push_back(
                {std::uint8_t(i * 17), {std::uint8_t(i), std::uint8_t(2 * i), 7, 255}});
        QTest::newRow("fifteen stops") << 4 << swfwriter::FillStyle::linear(fifteen, {});
    }

    void gradients()
    {
        QFETCH(int, version);
        QFETCH(swfwriter::FillStyle, fill);
        auto shape = roundTrip(version, fill);
        QVERIFY2(shape.ok(), shape.ok() ? "" : shape.error().message().c_str());
        const swf::FillStyle& parsed = shape->layers.at(0).fills.at(0);
        QCOMPARE(int(parsed.type), int(fill.type));
        QVERIFY(parsed.isGradient());
        QCOMPARE(parsed.matrix,
                 (swf::Matrix{fill.matrix.a, fill.matrix.b, fill.matrix.c, fill.matrix.d,
                              double(fill.matrix.tx), double(fill.matrix.ty)}));
        QCOMPARE(int(parsed.gradient.spread), int(fill.spread));
        QCOMPARE(int(parsed.gradient.interpolation), int(fill.interpolation));
        QCOMPARE(parsed.gradient.focalPoint, float(fill.focalPoint));
        QCOMPARE(parsed.gradient.stops.size(), fill.stops.size());
        for (std::size_t i = 0; i < fill.stops.size(); ++i) {
            Color expected = fill.stops[i].color;
            if (version < 3)
                expected.a = 255;
            QCOMPARE(int(parsed.gradient.stops[i].ratio), int(fill.stops[i].ratio));
            QCOMPARE(parsed.gradient.stops[i].color, rgba(expected));
        }
    }

    void bitmapFills_data()
    {
        QTest::addColumn<bool>("clipped");
        QTest::addColumn<bool>("smoothed");
        QTest::addColumn<int>("type");
        QTest::newRow("repeating") << false << true << 0x40;
        QTest::newRow("clipped") << true << true << 0x41;
        QTest::newRow("repeating, not smoothed") << false << false << 0x42;
        QTest::newRow("clipped, not smoothed") << true << false << 0x43;
    }

    void bitmapFills()
    {
        QFETCH(bool, clipped);
        QFETCH(bool, smoothed);
        QFETCH(int, type);
        const swfwriter::Matrix matrix = swfwriter::Matrix::scale(20, 20, 40, 60);
        auto shape = roundTrip(3, swfwriter::FillStyle::bitmap(7, matrix, clipped, smoothed));
        QVERIFY(shape.ok());
        const swf::FillStyle& fill = shape->layers.at(0).fills.at(0);
        QCOMPARE(int(fill.type), type);
        QVERIFY(fill.isBitmap());
        QCOMPARE(fill.isClippedBitmap(), clipped);
        QCOMPARE(fill.isSmoothedBitmap(), smoothed);
        QCOMPARE(int(fill.bitmapId), 7);
        QCOMPARE(fill.matrix, (swf::Matrix{20, 0, 0, 20, 40, 60}));
    }

    void lineStyles_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("alpha");
        QTest::newRow("DefineShape") << 1 << 255;
        QTest::newRow("DefineShape2") << 2 << 255;
        QTest::newRow("DefineShape3") << 3 << 99;
    }

    void lineStyles()
    {
        QFETCH(int, version);
        QFETCH(int, alpha);
        swfwriter::LineStyle line;
        line.width = 60;
        line.color = {1, 2, 3, 99};
        auto shape = roundTrip(version, swfwriter::FillStyle::solid({}), line);
        QVERIFY(shape.ok());
        const swf::LineStyle& parsed = shape->layers.at(0).lines.at(0);
        QCOMPARE(int(parsed.width), 60);
        QCOMPARE(parsed.color, (swf::Rgba{1, 2, 3, std::uint8_t(alpha)}));
        QCOMPARE(int(parsed.join), int(swf::JoinStyle::Round));
        QVERIFY(!parsed.fill);
    }

    void lineStyle2Fields_data()
    {
        QTest::addColumn<int>("startCap");
        QTest::addColumn<int>("endCap");
        QTest::addColumn<int>("join");
        QTest::addColumn<bool>("flags");
        QTest::newRow("round, no flags") << 0 << 0 << 0 << false;
        QTest::newRow("none and square, bevel, flags") << 1 << 2 << 1 << true;
        QTest::newRow("square and none, miter") << 2 << 1 << 2 << false;
    }

    void lineStyle2Fields()
    {
        QFETCH(int, startCap);
        QFETCH(int, endCap);
        QFETCH(int, join);
        QFETCH(bool, flags);
        swfwriter::LineStyle line;
        line.width = 35;
        line.color = {200, 100, 50, 25};
        line.startCap = std::uint8_t(startCap);
        line.endCap = std::uint8_t(endCap);
        line.join = std::uint8_t(join);
        line.miterLimit = 2.5;
        line.noHScale = flags;
        line.noVScale = !flags;
        line.pixelHinting = flags;
        line.noClose = flags;
        auto shape = roundTrip(4, swfwriter::FillStyle::solid({}), line);
        QVERIFY(shape.ok());
        const swf::LineStyle& parsed = shape->layers.at(0).lines.at(0);
        QCOMPARE(int(parsed.width), 35);
        QCOMPARE(parsed.color, (swf::Rgba{200, 100, 50, 25}));
        QCOMPARE(int(parsed.startCap), startCap);
        QCOMPARE(int(parsed.endCap), endCap);
        QCOMPARE(int(parsed.join), join);
        QCOMPARE(parsed.miterLimit, join == 2 ? 2.5f : 3.0f);
        QCOMPARE(parsed.noHScale, flags);
        QCOMPARE(parsed.noVScale, !flags);
        QCOMPARE(parsed.pixelHinting, flags);
        QCOMPARE(parsed.noClose, flags);
    }

    void lineStyle2WithFill()
    {
        swfwriter::LineStyle line;
        line.width = 80;
        line.fill = swfwriter::FillStyle::radial({{0, {1, 1, 1, 1}}, {255, {9, 9, 9, 9}}}, {});
        auto shape = roundTrip(4, swfwriter::FillStyle::solid({}), line);
        QVERIFY(shape.ok());
        const swf::LineStyle& parsed = shape->layers.at(0).lines.at(0);
        QVERIFY(parsed.fill.has_value());
        QCOMPARE(int(parsed.fill->type), int(swf::FillType::RadialGradient));
        QCOMPARE(parsed.fill->gradient.stops.size(), 2u);
        QCOMPARE(parsed.fill->gradient.stops[1].color, (swf::Rgba{9, 9, 9, 9}));

        // A solid fill is kept as the line's colour.
        line.fill = swfwriter::FillStyle::solid({5, 6, 7, 8});
        shape = roundTrip(4, swfwriter::FillStyle::solid({}), line);
        QVERIFY(shape.ok());
        QVERIFY(!shape->layers[0].lines[0].fill);
        QCOMPARE(shape->layers[0].lines[0].color, (swf::Rgba{5, 6, 7, 8}));
    }

    void reservedValuesTakeTheDefaults()
    {
        // Leniency: cap 3, join 3, spread 3 and interpolation 2 are undefined and draw
        // as the defaults; a focal point past the circle's edge is put on the edge.
        swfwriter::LineStyle line = swfwriter::LineStyle::solid(20);
        line.startCap = line.endCap = line.join = 3;
        auto fill = swfwriter::FillStyle::focal({{0, {}}}, {}, 1.5);
        fill.spread = 3;
        fill.interpolation = 2;
        auto shape = roundTrip(4, fill, line);
        QVERIFY(shape.ok());
        const swf::ShapeLayer& layer = shape->layers.at(0);
        QCOMPARE(int(layer.lines.at(0).startCap), int(swf::CapStyle::Round));
        QCOMPARE(int(layer.lines[0].endCap), int(swf::CapStyle::Round));
        QCOMPARE(int(layer.lines[0].join), int(swf::JoinStyle::Round));
        const swf::Gradient& gradient = layer.fills.at(0).gradient;
        QCOMPARE(int(gradient.spread), int(swf::SpreadMode::Pad));
        QCOMPARE(int(gradient.interpolation), int(swf::InterpolationMode::Rgb));
        QCOMPARE(gradient.focalPoint, 1.0f);
    }

    void shape4BoundsAndFlags_data()
    {
        QTest::addColumn<bool>("winding");
        QTest::addColumn<bool>("nonScaling");
        QTest::addColumn<bool>("scaling");
        QTest::newRow("none") << false << false << false;
        QTest::newRow("winding") << true << false << false;
        QTest::newRow("non-scaling") << false << true << false;
        QTest::newRow("scaling") << false << false << true;
    }

    void shape4BoundsAndFlags()
    {
        QFETCH(bool, winding);
        QFETCH(bool, nonScaling);
        QFETCH(bool, scaling);
        ShapeWriter writer(4);
        writer.fill1(writer.addFill(swfwriter::FillStyle::solid({}))).rect(0, 0, 100, 100);
        writer.setEdgeBounds({10, 90, 20, 80}).setShape4Flags(winding, nonScaling, scaling);
        const auto body = writer.body(1, {-10, 110, -20, 120});
        auto in = afterId(body);
        auto shape = swf::parseShape(in, 4);
        QVERIFY(shape.ok());
        QCOMPARE(shape->bounds, (swf::Rect{{-10}, {110}, {-20}, {120}}));
        QCOMPARE(shape->edgeBounds, (swf::Rect{{10}, {90}, {20}, {80}}));
        QCOMPARE(shape->nonZeroWinding, winding);
        QCOMPARE(shape->hasNonScalingStrokes, nonScaling);
        QCOMPARE(shape->hasScalingStrokes, scaling);
    }

    void extendedCounts_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("DefineShape2") << 2;
        QTest::newRow("DefineShape3") << 3;
        QTest::newRow("DefineShape4") << 4;
    }

    void extendedCounts()
    {
        QFETCH(int, version);
        ShapeWriter writer(version);
        for (int i = 0; i < 300; ++i)
            writer.addFill(swfwriter::FillStyle::solid({std::uint8_t(i), std::uint8_t(i >> 8), 0}));
        for (int i = 0; i < 256; ++i) {
            swfwriter::LineStyle line;
            line.width = std::uint16_t(i);
            writer.addLine(line);
        }
        writer.fill1(300).line(256).rect(0, 0, 10, 10);
        const auto body = writer.body(1);
        auto in = afterId(body);
        auto shape = swf::parseShape(in, version);
        QVERIFY(shape.ok());
        const swf::ShapeLayer& layer = shape->layers.at(0);
        QCOMPARE(layer.fills.size(), 300u);
        QCOMPARE(layer.lines.size(), 256u);
        QCOMPARE(layer.fills[299].color.r, std::uint8_t(299 & 0xff));
        QCOMPARE(layer.fills[299].color.g, std::uint8_t(1));
        // The last styles are reachable through the wider index fields.
        QCOMPARE(layer.fillPaths.size(), 1u);
        QCOMPARE(layer.fillPaths[0].style, 299u);
        QCOMPARE(layer.strokePaths.size(), 1u);
        QCOMPARE(layer.strokePaths[0].style, 255u);
    }

    void brokenStyles_data()
    {
        QTest::addColumn<std::vector<std::uint8_t>>("body");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("code");
        // Bodies after the id: RECT (a size of 1 bit and four zero fields in two bytes),
        // DefineShape4's edge RECT and flags, then the arrays.
        using B = std::vector<std::uint8_t>;
        QTest::newRow("fill count past the end")
            << B{0x08, 0x00, 200} << 3 << int(swf::ErrorCode::Truncated);
        QTest::newRow("extended count past the end")
            << B{0x08, 0x00, 0xff, 0x10, 0x00, 0x00} << 2 << int(swf::ErrorCode::Truncated);
        QTest::newRow("unknown fill type")
            << B{0x08, 0x00, 1, 0x20, 0, 0, 0, 0, 0, 0, 0} << 3 << int(swf::ErrorCode::BadValue);
        QTest::newRow("solid colour cut")
            << B{0x08, 0x00, 1, 0x00, 1, 2} << 3 << int(swf::ErrorCode::Truncated);
        QTest::newRow("line count past the end")
            << B{0x08, 0x00, 0, 9, 0, 0, 0, 0, 0, 0} << 3 << int(swf::ErrorCode::Truncated);
        QTest::newRow("line fill of unknown type")
            << B{0x08, 0x00, 0x08, 0x00, 0x00, 0, 1, 20, 0, 0x08, 0x00, 0x77, 0, 0, 0, 0, 0} << 4
            << int(swf::ErrorCode::BadValue);
        QTest::newRow("no records") << B{0x08, 0x00, 0, 0} << 3 << int(swf::ErrorCode::Truncated);
        QTest::newRow("empty body") << B{} << 1 << int(swf::ErrorCode::Truncated);
    }

    void brokenStyles()
    {
        QFETCH(std::vector<std::uint8_t>, body);
        QFETCH(int, version);
        QFETCH(int, code);
        swf::ByteReader in(body);
        auto shape = swf::parseShape(in, version);
        QVERIFY(!shape.ok());
        QCOMPARE(int(shape.error().code), code);
        QVERIFY(shape.error().message().find("DefineShape") != std::string::npos);
    }
};

QTEST_APPLESS_MAIN(ShapeStylesTest)
#include "ShapeStylesTest.moc"
