// The renderer across frames: partial redraws, bands, group layers kept between frames.
#include "RenderScenes.h"

#include <QPainter>
#include <QTest>
#include <cmath>

using namespace scenes;
using Kind = runtime::DrawCommand::Kind;
using render::Quality;
using render::StageRenderer;

namespace {

// A scene with something of every kind, changing from frame to frame: moving and still
// shapes, a gradient, a bitmap, a mask, a nested group moving as a whole, a blended
// group, a blurred group, a shape that appears and one that goes.
class BusyScene {
public:
    BusyScene()
    {
        swf::Bitmap bitmap;
        bitmap.width = bitmap.height = 8;
        for (std::uint32_t i = 0; i < 64; ++i)
            bitmap.pixels.push_back(0xff000000u | (i * 4u << 16) | ((255 - i * 4u) << 8));
        scene.define(100, bitmap);
        for (int i = 0; i < 6; ++i)
            m_rects.push_back(scene.define(
                swf::CharacterId(i + 1),
                solidRect(0, 0, (12 + i * 3) * kPx, (10 + i * 2) * kPx,
                          {std::uint8_t(40 * i), std::uint8_t(200 - 30 * i), 90, 255})));
        m_gradient = scene.define(
            20,
            filledShape(gradientFill(0, 40 * kPx, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}},
                                     swf::SpreadMode::Reflect),
                        {rectPath(0, 0, 50 * kPx, 30 * kPx)}));
        swf::FillStyle bitmapFill;
        bitmapFill.type = swf::FillType::RepeatingBitmap;
        bitmapFill.bitmapId = 100;
        bitmapFill.matrix = swf::Matrix{70, 20, -20, 70, 0, 0};
        m_bitmap = scene.define(21, filledShape(bitmapFill, {rectPath(0, 0, 30 * kPx, 30 * kPx)}));
        m_filters.push_back(swf::BlurFilter{5, 5, 2});
    }

    runtime::DrawList frame(int n) const
    {
        runtime::DrawList list = scene.list({250, 250, 240, 255});
        auto& c = list.commands;
        auto at = [](double x, double y) { return swf::Matrix::translation(x * kPx, y * kPx); };
        c.push_back(scene.place(m_gradient, at(5 + n * 3.5, 8), 1, 1));
        c.push_back(scene.place(m_rects[0], at(120, 10), 2, 1)); // still
        c.push_back(scene.place(m_bitmap, at(60 + n, 90 - n * 2.25), 3, 1));
        if (n < 2)
            c.push_back(scene.place(m_rects[1], at(150, 100), 4, 1)); // goes at frame 2
        if (n >= 3)
            c.push_back(scene.place(m_rects[2], at(20, 120), 5, 1)); // comes at frame 3
        // A mask whose content moves.
        c.push_back(Scene::marker(Kind::BeginMask, 6));
        c.push_back(scene.place(m_rects[5], at(90, 40), 7, 1));
        c.push_back(Scene::marker(Kind::EndMask, 6));
        c.push_back(scene.place(m_gradient, at(80 + n * 2, 35), 8, 1));
        c.push_back(Scene::marker(Kind::EndClip, 6));
        // A plain group moving whole pixels: its children move with it.
        const swf::Matrix groupAt = at(10 + n * 4, 60 + n);
        c.push_back(Scene::group(groupAt, swf::BlendMode::Normal, 9, 1));
        c.push_back(scene.place(m_rects[3], groupAt, 10, 1));
        c.push_back(scene.place(m_rects[4], groupAt * at(8, 6), 11, 1));
        c.push_back(Scene::marker(Kind::EndGroup, 9));
        // A multiply group that changes inside on odd frames.
        c.push_back(Scene::group({}, swf::BlendMode::Multiply, 12, std::uint64_t(n / 2)));
        c.push_back(scene.place(m_rects[2], at(100 + (n / 2) * 5, 70), 13, std::uint64_t(n / 2)));
        c.push_back(Scene::marker(Kind::EndGroup, 12));
        // A blurred group that moves.
        c.push_back(Scene::group(at(130 - n * 2, 60), swf::BlendMode::Normal, 14, 1, &m_filters));
        c.push_back(scene.place(m_rects[1], at(130 - n * 2, 60), 15, 1));
        c.push_back(Scene::marker(Kind::EndGroup, 14));
        return list;
    }

    Scene scene;

private:
    std::vector<const swf::Character*> m_rects;
    const swf::Character* m_gradient = nullptr;
    const swf::Character* m_bitmap = nullptr;
    std::vector<swf::Filter> m_filters;
};

QImage blank(QSize size = {200, 150})
{
    return QImage(size, QImage::Format_ARGB32_Premultiplied);
}

int maxDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

} // namespace

class StageRendererTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void partialRedrawMatchesFullRedraw();
    void bandsMatchOneThread();
    void changedTargetIsRedrawnWhole();
    void movedGroupReusesItsLayer();
    void changedGroupIsDrawnAgain();
    void slowlyMovingGroupsAreNotSnappedToPixels();
    void backgroundOverride();
    void otherTargetFormatIsConverted();
    void damagedListsDrawSafely();
};

