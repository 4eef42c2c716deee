// The properties scripts read and write on display objects (_x, _xscale, _rotation,
// _alpha, _width...) and the bounds they are measured from.
#include "TestMovie.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace testmovie;
using runtime::DisplayObject;
using runtime::MoviePlayer;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A movie with one clip holding a 100-twip (5 pixel) square at (0, 0).
swf::MoviePtr clipMovie(std::optional<swf::Matrix> matrix = std::nullopt)
{
    auto tag = named(place(1, 20), "clip");
    tag.matrix = matrix;
    return Builder()
        .square(10)
        .sprite(20, timeline({{place(1, 10)}}))
        .main(timeline({{tag}}))
        .build();
}

void set(DisplayObject& object, const QString& property, double value)
{
    if (property == "x")
        object.setX(value);
    else if (property == "y")
        object.setY(value);
    else if (property == "xscale")
        object.setXScale(value);
    else if (property == "yscale")
        object.setYScale(value);
    else if (property == "rotation")
        object.setRotation(value);
    else if (property == "alpha")
        object.setAlpha(value);
    else if (property == "width")
        object.setWidth(value);
    else if (property == "height")
        object.setHeight(value);
}

double get(const DisplayObject& object, const QString& property)
{
    if (property == "x")
        return object.x();
    if (property == "y")
        return object.y();
    if (property == "xscale")
        return object.xScale();
    if (property == "yscale")
        return object.yScale();
    if (property == "rotation")
        return object.rotation();
    if (property == "alpha")
        return object.alpha();
    if (property == "width")
        return object.width();
    return object.height();
}

} // namespace

class PropertiesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readBack_data();
    void readBack();
    void fromTheTimelinesMatrix_data();
    void fromTheTimelinesMatrix();
    void scaleAndRotationStayIndependent();
    void sizeFollowsBounds();
    void bounds();
};

void PropertiesTest::readBack_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<double>("written");
    QTest::addColumn<double>("read"); // NaN: reads as NaN

    // Positions are whole twips, truncated; out of range is the lowest twip value.
    QTest::newRow("x") << "x" << 1.5 << 1.5;
    QTest::newRow("x below a twip") << "x" << 10.04 << 10.0;
    QTest::newRow("x negative") << "x" << -5.0 << -5.0;
    QTest::newRow("x infinite") << "x" << kInf << -107374182.4;
    QTest::newRow("y minus infinity") << "y" << -kInf << -107374182.4;
    QTest::newRow("x NaN keeps the old value") << "x" << kNaN << 0.0;
    // Scales and rotation read back as written, rotation within [-180, 180].
    QTest::newRow("xscale") << "xscale" << 150.0 << 150.0;
    QTest::newRow("yscale fraction") << "yscale" << 1.5 << 1.5;
    QTest::newRow("xscale infinite") << "xscale" << kInf << kInf;
    QTest::newRow("rotation") << "rotation" << 60.0 << 60.0;
    QTest::newRow("rotation past a turn") << "rotation" << 370.0 << 10.0;
    QTest::newRow("rotation -180 stays") << "rotation" << -180.0 << -180.0;
    QTest::newRow("rotation -181") << "rotation" << -181.0 << 179.0;
    QTest::newRow("rotation 270") << "rotation" << 270.0 << -90.0;
    QTest::newRow("rotation infinite") << "rotation" << kInf << kNaN;
    // Alpha goes through the 8.8 multiplier: truncated toward zero.
    QTest::newRow("alpha 25") << "alpha" << 25.0 << 25.0;
    QTest::newRow("alpha 33") << "alpha" << 33.0 << 32.8125;
    QTest::newRow("alpha 2") << "alpha" << 2.0 << 1.953125;
    QTest::newRow("alpha -5") << "alpha" << -5.0 << -4.6875;
    QTest::newRow("alpha infinite") << "alpha" << kInf << 0.0;
    QTest::newRow("alpha NaN keeps the old value") << "alpha" << kNaN << 100.0;
}

void PropertiesTest::readBack()
{
    QFETCH(QString, property);
    QFETCH(double, written);
    QFETCH(double, read);

    RecordingHost host;
    MoviePlayer player(clipMovie(), host);
    DisplayObject* clip = player.findByPath("clip");
    set(*clip, property, written);
    const double value = get(*clip, property);
    if (std::isnan(read))
        QVERIFY(std::isnan(value));
    else
        QCOMPARE(value, read);
    QVERIFY(clip->isScriptTransformed() || std::isnan(written));
    // Whatever a script writes, the matrix stays drawable.
    const swf::Matrix m = clip->matrix();
    QVERIFY(std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d));
}

void PropertiesTest::fromTheTimelinesMatrix_data()
{
    QTest::addColumn<swf::Matrix>("matrix");
    QTest::addColumn<double>("xScale");
    QTest::addColumn<double>("yScale");
    QTest::addColumn<double>("rotation");

    QTest::newRow("identity") << swf::Matrix{} << 100.0 << 100.0 << 0.0;
    QTest::newRow("scaled") << swf::Matrix::scale(2, 0.5) << 200.0 << 50.0 << 0.0;
    QTest::newRow("quarter turn") << swf::Matrix{0, 1, -1, 0, 0, 0} << 100.0 << 100.0 << 90.0;
    // Mirrored left to right: the reference reads a half turn, both scales positive.
    QTest::newRow("mirrored") << swf::Matrix::scale(-1, 1) << 100.0 << 100.0 << 180.0;
}

Q_DECLARE_METATYPE(swf::Matrix)

