#include "format/Filter.h"

#include "format/Limits.h"

#include <FilterWriter.h>
#include <QTest>
#include <cmath>
#include <limits>

using swf::BlendMode;
using swf::ByteReader;
using swf::ErrorCode;
using swf::Filter;
using swf::Rgba;
using Bytes = std::vector<std::uint8_t>;

namespace {

swf::Result<std::vector<Filter>> parse(const Bytes& bytes)
{
    ByteReader in(bytes);
    return swf::parseFilterList(in);
}

// 16.16 and 8.8 values come back within one step of what was written.
bool close(double actual, double expected, double step = 1.0 / 65536)
{
    return std::abs(actual - expected) <= step;
}

} // namespace

class FilterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKindWithItsFields();
    void passesAndFlagBits_data();
    void passesAndFlagBits();
    void damagedLists_data();
    void damagedLists();
    void nonFiniteFloatsBecomeZero();
    void bevelStoresItsHighlightFirst();
    void blendModeFromByte_data();
    void blendModeFromByte();
};

void FilterTest::everyKindWithItsFields()
{
    swfwriter::FilterListWriter writer;
    writer.add(
        swfwriter::DropShadow{{10, 20, 30, 40}, 5.5, 6.25, 0.5, 3, 1.5, {true, false, true}});
    writer.add(swfwriter::Blur{2.5, 7, 3});
    writer.add(swfwriter::Glow{{1, 2, 3, 4}, 8, 9, 2.5, {false, true, false}});
    writer.add(swfwriter::Bevel{
        {50, 60, 70, 80}, {90, 100, 110, 120}, 1, 2, -1.25, 4, 0.75, {true, true, false, true, 2}});
    writer.add(swfwriter::GradientFilter{
        .bevel = false, .stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}}});
    writer.add(
        swfwriter::Convolution{3, 2, 4.5f, -1, {1, 2, 3, 4, 5, 6}, {9, 8, 7, 6}, false, true});
    swfwriter::ColorMatrix matrix;
    for (int i = 0; i < 20; ++i)
        matrix.matrix[i] = float(i) * 0.5f;
    writer.add(matrix);
    writer.add(swfwriter::GradientFilter{
        .bevel = true, .stops = {{10, {1, 1, 1, 1}}, {20, {2, 2, 2, 2}}, {30, {3, 3, 3, 3}}}});

    auto result = parse(writer.bytes());
    QVERIFY(result.ok());
    QCOMPARE(result->size(), std::size_t(8));
    const auto& filters = *result;

    const auto* shadow = std::get_if<swf::DropShadowFilter>(&filters[0]);
    QVERIFY(shadow);
    QCOMPARE(shadow->color, (Rgba{10, 20, 30, 40}));
    QVERIFY(close(shadow->blurX, 5.5) && close(shadow->blurY, 6.25));
    QVERIFY(close(shadow->angle, 0.5) && close(shadow->distance, 3));
    QCOMPARE(shadow->strength, 1.5f);
    QVERIFY(shadow->inner && !shadow->knockout && shadow->compositeSource);

    const auto* blur = std::get_if<swf::BlurFilter>(&filters[1]);
    QVERIFY(blur);
    QVERIFY(close(blur->blurX, 2.5) && close(blur->blurY, 7));
    QCOMPARE(blur->passes, std::uint8_t(3));

    const auto* glow = std::get_if<swf::GlowFilter>(&filters[2]);
    QVERIFY(glow);
    QCOMPARE(glow->color, (Rgba{1, 2, 3, 4}));
    QCOMPARE(glow->strength, 2.5f);
    QVERIFY(!glow->inner && glow->knockout && !glow->compositeSource);

    const auto* bevel = std::get_if<swf::BevelFilter>(&filters[3]);
    QVERIFY(bevel);
    QCOMPARE(bevel->shadowColor, (Rgba{50, 60, 70, 80}));
    QCOMPARE(bevel->highlightColor, (Rgba{90, 100, 110, 120}));
    QVERIFY(close(bevel->angle, -1.25) && close(bevel->distance, 4));
    QCOMPARE(bevel->strength, 0.75f);
    QVERIFY(bevel->inner && bevel->knockout && !bevel->compositeSource && bevel->onTop);
    QCOMPARE(bevel->passes, std::uint8_t(2));

    const auto* gradientGlow = std::get_if<swf::GradientGlowFilter>(&filters[4]);
    QVERIFY(gradientGlow);
    QCOMPARE(gradientGlow->stops.size(), std::size_t(2));
    QCOMPARE(gradientGlow->stops[1].ratio, std::uint8_t(255));
    QCOMPARE(gradientGlow->stops[1].color, (Rgba{0, 0, 255, 128}));

    const auto* convolution = std::get_if<swf::ConvolutionFilter>(&filters[5]);
    QVERIFY(convolution);
    QCOMPARE(convolution->columns, std::uint8_t(3));
    QCOMPARE(convolution->rows, std::uint8_t(2));
    QCOMPARE(convolution->divisor, 4.5f);
    QCOMPARE(convolution->bias, -1.0f);
    QCOMPARE(convolution->matrix, (std::vector<float>{1, 2, 3, 4, 5, 6}));
    QCOMPARE(convolution->defaultColor, (Rgba{9, 8, 7, 6}));
    QVERIFY(!convolution->clamp && convolution->preserveAlpha);

    const auto* colorMatrix = std::get_if<swf::ColorMatrixFilter>(&filters[6]);
    QVERIFY(colorMatrix);
    QCOMPARE(colorMatrix->matrix[0], 0.0f);
    QCOMPARE(colorMatrix->matrix[19], 9.5f);

    // Gradient bevels share the gradient glow's layout but keep their own kind.
    const auto* gradientBevel = std::get_if<swf::GradientBevelFilter>(&filters[7]);
    QVERIFY(gradientBevel);
    QCOMPARE(gradientBevel->stops.size(), std::size_t(3));
    QCOMPARE(gradientBevel->stops[2].ratio, std::uint8_t(30));
    QCOMPARE(gradientBevel->stops[2].color, (Rgba{3, 3, 3, 3}));
}