void StageRendererTest::partialRedrawMatchesFullRedraw()
{
    BusyScene busy;
    StageRenderer partial, full;
    full.setPartialRedraw(false);
    QImage kept = blank();
    for (int n = 0; n < 6; ++n) {
        const runtime::DrawList list = busy.frame(n);
        partial.render(list, kept, pixelView(), Quality::High);
        QImage fresh = blank();
        full.render(list, fresh, pixelView(), Quality::High);
        QCOMPARE(kept, fresh);
        if (n > 0) {
            QVERIFY(!partial.lastFrameStats().fullRedraw);
            QVERIFY(partial.lastFrameStats().dirtyPixels < 200 * 150);
        }
    }
    // Nothing changed: nothing drawn.
    partial.render(busy.frame(5), kept, pixelView(), Quality::High);
    QCOMPARE(partial.lastFrameStats().dirtyPixels, 0);
}

void StageRendererTest::bandsMatchOneThread()
{
    BusyScene busy;
    for (const Quality quality : {Quality::Low, Quality::High}) {
        StageRenderer one, many;
        one.setThreadCount(1);
        many.setThreadCount(4);
        for (int n = 0; n < 4; ++n) {
            QImage a = blank({320, 240}), b = blank({320, 240});
            const QTransform view = QTransform::fromScale(1.6 / kPx, 1.6 / kPx);
            one.render(busy.frame(n), a, view, quality);
            many.render(busy.frame(n), b, view, quality);
            QCOMPARE(a, b);
        }
    }
}

void StageRendererTest::changedTargetIsRedrawnWhole()
{
    BusyScene busy;
    StageRenderer renderer;
    QImage image = blank();
    renderer.render(busy.frame(0), image, pixelView(), Quality::High);
    QPainter(&image).fillRect(0, 0, 200, 150, Qt::magenta);
    renderer.render(busy.frame(1), image, pixelView(), Quality::High);
    QVERIFY(renderer.lastFrameStats().fullRedraw);
    StageRenderer reference;
    QImage expected = blank();
    reference.render(busy.frame(1), expected, pixelView(), Quality::High);
    QCOMPARE(image, expected);
}

void StageRendererTest::movedGroupReusesItsLayer()
{
    BusyScene busy;
    StageRenderer cached, uncached;
    uncached.setGroupCaching(false);
    QImage previous;
    for (int n = 0; n < 4; ++n) {
        QImage a = blank(), b = blank();
        cached.render(busy.frame(n), a, pixelView(), Quality::High);
        uncached.render(busy.frame(n), b, pixelView(), Quality::High);
        // Layers composite the same colours as drawing in place, give or take rounding.
        QVERIFY2(maxDifference(a, b) <= 2, qPrintable(QString::number(maxDifference(a, b))));
        if (n >= 2) {
            // The plain group (second sight on) and the blurred one are reused.
            QVERIFY(cached.lastFrameStats().groupsReused >= 2);
            // Reused, the plain group's pixels are exactly the ones drawn before, moved
            // by (4, 1).
            QCOMPARE(a.copy(14 + n * 4, 61 + n, 30, 20), previous.copy(10 + n * 4, 60 + n, 30, 20));
        }
        previous = a;
    }
    QCOMPARE(uncached.lastFrameStats().groupsReused, 0);
}

void StageRendererTest::changedGroupIsDrawnAgain()
{
    // The multiply group's content changes at frame 2: its rectangle moves from x = 100
    // to 105 (y 70 to 84). Its layer kept from frame 1 must not serve: the frame shows
    // the new content, as a renderer that keeps nothing draws it.
    BusyScene busy;
    StageRenderer renderer;
    QImage image = blank();
    renderer.render(busy.frame(1), image, pixelView(), Quality::High);
    const QImage before = image;
    renderer.render(busy.frame(2), image, pixelView(), Quality::High);
    QVERIFY(renderer.lastFrameStats().groupsDrawn >= 1);
    StageRenderer fresh;
    fresh.setGroupCaching(false);
    QImage expected = blank();
    fresh.render(busy.frame(2), expected, pixelView(), Quality::High);
    QVERIFY2(maxDifference(image, expected) <= 2,
             qPrintable(QString::number(maxDifference(image, expected))));
    // Left of the new place the old rectangle is gone; at its right end the new one shows.
    QCOMPARE(at(image, 102, 77), at(expected, 102, 77));
    QVERIFY(at(image, 102, 77) != at(before, 102, 77));
    QCOMPARE(at(image, 120, 77), at(expected, 120, 77));
    QVERIFY(at(image, 120, 77) != at(before, 120, 77));
    // Unchanged at frame 3, it is taken from the cache, and still right.
    renderer.render(busy.frame(3), image, pixelView(), Quality::High);
    QVERIFY(renderer.lastFrameStats().groupsReused >= 3);
    QImage third = blank();
    fresh.render(busy.frame(3), third, pixelView(), Quality::High);
    QVERIFY2(maxDifference(image, third) <= 2,
             qPrintable(QString::number(maxDifference(image, third))));
}

