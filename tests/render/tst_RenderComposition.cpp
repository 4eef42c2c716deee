// Masks, blend modes and filters: how the renderer combines what it draws.
#include "RenderScenes.h"

#include <QTest>

using namespace scenes;
using Kind = runtime::DrawCommand::Kind;

Q_DECLARE_METATYPE(swf::BlendMode)

namespace {

const swf::Rgba kRed{255, 0, 0, 255};
const swf::Rgba kBlack{0, 0, 0, 255};
const QColor kWhite(255, 255, 255);

// A scene of solid rectangles given in pixels.
class Rects {
public:
    runtime::DrawCommand rect(int x0, int y0, int x1, int y1, swf::Rgba color)
    {
        const swf::Character* c =
            scene.define(m_next++, solidRect(x0 * kPx, y0 * kPx, x1 * kPx, y1 * kPx, color));
        return scene.place(c, {}, m_next, 1);
    }
    Scene scene;

private:
    swf::CharacterId m_next = 1;
};

QImage draw(const Rects& rects, std::vector<runtime::DrawCommand> commands, QSize size = {100, 100})
{
    runtime::DrawList list = rects.scene.list();
    list.commands = std::move(commands);
    return renderFrame(list, size);
}

bool isWhite(QColor c)
{
    return c == kWhite;
}

} // namespace

class RenderCompositionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void maskClipsContent();
    void maskIsTheUnionOfItsShapes();
    void nestedMasksIntersect();
    void groupRectangleCutsItsContents();
    void groupBackgroundLiesUnderItsContents();
    void blendModes_data();
    void blendModes();
    void alphaAndEraseNeedALayer();
    void blurSpreadsEvenly();
    void dropShadowFallsAtItsOffset_data();
    void dropShadowFallsAtItsOffset();
    void glowSurroundsTheShape();
    void colorMatrixMixesChannels();
    void convolutionAveragesNeighbours();
};

void RenderCompositionTest::maskClipsContent()
{
    Rects r;
    const QImage image = draw(r, {Scene::marker(Kind::BeginMask), r.rect(20, 20, 60, 60, kBlack),
                                  Scene::marker(Kind::EndMask), r.rect(0, 0, 100, 100, kRed),
                                  Scene::marker(Kind::EndClip), r.rect(80, 0, 100, 20, kBlack)});
    QCOMPARE(at(image, 40, 40), QColor(255, 0, 0)); // the mask's colour never shows
    QCOMPARE(at(image, 21, 21), QColor(255, 0, 0));
    QVERIFY(isWhite(at(image, 10, 10)));
    QVERIFY(isWhite(at(image, 70, 70)));
    QCOMPARE(at(image, 90, 10), QColor(0, 0, 0)); // after EndClip nothing is clipped
}

void RenderCompositionTest::maskIsTheUnionOfItsShapes()
{
    Rects r;
    const QImage image = draw(r, {Scene::marker(Kind::BeginMask), r.rect(0, 0, 30, 30, kBlack),
                                  r.rect(50, 0, 80, 30, kBlack), r.rect(20, 0, 60, 10, kBlack),
                                  Scene::marker(Kind::EndMask), r.rect(0, 0, 100, 100, kRed),
                                  Scene::marker(Kind::EndClip)});
    QCOMPARE(at(image, 10, 20), QColor(255, 0, 0));
    QCOMPARE(at(image, 60, 20), QColor(255, 0, 0));
    QCOMPARE(at(image, 40, 5), QColor(255, 0, 0)); // overlaps do not cancel
    QVERIFY(isWhite(at(image, 40, 20)));
    QVERIFY(isWhite(at(image, 10, 50)));
}

