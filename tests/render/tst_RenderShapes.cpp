// Shapes, fills and strokes drawn by the renderer, checked at chosen pixels.
#include "RenderScenes.h"
#include "render/PathFlattener.h"

#include <QTest>
#include <cmath>

using namespace scenes;
using render::Quality;

Q_DECLARE_METATYPE(swf::SpreadMode)
Q_DECLARE_METATYPE(swf::FillType)
Q_DECLARE_METATYPE(swf::ColorTransform)
Q_DECLARE_METATYPE(swf::CapStyle)

namespace {

const swf::Rgba kRed{255, 0, 0, 255};
const swf::Rgba kBlue{0, 0, 255, 255};
const QColor kWhite(255, 255, 255);

swf::Bitmap checkerBitmap()
{
    // Red, green / blue, black: premultiplied ARGB words.
    swf::Bitmap bitmap;
    bitmap.width = 2;
    bitmap.height = 2;
    bitmap.pixels = {0xffff0000u, 0xff00ff00u, 0xff0000ffu, 0xff000000u};
    return bitmap;
}

QColor drawOne(Scene& scene, swf::Shape shape, const swf::Matrix& matrix = {},
               QSize size = {100, 100}, Quality quality = Quality::High, int x = -1, int y = -1)
{
    runtime::DrawList list = scene.list();
    list.commands.push_back(scene.place(scene.define(1, std::move(shape)), matrix));
    const QImage image = renderFrame(list, size, quality);
    return at(image, x, y);
}

} // namespace

class RenderShapesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void evenOddAndNonZero_data();
    void evenOddAndNonZero();
    void linearGradient_data();
    void linearGradient();
    void radialGradientCentreAndEdge();
    void linearRgbInterpolationIsBrighterMidway();
    void bitmapFill_data();
    void bitmapFill();
    void shrunkenBitmapAveragesItsPixels_data();
    void shrunkenBitmapAveragesItsPixels();
    void colorTransform_data();
    void colorTransform();
    void strokeWidth_data();
    void strokeWidth();
    void strokeCaps_data();
    void strokeCaps();
    void gradientLineFill();
    void lowQualityHasNoEdgeBlending_data();
    void lowQualityHasNoEdgeBlending();
    void lowQualityCentresOnEdges_data();
    void lowQualityCentresOnEdges();
    void viewTransformOnNonSquareTarget();
    void morphShapeFollowsRatio();
    void flattenedCurveStaysWithinTolerance();
};

void RenderShapesTest::evenOddAndNonZero_data()
{
    QTest::addColumn<bool>("nonZero");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");
    const QColor red(255, 0, 0);
    QTest::newRow("even-odd inside") << false << QPoint(15, 15) << red;
    QTest::newRow("even-odd hole") << false << QPoint(35, 35) << kWhite;
    QTest::newRow("even-odd outside") << false << QPoint(70, 70) << kWhite;
    QTest::newRow("non-zero inside") << true << QPoint(15, 15) << red;
    QTest::newRow("non-zero hole filled") << true << QPoint(35, 35) << red;
    QTest::newRow("non-zero outside") << true << QPoint(70, 70) << kWhite;
}

void RenderShapesTest::evenOddAndNonZero()
{
    QFETCH(bool, nonZero);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    // Both contours run the same way: only the even-odd rule leaves the inner one empty.
    swf::Shape shape = filledShape(solid(kRed), {rectPath(10 * kPx, 10 * kPx, 60 * kPx, 60 * kPx),
                                                 rectPath(25 * kPx, 25 * kPx, 45 * kPx, 45 * kPx)});
    shape.nonZeroWinding = nonZero;
    Scene scene;
    QCOMPARE(drawOne(scene, shape, {}, {100, 100}, Quality::High, point.x(), point.y()), expected);
}