void FilterTest::passesAndFlagBits_data()
{
    QTest::addColumn<Bytes>("list");
    QTest::addColumn<int>("passes");
    QTest::addColumn<bool>("onTop");
    // Passes fill five bits in blurs, shadows and glows, four in bevels (after OnTop).
    QTest::newRow("blur, 31 passes")
        << swfwriter::FilterListWriter().add(swfwriter::Blur{1, 1, 31}).bytes() << 31 << false;
    QTest::newRow("drop shadow, 31 passes")
        << swfwriter::FilterListWriter()
               .add(swfwriter::DropShadow{{}, 1, 1, 0, 0, 1, {false, false, false, false, 31}})
               .bytes()
        << 31 << false;
    QTest::newRow("bevel, 15 passes on top")
        << swfwriter::FilterListWriter()
               .add(swfwriter::Bevel{{}, {}, 1, 1, 0, 0, 1, {false, false, false, true, 15}})
               .bytes()
        << 15 << true;
    QTest::newRow("gradient bevel, 15 passes")
        << swfwriter::FilterListWriter()
               .add(swfwriter::GradientFilter{
                   true, {}, 1, 1, 0, 0, 1, {false, false, false, false, 15}})
               .bytes()
        << 15 << false;
}

void FilterTest::passesAndFlagBits()
{
    QFETCH(Bytes, list);
    QFETCH(int, passes);
    QFETCH(bool, onTop);
    auto result = parse(list);
    QVERIFY(result.ok());
    QCOMPARE(result->size(), std::size_t(1));
    std::visit(
        [&](const auto& f) {
            if constexpr (requires { f.passes; })
                QCOMPARE(int(f.passes), passes);
            if constexpr (requires { f.onTop; })
                QCOMPARE(f.onTop, onTop);
        },
        result->front());
}