void RenderCompositionTest::nestedMasksIntersect()
{
    Rects r;
    const QImage image =
        draw(r, {Scene::marker(Kind::BeginMask), r.rect(10, 10, 60, 60, kBlack),
                 Scene::marker(Kind::EndMask), Scene::marker(Kind::BeginMask),
                 r.rect(40, 40, 90, 90, kBlack), Scene::marker(Kind::EndMask),
                 r.rect(0, 0, 100, 100, kRed), Scene::marker(Kind::EndClip),
                 r.rect(0, 0, 15, 100, {0, 0, 255, 255}), Scene::marker(Kind::EndClip)});
    QCOMPARE(at(image, 50, 50), QColor(255, 0, 0));
    QVERIFY(isWhite(at(image, 30, 30))); // only in the outer mask
    QVERIFY(isWhite(at(image, 75, 75))); // only in the inner mask
    // After the inner clip ends, the outer one still holds.
    QCOMPARE(at(image, 12, 30), QColor(0, 0, 255));
    QVERIFY(isWhite(at(image, 5, 30)));
}

void RenderCompositionTest::groupRectangleCutsItsContents()
{
    Rects r;
    // A group at (10, 10) cut to 40 x 30 pixels of its own space.
    runtime::DrawCommand group =
        Scene::group(swf::Matrix::translation(10 * kPx, 10 * kPx), swf::BlendMode::Normal, 90);
    group.clipRect =
        swf::Rect{swf::Twips{0}, swf::Twips{40 * kPx}, swf::Twips{0}, swf::Twips{30 * kPx}};
    const QImage image =
        draw(r, {group, r.rect(0, 0, 100, 100, kRed), Scene::marker(Kind::EndGroup, 90),
                 r.rect(90, 90, 100, 100, kBlack)});
    QCOMPARE(at(image, 30, 20), QColor(255, 0, 0));
    QCOMPARE(at(image, 11, 38), QColor(255, 0, 0));
    QVERIFY(isWhite(at(image, 5, 5)));
    QVERIFY(isWhite(at(image, 55, 20)));
    QVERIFY(isWhite(at(image, 30, 45)));
    QCOMPARE(at(image, 95, 95), QColor(0, 0, 0)); // past the group nothing is cut

    // In a mask only shapes count: the rectangle of a group there cuts nothing.
    runtime::DrawCommand inMask = group;
    const QImage masked =
        draw(r, {Scene::marker(Kind::BeginMask), inMask, r.rect(0, 0, 80, 80, kBlack),
                 Scene::marker(Kind::EndGroup, 90), Scene::marker(Kind::EndMask),
                 r.rect(0, 0, 100, 100, kRed), Scene::marker(Kind::EndClip)});
    QCOMPARE(at(masked, 70, 70), QColor(255, 0, 0));
    QVERIFY(isWhite(at(masked, 90, 90)));
}

void RenderCompositionTest::groupBackgroundLiesUnderItsContents()
{
    Rects r;
    const swf::Rgba blue{0, 0, 255, 255};
    runtime::DrawCommand group =
        Scene::group(swf::Matrix::translation(60 * kPx, 60 * kPx), swf::BlendMode::Normal, 91);
    group.background = blue;
    group.backgroundBox =
        swf::Rect{swf::Twips{0}, swf::Twips{20 * kPx}, swf::Twips{0}, swf::Twips{20 * kPx}};
    std::vector<runtime::DrawCommand> commands{r.rect(0, 0, 100, 50, {0, 255, 0, 255}), group,
                                               r.rect(65, 65, 70, 70, kRed),
                                               Scene::marker(Kind::EndGroup, 91)};
    // Drawn in place, and inside the layer a blend mode gives the group.
    for (const swf::BlendMode mode : {swf::BlendMode::Normal, swf::BlendMode::Layer}) {
        commands[1].blendMode = mode;
        const QImage image = draw(r, commands);
        QCOMPARE(at(image, 62, 62), QColor(0, 0, 255));
        QCOMPARE(at(image, 67, 67), QColor(255, 0, 0));
        QCOMPARE(at(image, 78, 78), QColor(0, 0, 255));
        QVERIFY(isWhite(at(image, 85, 85)));
        QCOMPARE(at(image, 20, 20), QColor(0, 255, 0));
    }
}