void RenderShapesTest::linearGradient_data()
{
    QTest::addColumn<swf::SpreadMode>("spread");
    QTest::addColumn<int>("x");
    QTest::addColumn<QColor>("expected");
    // The gradient runs from red at x = 20 to blue at x = 60.
    QTest::newRow("pad start") << swf::SpreadMode::Pad << 20 << QColor(252, 0, 3);
    QTest::newRow("pad middle") << swf::SpreadMode::Pad << 40 << QColor(128, 0, 127);
    QTest::newRow("pad end") << swf::SpreadMode::Pad << 59 << QColor(3, 0, 252);
    QTest::newRow("pad beyond end") << swf::SpreadMode::Pad << 80 << QColor(0, 0, 255);
    QTest::newRow("pad before start") << swf::SpreadMode::Pad << 5 << QColor(255, 0, 0);
    QTest::newRow("repeat middle") << swf::SpreadMode::Repeat << 40 << QColor(128, 0, 127);
    QTest::newRow("repeat quarter past end") << swf::SpreadMode::Repeat << 70 << QColor(191, 0, 64);
    QTest::newRow("repeat quarter before start")
        << swf::SpreadMode::Repeat << 10 << QColor(64, 0, 191);
    QTest::newRow("reflect quarter past end")
        << swf::SpreadMode::Reflect << 70 << QColor(64, 0, 191);
}

void RenderShapesTest::linearGradient()
{
    QFETCH(swf::SpreadMode, spread);
    QFETCH(int, x);
    QFETCH(QColor, expected);
    const swf::FillStyle fill = gradientFill(20 * kPx, 60 * kPx, {{0, kRed}, {255, kBlue}}, spread);
    Scene scene;
    const QColor actual = drawOne(scene, filledShape(fill, {rectPath(0, 0, 100 * kPx, 100 * kPx)}),
                                  {}, {100, 100}, Quality::High, x, 50);
    QVERIFY2(near(actual, expected, 8), qPrintable(actual.name() + " vs " + expected.name()));
}

void RenderShapesTest::radialGradientCentreAndEdge()
{
    swf::FillStyle fill;
    fill.type = swf::FillType::RadialGradient;
    fill.gradient.stops = {{0, kRed}, {255, kBlue}};
    // Radius 16384 twips scaled to 40 pixels, centred at (50, 50).
    const double scale = 40.0 * kPx / 16384;
    fill.matrix = swf::Matrix{scale, 0, 0, scale, 50.0 * kPx, 50.0 * kPx};
    Scene scene;
    runtime::DrawList list = scene.list();
    list.commands.push_back(
        scene.place(scene.define(1, filledShape(fill, {rectPath(0, 0, 100 * kPx, 100 * kPx)}))));
    const QImage image = renderFrame(list, {100, 100});
    QVERIFY(near(at(image, 50, 50), QColor(255, 0, 0), 10));
    QVERIFY(near(at(image, 70, 50), QColor(128, 0, 127), 12));
    QVERIFY(near(at(image, 95, 50), QColor(0, 0, 255), 4));
    QCOMPARE(at(image, 50, 70), at(image, 70, 50)); // round: same distance, same colour
}

void RenderShapesTest::linearRgbInterpolationIsBrighterMidway()
{
    auto middle = [](swf::InterpolationMode mode) {
        swf::FillStyle fill = gradientFill(
            0, 100 * kPx, {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}}, swf::SpreadMode::Pad);
        fill.gradient.interpolation = mode;
        Scene scene;
        return drawOne(scene, filledShape(fill, {rectPath(0, 0, 100 * kPx, 100 * kPx)}), {},
                       {100, 100}, Quality::High, 50, 50);
    };
    QVERIFY(near(middle(swf::InterpolationMode::Rgb), QColor(128, 128, 128), 4));
    // Half way in linear light is about 188 in sRGB.
    QVERIFY(near(middle(swf::InterpolationMode::LinearRgb), QColor(188, 188, 188), 6));
}

void RenderShapesTest::bitmapFill_data()
{
    QTest::addColumn<swf::FillType>("type");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");
    // The 2x2 bitmap is drawn 10 pixels a texel over a 40x40 square.
    const auto repeating = swf::FillType::NonSmoothedRepeatingBitmap;
    const auto clipped = swf::FillType::NonSmoothedClippedBitmap;
    QTest::newRow("repeating inside") << repeating << QPoint(15, 5) << QColor(0, 255, 0);
    QTest::newRow("repeating wraps right") << repeating << QPoint(25, 5) << QColor(255, 0, 0);
    QTest::newRow("repeating wraps down") << repeating << QPoint(5, 25) << QColor(255, 0, 0);
    QTest::newRow("clipped inside") << clipped << QPoint(5, 15) << QColor(0, 0, 255);
    QTest::newRow("clipped extends right edge") << clipped << QPoint(35, 5) << QColor(0, 255, 0);
    QTest::newRow("clipped extends corner") << clipped << QPoint(35, 35) << QColor(0, 0, 0);
    QTest::newRow("outside the shape") << clipped << QPoint(45, 45) << kWhite;
}