void StageRendererTest::slowlyMovingGroupsAreNotSnappedToPixels()
{
    // A plain group and a blurred one creeping right by 0.35 pixels a frame: each frame
    // must show them where a renderer that keeps no layers draws them, never a layer
    // kept from an earlier frame put down at the nearest whole pixel.
    Scene scene;
    const swf::Character* bar = scene.define(1, solidRect(0, 0, 7 * kPx, 30 * kPx, {0, 0, 0, 255}));
    std::vector<swf::Filter> blur{swf::BlurFilter{2, 2, 1}};
    auto frame = [&](int n) {
        runtime::DrawList list = scene.list();
        auto& c = list.commands;
        const swf::Matrix plainAt = swf::Matrix::translation((10 + 0.35 * n) * kPx, 10 * kPx);
        c.push_back(Scene::group(plainAt, swf::BlendMode::Normal, 1, 1));
        c.push_back(scene.place(bar, plainAt, 2, 1));
        c.push_back(Scene::marker(Kind::EndGroup, 1));
        const swf::Matrix blurredAt = swf::Matrix::translation((40 + 0.35 * n) * kPx, 10 * kPx);
        c.push_back(Scene::group(blurredAt, swf::BlendMode::Normal, 3, 1, &blur));
        c.push_back(scene.place(bar, blurredAt, 4, 1));
        c.push_back(Scene::marker(Kind::EndGroup, 3));
        return list;
    };
    StageRenderer cached, uncached;
    uncached.setGroupCaching(false);
    QImage kept = blank({80, 50});
    for (int n = 0; n < 8; ++n) {
        cached.render(frame(n), kept, pixelView(), Quality::High);
        QImage expected = blank({80, 50});
        uncached.render(frame(n), expected, pixelView(), Quality::High);
        QVERIFY2(
            maxDifference(kept, expected) <= 2,
            qPrintable(QStringLiteral("frame %1: %2").arg(n).arg(maxDifference(kept, expected))));
    }
    // Moving by whole pixels, the layers still serve.
    const auto wholeMove = [&](int n) {
        runtime::DrawList list = frame(0);
        for (runtime::DrawCommand& command : list.commands)
            command.matrix.tx += n * kPx;
        return list;
    };
    QImage moved = blank({80, 50});
    for (int n = 0; n < 3; ++n)
        cached.render(wholeMove(n), moved, pixelView(), Quality::High);
    QCOMPARE(cached.lastFrameStats().groupsReused, 2);
}

void StageRendererTest::backgroundOverride()
{
    Scene scene;
    runtime::DrawList list = scene.list({10, 20, 30, 255});
    StageRenderer renderer;
    QImage image = blank({20, 20});
    renderer.render(list, image, pixelView(), Quality::High);
    QCOMPARE(at(image, 5, 5), QColor(10, 20, 30));
    renderer.setBackgroundOverride(QColor(200, 100, 0));
    renderer.render(list, image, pixelView(), Quality::High);
    QCOMPARE(at(image, 5, 5), QColor(200, 100, 0));
    renderer.setBackgroundOverride(std::nullopt);
    renderer.render(list, image, pixelView(), Quality::High);
    QCOMPARE(at(image, 5, 5), QColor(10, 20, 30));
}

void StageRendererTest::otherTargetFormatIsConverted()
{
    Scene scene;
    runtime::DrawList list = scene.list({10, 20, 30, 255});
    StageRenderer renderer;
    QImage image(16, 8, QImage::Format_RGB32);
    renderer.render(list, image, pixelView(), Quality::Low);
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(image.size(), QSize(16, 8));
    QCOMPARE(at(image, 15, 7), QColor(10, 20, 30));
}

void StageRendererTest::damagedListsDrawSafely()
{
    // The runtime should never hand these over; if it does, they draw what they can.
    Scene scene;
    const swf::Character* square =
        scene.define(1, solidRect(0, 0, 10 * kPx, 10 * kPx, {0, 0, 0, 255}));
    runtime::DrawList list = scene.list();
    auto& c = list.commands;
    c.push_back(Scene::marker(Kind::EndGroup)); // closers with nothing open
    c.push_back(Scene::marker(Kind::EndClip));
    c.push_back(scene.place(nullptr)); // no character
    c.push_back(scene.place(square));  // still drawn
    for (int i = 0; i < 100000; ++i)   // nested far too deep, never closed
        c.push_back(Scene::group({}, swf::BlendMode::Multiply, 0));
    c.push_back(Scene::marker(Kind::BeginMask)); // a mask that never ends
    c.push_back(scene.place(square));
    StageRenderer renderer;
    QImage image = blank({20, 20});
    renderer.render(list, image, pixelView(), Quality::High);
    QCOMPARE(at(image, 5, 5), QColor(0, 0, 0));
    QCOMPARE(at(image, 15, 15), QColor(255, 255, 255));
}

QTEST_MAIN(StageRendererTest)
#include "tst_StageRenderer.moc"