void PropertiesTest::fromTheTimelinesMatrix()
{
    QFETCH(swf::Matrix, matrix);
    QFETCH(double, xScale);
    QFETCH(double, yScale);
    QFETCH(double, rotation);

    RecordingHost host;
    MoviePlayer player(clipMovie(matrix), host);
    DisplayObject* clip = player.findByPath("clip");
    QCOMPARE(clip->xScale(), xScale);
    QCOMPARE(clip->yScale(), yScale);
    QCOMPARE(clip->rotation(), rotation);
    QVERIFY(!clip->isScriptTransformed());
    // Writing a value back as read leaves the matrix as the timeline set it.
    clip->setXScale(clip->xScale());
    clip->setRotation(clip->rotation());
    const swf::Matrix m = clip->matrix();
    for (const auto& [got, want] :
         {std::pair{m.a, matrix.a}, {m.b, matrix.b}, {m.c, matrix.c}, {m.d, matrix.d}})
        QVERIFY2(std::fabs(got - want) < 1e-9, qPrintable(QString::number(got)));
}

void PropertiesTest::scaleAndRotationStayIndependent()
{
    RecordingHost host;
    MoviePlayer player(clipMovie(), host);
    DisplayObject* clip = player.findByPath("clip");
    clip->setXScale(200);
    clip->setRotation(45);
    clip->setYScale(50);
    // Each reads back exactly, with no drift through the matrix.
    QCOMPARE(clip->xScale(), 200.0);
    QCOMPARE(clip->yScale(), 50.0);
    QCOMPARE(clip->rotation(), 45.0);
    // The matrix holds them in the format's 16.16 fixed point.
    const double half = std::sqrt(0.5);
    const double step = 1.0 / 65536;
    const swf::Matrix& m = clip->matrix();
    for (const auto& [value, exact] : {std::pair{m.a, 2 * half}, std::pair{m.b, 2 * half},
                                       std::pair{m.c, -0.5 * half}, std::pair{m.d, 0.5 * half}}) {
        QVERIFY(std::fabs(value - exact) <= step / 2);
        QCOMPARE(value / step, std::round(value / step));
    }
    for (int i = 0; i < 100; ++i)
        clip->setRotation(clip->rotation() + 3.6);
    QVERIFY(std::fabs(clip->rotation() - 45) < 1e-9);
    QCOMPARE(clip->xScale(), 200.0);
    // A matrix set from elsewhere starts over from that matrix.
    clip->setMatrix(swf::Matrix::scale(3, 3));
    QCOMPARE(clip->xScale(), 300.0);
    QCOMPARE(clip->rotation(), 0.0);
}

void PropertiesTest::sizeFollowsBounds()
{
    RecordingHost host;
    MoviePlayer player(clipMovie(swf::Matrix::scale(2, 1)), host);
    DisplayObject* clip = player.findByPath("clip");
    QCOMPARE(clip->width(), 10.0);
    QCOMPARE(clip->height(), 5.0);
    clip->setWidth(30);
    QCOMPARE(clip->width(), 30.0);
    QCOMPARE(clip->xScale(), 600.0);
    clip->setHeight(2.5);
    QCOMPARE(clip->yScale(), 50.0);
    // Turned a quarter, the clip's width comes from its height.
    clip->setRotation(90);
    QVERIFY(std::fabs(clip->width() - 2.5) < 1e-9);
    // An object with no size takes an infinite scale, which spoils its matrix: whatever
    // it holds later measures nothing either way.
    auto empty = player.root().createEmptyClip("empty", 0);
    empty->setWidth(100);
    QCOMPARE(empty->width(), 0.0);
    const swf::Matrix spoilt = empty->matrix();
    QVERIFY(spoilt.a == 0 && spoilt.b == 0 && spoilt.c == 0 && spoilt.d == 0);
    // A size that is no number changes nothing.
    clip->setWidth(std::nan(""));
    QVERIFY(std::fabs(clip->width() - 2.5) < 1e-9);
}

void PropertiesTest::bounds()
{
    auto right = place(2, 10);
    right.matrix = swf::Matrix::translation(400, 100);
    auto morphAt = [](std::uint16_t ratio) {
        auto tag = place(3, 11);
        tag.ratio = ratio;
        return tag;
    };
    Builder builder;
    builder.square(10).morph(11).sprite(20, timeline({{place(1, 10), right}}));
    auto clipTag = named(place(1, 20), "clip");
    clipTag.matrix = swf::Matrix{2, 0, 0, 2, 1000, 0};
    RecordingHost host;
    MoviePlayer player(builder.main(timeline({{clipTag, morphAt(0)}})).build(), host);
    DisplayObject* clip = player.findByPath("clip");
    // The children's boxes, each through its own matrix.
    const runtime::Bounds local = clip->localBounds();
    QCOMPARE(local.xMin, 0.0);
    QCOMPARE(local.xMax, 500.0);
    QCOMPARE(local.yMax, 200.0);
    const runtime::Bounds onStage = clip->boundsIn(nullptr);
    QCOMPARE(onStage.xMin, 1000.0);
    QCOMPARE(onStage.xMax, 2000.0);
    QCOMPARE(clip->boundsIn(clip).xMax, 500.0);
    QCOMPARE(player.root().localBounds().xMax, 2000.0);
    // A morph's box moves with its ratio; the test morph keeps one box.
    QCOMPARE(player.root().childAt(3)->localBounds().xMax, 100.0);
    QVERIFY(player.root().createEmptyClip("nothing", 1)->localBounds().empty);
}

QTEST_APPLESS_MAIN(PropertiesTest)
#include "PropertiesTest.moc"