void RenderShapesTest::bitmapFill()
{
    QFETCH(swf::FillType, type);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    Scene scene;
    scene.define(7, checkerBitmap());
    swf::FillStyle fill;
    fill.type = type;
    fill.bitmapId = 7;
    fill.matrix = swf::Matrix::scale(10.0 * kPx, 10.0 * kPx);
    runtime::DrawList list = scene.list();
    list.commands.push_back(
        scene.place(scene.define(1, filledShape(fill, {rectPath(0, 0, 40 * kPx, 40 * kPx)}))));
    QCOMPARE(at(renderFrame(list, {60, 60}), point.x(), point.y()), expected);
}

void RenderShapesTest::shrunkenBitmapAveragesItsPixels_data()
{
    QTest::addColumn<swf::FillType>("type");
    QTest::addColumn<int>("shrink");
    QTest::addColumn<bool>("grey");
    const auto smoothed = swf::FillType::RepeatingBitmap;
    const auto plain = swf::FillType::NonSmoothedRepeatingBitmap;
    QTest::newRow("smoothed, a third") << smoothed << 3 << true;
    QTest::newRow("smoothed, an eighth") << smoothed << 8 << true;
    QTest::newRow("smoothed, a thirteenth") << smoothed << 13 << true;
    // Without smoothing every device pixel shows one bitmap pixel, as it is.
    QTest::newRow("not smoothed, an eighth") << plain << 8 << false;
}

void RenderShapesTest::shrunkenBitmapAveragesItsPixels()
{
    QFETCH(swf::FillType, type);
    QFETCH(int, shrink);
    QFETCH(bool, grey);
    // Columns alternately black and white, 256 pixels square.
    swf::Bitmap stripes;
    stripes.width = stripes.height = 256;
    for (std::uint32_t y = 0; y < 256; ++y)
        for (std::uint32_t x = 0; x < 256; ++x)
            stripes.pixels.push_back(x % 2 ? 0xffffffffu : 0xff000000u);
    Scene scene;
    scene.define(7, stripes);
    swf::FillStyle fill;
    fill.type = type;
    fill.bitmapId = 7;
    fill.matrix = swf::Matrix::scale(double(kPx) / shrink, double(kPx) / shrink);
    runtime::DrawList list = scene.list();
    list.commands.push_back(
        scene.place(scene.define(1, filledShape(fill, {rectPath(0, 0, 16 * kPx, 16 * kPx)}))));
    const QImage image = renderFrame(list, {20, 20});
    for (int y = 2; y < 14; y += 3)
        for (int x = 2; x < 14; ++x) {
            const int red = at(image, x, y).red();
            if (grey)
                QVERIFY2(std::abs(red - 128) <= 24,
                         qPrintable(QStringLiteral("%1 at (%2, %3)").arg(red).arg(x).arg(y)));
            else
                QVERIFY2(red == 0 || red == 255,
                         qPrintable(QStringLiteral("%1 at (%2, %3)").arg(red).arg(x).arg(y)));
        }
}

void RenderShapesTest::colorTransform_data()
{
    QTest::addColumn<bool>("bitmap");
    QTest::addColumn<swf::ColorTransform>("transform");
    QTest::addColumn<QColor>("expected");
    swf::ColorTransform redToGreen;
    redToGreen.rMul = 0;
    redToGreen.gAdd = 255;
    swf::ColorTransform half;
    half.aMul = 128;
    // Solid red becomes green; the bitmap's red texel does too.
    QTest::newRow("solid channels") << false << redToGreen << QColor(0, 255, 0);
    QTest::newRow("bitmap channels") << true << redToGreen << QColor(0, 255, 0);
    // Half alpha over the white background.
    QTest::newRow("solid alpha") << false << half << QColor(255, 127, 127);
    QTest::newRow("bitmap alpha") << true << half << QColor(255, 127, 127);
}