void RenderCompositionTest::blendModes_data()
{
    QTest::addColumn<swf::BlendMode>("mode");
    QTest::addColumn<QColor>("expected");
    // A grey (128) backdrop under an orange (255, 64, 0) rectangle.
    QTest::newRow("normal") << swf::BlendMode::Normal << QColor(255, 64, 0);
    QTest::newRow("multiply") << swf::BlendMode::Multiply << QColor(128, 32, 0);
    QTest::newRow("screen") << swf::BlendMode::Screen << QColor(255, 160, 128);
    QTest::newRow("add") << swf::BlendMode::Add << QColor(255, 192, 128);
    QTest::newRow("subtract") << swf::BlendMode::Subtract << QColor(0, 64, 128);
    QTest::newRow("difference") << swf::BlendMode::Difference << QColor(127, 64, 128);
    QTest::newRow("invert") << swf::BlendMode::Invert << QColor(127, 127, 127);
    QTest::newRow("darken") << swf::BlendMode::Darken << QColor(128, 64, 0);
    // Erase and alpha act on the layer they are drawn into: erasing shows the white
    // stage; half alpha leaves the grey half transparent over it.
    QTest::newRow("erase") << swf::BlendMode::Erase << QColor(255, 255, 255);
    QTest::newRow("alpha") << swf::BlendMode::Alpha << QColor(191, 191, 191);
}

void RenderCompositionTest::blendModes()
{
    QFETCH(swf::BlendMode, mode);
    QFETCH(QColor, expected);
    Rects r;
    const swf::Rgba grey{128, 128, 128, 255};
    const bool onLayer = mode == swf::BlendMode::Erase || mode == swf::BlendMode::Alpha;
    const swf::Rgba top =
        mode == swf::BlendMode::Alpha ? swf::Rgba{255, 64, 0, 128} : swf::Rgba{255, 64, 0, 255};
    std::vector<runtime::DrawCommand> commands;
    if (onLayer)
        commands.push_back(Scene::group({}, swf::BlendMode::Layer, 100));
    commands.push_back(r.rect(0, 0, 100, 100, grey));
    commands.push_back(Scene::group({}, mode, 101));
    commands.push_back(r.rect(20, 20, 60, 60, top));
    commands.push_back(Scene::marker(Kind::EndGroup));
    if (onLayer)
        commands.push_back(Scene::marker(Kind::EndGroup));
    const QImage image = draw(r, commands);
    const QColor actual = at(image, 40, 40);
    QVERIFY2(near(actual, expected, 2), qPrintable(actual.name()));
    QCOMPARE(at(image, 80, 80), QColor(128, 128, 128)); // outside the blended rectangle
}

void RenderCompositionTest::alphaAndEraseNeedALayer()
{
    // Straight on the stage there is no layer to erase from: nothing is drawn, and
    // the stage stays opaque.
    Rects r;
    const QImage image = draw(r, {r.rect(0, 0, 100, 100, {128, 128, 128, 255}),
                                  Scene::group({}, swf::BlendMode::Erase, 101),
                                  r.rect(20, 20, 60, 60, kRed), Scene::marker(Kind::EndGroup)});
    QCOMPARE(at(image, 40, 40), QColor(128, 128, 128));
    QCOMPARE(qAlpha(image.pixel(40, 40)), 255);
}

void RenderCompositionTest::blurSpreadsEvenly()
{
    Rects r;
    std::vector<swf::Filter> filters{swf::BlurFilter{8, 8, 1}};
    const QImage image = draw(r, {Scene::group({}, swf::BlendMode::Normal, 100, 1, &filters),
                                  r.rect(40, 40, 60, 60, kBlack), Scene::marker(Kind::EndGroup)});
    const QColor inside = at(image, 50, 50), edgeOut = at(image, 38, 50),
                 edgeIn = at(image, 41, 50), far = at(image, 20, 50);
    QCOMPARE(inside, QColor(0, 0, 0));
    QVERIFY2(edgeOut.red() > 100 && edgeOut.red() < 250, qPrintable(edgeOut.name()));
    QVERIFY2(edgeIn.red() > 5 && edgeIn.red() < edgeOut.red(), qPrintable(edgeIn.name()));
    QVERIFY(isWhite(far));
    // Left, right, top and bottom edges blur alike.
    QVERIFY(near(at(image, 61, 50), edgeOut, 12));
    QVERIFY(near(at(image, 50, 38), edgeOut, 12));
    QVERIFY(near(at(image, 50, 61), edgeOut, 12));
}