void FilterTest::damagedLists_data()
{
    QTest::addColumn<Bytes>("list");
    QTest::addColumn<int>("error");
    swfwriter::FilterListWriter many;
    for (std::size_t i = 0; i <= swf::limits::kMaxFiltersPerList; ++i)
        many.add(swfwriter::Blur{});
    QTest::newRow("more filters than the cap") << many.bytes() << int(ErrorCode::TooLarge);
    QTest::newRow("convolution wider than the cap")
        << swfwriter::FilterListWriter()
               .add(swfwriter::Convolution{
                   .columns = 33, .rows = 1, .matrix = std::vector<float>(33, 1.0f)})
               .bytes()
        << int(ErrorCode::TooLarge);
    QTest::newRow("unknown filter id")
        << swfwriter::FilterListWriter().addRaw(8, {0, 0, 0}).bytes() << int(ErrorCode::BadValue);
    QTest::newRow("fewer filters than counted")
        << swfwriter::FilterListWriter().add(swfwriter::Blur{}).bytes(2)
        << int(ErrorCode::Truncated);
    Bytes cut = swfwriter::FilterListWriter().add(swfwriter::ColorMatrix{}).bytes();
    cut.resize(cut.size() - 1);
    QTest::newRow("colour matrix cut") << cut << int(ErrorCode::Truncated);
    QTest::newRow("convolution matrix short")
        << swfwriter::FilterListWriter()
               .add(swfwriter::Convolution{
                   .columns = 3, .rows = 3, .matrix = std::vector<float>(2, 1.0f)})
               .bytes()
        << int(ErrorCode::Truncated);
    QTest::newRow("empty") << Bytes{} << int(ErrorCode::Truncated);
}

void FilterTest::damagedLists()
{
    QFETCH(Bytes, list);
    QFETCH(int, error);
    auto result = parse(list);
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void FilterTest::nonFiniteFloatsBecomeZero()
{
    swfwriter::ColorMatrix matrix;
    matrix.matrix[0] = std::numeric_limits<float>::quiet_NaN();
    matrix.matrix[1] = std::numeric_limits<float>::infinity();
    matrix.matrix[2] = 2;
    auto result = parse(swfwriter::FilterListWriter().add(matrix).bytes());
    QVERIFY(result.ok());
    const auto& m = std::get<swf::ColorMatrixFilter>(result->front()).matrix;
    QCOMPARE(m[0], 0.0f);
    QCOMPARE(m[1], 0.0f);
    QCOMPARE(m[2], 2.0f);
}

void FilterTest::bevelStoresItsHighlightFirst()
{
    // One bevel as a movie stores it: id 3, the highlight colour, the shadow colour,
    // blur x and y, angle, distance (16.16), strength (8.8), then flags and passes.
    const std::vector<std::uint8_t> list = {
        1,    3,                                        // one filter: a bevel
        0xff, 0x00, 0x00, 0xff, 0x00, 0x00, 0xff, 0xff, // red, then blue
        0,    0,    4,    0,    0,    0,    4,    0,    0,
        0,    0,    0,    0,    0,    4,    0,    0,    1, // blurs, angle, distance, strength
        0x21};                                             // outer, one pass
    swf::ByteReader in(list);
    auto filters = swf::parseFilterList(in);
    QVERIFY(filters);
    const auto* bevel = std::get_if<swf::BevelFilter>(&filters->at(0));
    QVERIFY(bevel);
    QCOMPARE(bevel->highlightColor, (Rgba{255, 0, 0, 255}));
    QCOMPARE(bevel->shadowColor, (Rgba{0, 0, 255, 255}));
}

void FilterTest::blendModeFromByte_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("mode");
    QTest::newRow("0 is normal") << 0 << int(BlendMode::Normal);
    QTest::newRow("1 is normal") << 1 << int(BlendMode::Normal);
    QTest::newRow("2 is layer") << 2 << int(BlendMode::Layer);
    QTest::newRow("3 is multiply") << 3 << int(BlendMode::Multiply);
    QTest::newRow("14 is hard light") << 14 << int(BlendMode::HardLight);
    QTest::newRow("15 is past the list") << 15 << int(BlendMode::Normal);
    QTest::newRow("99 is past the list") << 99 << int(BlendMode::Normal);
    QTest::newRow("255 is past the list") << 255 << int(BlendMode::Normal);
}

void FilterTest::blendModeFromByte()
{
    QFETCH(int, byte);
    QFETCH(int, mode);
    QCOMPARE(int(swf::blendModeFromByte(static_cast<std::uint8_t>(byte))), mode);
}

QTEST_APPLESS_MAIN(FilterTest)
#include "FilterTest.moc"