void RenderShapesTest::colorTransform()
{
    QFETCH(bool, bitmap);
    QFETCH(swf::ColorTransform, transform);
    QFETCH(QColor, expected);
    Scene scene;
    scene.define(7, checkerBitmap());
    swf::FillStyle fill = solid(kRed);
    if (bitmap) {
        fill.type = swf::FillType::NonSmoothedClippedBitmap;
        fill.bitmapId = 7;
        fill.matrix = swf::Matrix::scale(10.0 * kPx, 10.0 * kPx);
    }
    runtime::DrawList list = scene.list();
    runtime::DrawCommand command =
        scene.place(scene.define(1, filledShape(fill, {rectPath(0, 0, 20 * kPx, 20 * kPx)})));
    command.colorTransform = transform;
    list.commands.push_back(command);
    const QColor actual = at(renderFrame(list, {40, 40}), 5, 5);
    QVERIFY2(near(actual, expected, 2), qPrintable(actual.name()));
}

void RenderShapesTest::strokeWidth_data()
{
    QTest::addColumn<int>("widthTwips");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("keepWidth");
    QTest::addColumn<int>("inkedBelow"); // rows below the centre that are inked
    QTest::addColumn<int>("clearBelow"); // the first row below that is not
    // A 4-pixel line is 2 pixels each side of its centre; twice the size, 4.
    QTest::newRow("4 px") << 80 << 1.0 << false << 1 << 3;
    QTest::newRow("4 px scaled twice") << 80 << 2.0 << false << 3 << 6;
    QTest::newRow("4 px kept under scale") << 80 << 2.0 << true << 1 << 3;
    QTest::newRow("hairline scaled four times") << 0 << 4.0 << false << 0 << 2;
}

void RenderShapesTest::strokeWidth()
{
    QFETCH(int, widthTwips);
    QFETCH(double, scale);
    QFETCH(bool, keepWidth);
    QFETCH(int, inkedBelow);
    QFETCH(int, clearBelow);
    swf::LineStyle line;
    line.width = static_cast<std::uint16_t>(widthTwips);
    line.color = {0, 0, 0, 255};
    line.noHScale = line.noVScale = keepWidth;
    // The line's centre falls in the middle of pixel row 50 after scaling.
    const int y = static_cast<int>(std::lround(50.5 * kPx / scale));
    Scene scene;
    runtime::DrawList list = scene.list();
    list.commands.push_back(
        scene.place(scene.define(1, strokedLine({QPoint(0, y), QPoint(40 * kPx, y)}, line)),
                    swf::Matrix::scale(scale, scale)));
    const QImage image = renderFrame(list, {100, 100});
    QVERIFY(at(image, 30, 50).red() < 60);
    QVERIFY2(at(image, 30, 50 + inkedBelow).red() < 60, "inked row");
    QVERIFY2(at(image, 30, 50 - inkedBelow).red() < 60, "inked row above");
    QCOMPARE(at(image, 30, 50 + clearBelow), kWhite);
    QCOMPARE(at(image, 30, 50 - clearBelow), kWhite);
}

void RenderShapesTest::strokeCaps_data()
{
    QTest::addColumn<swf::CapStyle>("cap");
    QTest::addColumn<bool>("pastEnd");    // 3 pixels past the end, on the centre line
    QTest::addColumn<bool>("pastCorner"); // 4.5 past the end, 4.5 off the centre line
    QTest::newRow("none") << swf::CapStyle::None << false << false;
    QTest::newRow("round") << swf::CapStyle::Round << true << false;
    QTest::newRow("square") << swf::CapStyle::Square << true << true;
}

void RenderShapesTest::strokeCaps()
{
    QFETCH(swf::CapStyle, cap);
    QFETCH(bool, pastEnd);
    QFETCH(bool, pastCorner);
    swf::LineStyle line;
    line.width = 10 * kPx;
    line.startCap = line.endCap = cap;
    line.color = {0, 0, 0, 255};
    Scene scene;
    runtime::DrawList list = scene.list();
    list.commands.push_back(scene.place(scene.define(
        1, strokedLine({QPoint(20 * kPx, 30 * kPx), QPoint(60 * kPx, 30 * kPx)}, line))));
    const QImage image = renderFrame(list, {80, 60});
    QCOMPARE(at(image, 40, 30), QColor(0, 0, 0));
    QCOMPARE(at(image, 63, 30) != kWhite, pastEnd);
    QCOMPARE(at(image, 64, 34) != kWhite, pastCorner);
}