void RenderCompositionTest::dropShadowFallsAtItsOffset_data()
{
    QTest::addColumn<bool>("knockout");
    QTest::addColumn<QColor>("onShape");
    QTest::newRow("shadow under the shape") << false << QColor(255, 0, 0);
    QTest::newRow("knockout leaves the shadow alone") << true << kWhite;
}

void RenderCompositionTest::dropShadowFallsAtItsOffset()
{
    QFETCH(bool, knockout);
    QFETCH(QColor, onShape);
    Rects r;
    swf::DropShadowFilter shadow;
    shadow.color = kBlack;
    shadow.distance = 10; // to the right and down at 45 degrees: (7, 7)
    shadow.angle = 3.14159265358979 / 4;
    shadow.knockout = knockout;
    std::vector<swf::Filter> filters{shadow};
    const QImage image = draw(r, {Scene::group({}, swf::BlendMode::Normal, 100, 1, &filters),
                                  r.rect(20, 20, 40, 40, kRed), Scene::marker(Kind::EndGroup)});
    QCOMPARE(at(image, 30, 30), onShape);
    QCOMPARE(at(image, 44, 44), QColor(0, 0, 0)); // the shadow beyond the shape
    QVERIFY(isWhite(at(image, 49, 49)));          // past the shadow's end
    QVERIFY(isWhite(at(image, 22, 44)));          // left of the shadow
    QVERIFY(isWhite(at(image, 15, 15)));          // no shadow up and left
}

void RenderCompositionTest::glowSurroundsTheShape()
{
    Rects r;
    swf::GlowFilter glow;
    glow.color = {0, 255, 0, 255};
    glow.blurX = glow.blurY = 6;
    glow.strength = 2;
    std::vector<swf::Filter> filters{glow};
    const QImage image = draw(r, {Scene::group({}, swf::BlendMode::Normal, 100, 1, &filters),
                                  r.rect(40, 40, 60, 60, kRed), Scene::marker(Kind::EndGroup)});
    QCOMPARE(at(image, 50, 50), QColor(255, 0, 0));
    for (const QPoint p : {QPoint(38, 50), QPoint(61, 50), QPoint(50, 38), QPoint(50, 61)}) {
        const QColor c = at(image, p.x(), p.y());
        QVERIFY2(c.green() > c.red() && c.green() > c.blue() && c.red() < 250,
                 qPrintable(c.name()));
    }
    QVERIFY(isWhite(at(image, 20, 20)));
}

void RenderCompositionTest::colorMatrixMixesChannels()
{
    Rects r;
    swf::ColorMatrixFilter swap;
    // Red and blue change places; green gets a constant 100.
    swap.matrix = {0, 0, 1, 0, 0, 0, 0, 0, 0, 100, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    std::vector<swf::Filter> filters{swap};
    const QImage image = draw(r, {Scene::group({}, swf::BlendMode::Normal, 100, 1, &filters),
                                  r.rect(20, 20, 40, 40, kRed), Scene::marker(Kind::EndGroup)});
    QCOMPARE(at(image, 30, 30), QColor(0, 100, 255));
    QVERIFY(isWhite(at(image, 60, 60)));
}

void RenderCompositionTest::convolutionAveragesNeighbours()
{
    Rects r;
    swf::ConvolutionFilter average;
    average.columns = average.rows = 3;
    average.matrix.assign(9, 1);
    average.divisor = 9;
    average.preserveAlpha = true;
    std::vector<swf::Filter> filters{average};
    // A red square with a one-pixel blue column inside: averaging mixes them.
    const QImage image =
        draw(r, {Scene::group({}, swf::BlendMode::Normal, 100, 1, &filters),
                 r.rect(20, 20, 40, 40, kRed), r.rect(30, 20, 31, 40, {0, 0, 255, 255}),
                 Scene::marker(Kind::EndGroup)});
    QVERIFY(near(at(image, 30, 30), QColor(170, 0, 85), 2));
    QVERIFY(near(at(image, 31, 30), QColor(170, 0, 85), 2));
    QCOMPARE(at(image, 25, 30), QColor(255, 0, 0));
}

QTEST_MAIN(RenderCompositionTest)
#include "tst_RenderComposition.moc"