void RenderShapesTest::gradientLineFill()
{
    // A thick line painted with a red-to-blue gradient instead of a colour.
    swf::LineStyle line;
    line.width = 10 * kPx;
    line.startCap = line.endCap = swf::CapStyle::None;
    line.fill = gradientFill(20 * kPx, 60 * kPx, {{0, kRed}, {255, kBlue}}, swf::SpreadMode::Pad);
    Scene scene;
    runtime::DrawList list = scene.list();
    list.commands.push_back(scene.place(scene.define(
        1, strokedLine({QPoint(20 * kPx, 30 * kPx), QPoint(60 * kPx, 30 * kPx)}, line))));
    const QImage image = renderFrame(list, {80, 60});
    QVERIFY(near(at(image, 21, 30), QColor(250, 0, 5), 8));
    QVERIFY(near(at(image, 40, 32), QColor(128, 0, 127), 8));
    QVERIFY(near(at(image, 58, 28), QColor(8, 0, 247), 8));
    QCOMPARE(at(image, 40, 40), kWhite);
}

void RenderShapesTest::lowQualityHasNoEdgeBlending_data()
{
    QTest::addColumn<Quality>("quality");
    QTest::addColumn<bool>("blended");
    QTest::newRow("low") << Quality::Low << false;
    QTest::newRow("medium") << Quality::Medium << true;
    QTest::newRow("high") << Quality::High << true;
}

void RenderShapesTest::lowQualityHasNoEdgeBlending()
{
    QFETCH(Quality, quality);
    QFETCH(bool, blended);
    // The right edge ends half way through pixel 20.
    Scene scene;
    const QColor edge = drawOne(scene, solidRect(0, 0, 20 * kPx + kPx / 2, 40 * kPx, kRed), {},
                                {40, 40}, quality, 20, 20);
    const bool intermediate = edge.green() > 20 && edge.green() < 235;
    QCOMPARE(intermediate, blended);
}

void RenderShapesTest::lowQualityCentresOnEdges_data()
{
    // A square from `from` to `to` on both axes (in twips), or one-pixel lines across and
    // down centred on `from`; `first` to `last` are the pixels painted along each axis.
    QTest::addColumn<bool>("line");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // Centres on the left and top edges are inside, those on the right and bottom are not.
    QTest::newRow("edges through centres") << false << 55 * kPx / 10 << 85 * kPx / 10 << 5 << 7;
    QTest::newRow("a twip before the centres")
        << false << 55 * kPx / 10 - 1 << 85 * kPx / 10 - 1 << 5 << 7;
    QTest::newRow("a twip after the centres")
        << false << 55 * kPx / 10 + 1 << 85 * kPx / 10 + 1 << 6 << 8;
    QTest::newRow("edges on pixel boundaries") << false << 5 * kPx << 9 * kPx << 5 << 8;
    // A line centred on a pixel boundary covers the pixel before it.
    QTest::newRow("line on a boundary") << true << 10 * kPx << 0 << 9 << 9;
}

void RenderShapesTest::lowQualityCentresOnEdges()
{
    QFETCH(bool, line);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, first);
    QFETCH(int, last);
    Scene scene;
    runtime::DrawList list = scene.list();
    if (line) {
        swf::LineStyle style;
        style.width = kPx;
        style.color = {0, 0, 0, 255};
        const int centre = from;
        // One line across, one down, crossing well away from the pixels checked.
        list.commands.push_back(scene.place(scene.define(
            1, strokedLine({QPoint(2 * kPx, centre), QPoint(18 * kPx, centre)}, style))));
        list.commands.push_back(scene.place(scene.define(
            2, strokedLine({QPoint(centre, 2 * kPx), QPoint(centre, 18 * kPx)}, style))));
    } else {
        list.commands.push_back(
            scene.place(scene.define(1, solidRect(from, from, to, to, {0, 0, 0, 255}))));
    }
    const QImage image = renderFrame(list, {20, 20}, Quality::Low);
    // Along x on a row the shape covers, and along y on such a column.
    const int across = line ? 4 : first;
    for (int i = 0; i < 20; ++i) {
        const bool painted = i >= first && i <= last;
        QVERIFY2((at(image, i, across) != kWhite) == painted, qPrintable(QString("x %1").arg(i)));
        QVERIFY2((at(image, across, i) != kWhite) == painted, qPrintable(QString("y %1").arg(i)));
    }
}

void RenderShapesTest::viewTransformOnNonSquareTarget()
{
    // A 100x100-pixel stage stretched onto 200x100: x doubles, y stays.
    Scene scene;
    runtime::DrawList list = scene.list();
    list.commands.push_back(
        scene.place(scene.define(1, solidRect(25 * kPx, 25 * kPx, 50 * kPx, 50 * kPx, kRed))));
    const QImage image =
        renderFrame(list, {200, 100}, Quality::High, QTransform::fromScale(2.0 / kPx, 1.0 / kPx));
    QCOMPARE(image.size(), QSize(200, 100));
    QCOMPARE(at(image, 52, 26), QColor(255, 0, 0));
    QCOMPARE(at(image, 98, 48), QColor(255, 0, 0));
    QCOMPARE(at(image, 45, 37), kWhite);
    QCOMPARE(at(image, 102, 37), kWhite);
    QCOMPARE(at(image, 75, 52), kWhite);
}

void RenderShapesTest::morphShapeFollowsRatio()
{
    swf::MorphShape morph;
    morph.startFills = {solid(kRed)};
    morph.endFills = {solid(kBlue)};
    // A rectangle `size` wide and 20 pixels high, its edges filled on the left by fill 1.
    auto edges = [](int size) {
        std::vector<swf::MorphShape::Edge> out;
        const int points[][2] = {{0, 0}, {size, 0}, {size, 20 * kPx}, {0, 20 * kPx}, {0, 0}};
        for (int i = 1; i < 5; ++i) {
            swf::MorphShape::Edge edge;
            edge.fromX = points[i - 1][0];
            edge.fromY = points[i - 1][1];
            edge.x = points[i][0];
            edge.y = points[i][1];
            edge.fill1 = 1;
            out.push_back(edge);
        }
        return out;
    };
    morph.startEdges = edges(20 * kPx);
    morph.endEdges = edges(60 * kPx);
    Scene scene;
    const swf::Character* character = scene.define(1, morph);
    auto draw = [&](double ratio) {
        runtime::DrawList list = scene.list();
        runtime::DrawCommand command = scene.place(character);
        command.ratio = ratio;
        list.commands.push_back(command);
        return renderFrame(list, {80, 40});
    };
    const QImage start = draw(0), middle = draw(0.5), end = draw(1);
    QCOMPARE(at(start, 10, 10), QColor(255, 0, 0));
    QCOMPARE(at(start, 30, 10), kWhite);
    QVERIFY(near(at(middle, 30, 10), QColor(128, 0, 128), 2));
    QCOMPARE(at(middle, 45, 10), kWhite);
    QCOMPARE(at(end, 55, 10), QColor(0, 0, 255));
}

void RenderShapesTest::flattenedCurveStaysWithinTolerance()
{
    swf::Path path;
    path.segments = {{swf::SegmentKind::Move, 0, 0},
                     {swf::SegmentKind::Curve, 4000, 0, 2000, 3000}};
    for (const double tolerance : {0.5, 5.0, 50.0}) {
        const QPainterPath flat =
            render::flattenPath(path, tolerance, render::SubpathClosing::KeepOpen);
        QVERIFY(flat.elementCount() >= 3);
        QCOMPARE(flat.elementAt(flat.elementCount() - 1).x, 4000.0);
        for (int i = 0; i < flat.elementCount(); ++i)
            QVERIFY(flat.elementAt(i).isMoveTo() || flat.elementAt(i).isLineTo());
        // The points lie on the curve at even parameter steps, and each chord strays
        // from the arc it replaces by no more than the tolerance.
        const int steps = flat.elementCount() - 1;
        auto curve = [](double t) {
            const double u = 1 - t;
            return 2 * u * t * QPointF(2000, 3000) + t * t * QPointF(4000, 0);
        };
        for (int i = 1; i <= steps; ++i) {
            const QPointF point = flat.elementAt(i);
            const QPointF onCurve = curve(double(i) / steps);
            QVERIFY(std::hypot(point.x() - onCurve.x(), point.y() - onCurve.y()) < 1e-6);
            const QPointF mid = (QPointF(flat.elementAt(i - 1)) + point) / 2;
            const QPointF arc = curve((i - 0.5) / steps);
            QVERIFY2(std::hypot(arc.x() - mid.x(), arc.y() - mid.y()) <= tolerance,
                     qPrintable(QString::number(tolerance)));
        }
    }
    // A finer tolerance takes more segments.
    QVERIFY(render::flattenPath(path, 0.5, render::SubpathClosing::KeepOpen).elementCount() >
            render::flattenPath(path, 50, render::SubpathClosing::KeepOpen).elementCount());
}

QTEST_MAIN(RenderShapesTest)
#include "tst_RenderShapes.moc"
