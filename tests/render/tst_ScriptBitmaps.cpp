// Scripts' bitmaps in the renderer: a bitmap a clip shows (a draw command carrying
// pixels), and the rasterizer BitmapData.draw and applyFilter go through.
#include "RenderScenes.h"
#include "render/ScriptRasterizer.h"
#include "runtime/BitmapData.h"

#include <QTest>

using runtime::BitmapData;

namespace {

runtime::DrawCommand bitmapCommand(const std::shared_ptr<const swf::Bitmap>& pixels,
                                   const swf::Matrix& matrix, std::uint64_t id = 1)
{
    runtime::DrawCommand command;
    command.bitmap = pixels.get();
    command.matrix = matrix;
    command.objectId = id;
    return command;
}

// A 2 x 2 bitmap: red, green / blue, clear.
std::shared_ptr<BitmapData> quad()
{
    auto b = std::make_shared<BitmapData>(2, 2, true, 0);
    b->setArgb(0, 0, 0xFFFF0000u);
    b->setArgb(1, 0, 0xFF00FF00u);
    b->setArgb(0, 1, 0xFF0000FFu);
    return b;
}

} // namespace

class ScriptBitmapsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void attachedBitmapsDrawAtTheirPlace()
    {
        scenes::Scene scene;
        auto pixels = quad()->snapshot();
        runtime::DrawList list = scene.list();
        // Scaled four times and moved 3 pixels right: each pixel a 4 x 4 block.
        list.commands.push_back(bitmapCommand(pixels, {4, 0, 0, 4, 3 * scenes::kPx, 0}));
        list.retained.push_back(pixels);
        const QImage frame = scenes::renderFrame(list, QSize(16, 12));
        QCOMPARE(scenes::at(frame, 4, 1), QColor(255, 0, 0));
        QCOMPARE(scenes::at(frame, 9, 2), QColor(0, 255, 0));
        QCOMPARE(scenes::at(frame, 5, 6), QColor(0, 0, 255));
        // The clear pixel shows the background; left of the bitmap nothing is drawn.
        QCOMPARE(scenes::at(frame, 9, 6), QColor(255, 255, 255));
        QCOMPARE(scenes::at(frame, 1, 1), QColor(255, 255, 255));
    }

    void drawingABitmapScalesAndClips()
    {
        render::ScriptRasterizer rasterizer;
        BitmapData target(8, 8, false, 0xFF000000u);
        auto pixels = quad()->snapshot();
        runtime::DrawList list;
        list.commands.push_back(bitmapCommand(pixels, {2, 0, 0, 2, 0, 0}));
        list.retained.push_back(pixels);
        // Only the left half of the target may change.
        rasterizer.drawList(target, list, {0, 0, 3, 8}, false);
        QCOMPARE(target.argbAt(0, 0), 0xFFFF0000u);
        QCOMPARE(target.argbAt(1, 1), 0xFFFF0000u);
        QCOMPARE(target.argbAt(2, 0), 0xFF00FF00u);
        QCOMPARE(target.argbAt(3, 0), 0xFF000000u);
        QCOMPARE(target.argbAt(0, 3), 0xFF0000FFu);
        // The clear pixel leaves the target's.
        QCOMPARE(target.argbAt(2, 2), 0xFF000000u);
        QCOMPARE(target.argbAt(0, 5), 0xFF000000u);
    }

    void filtersWriteTheirRectangle()
    {
        render::ScriptRasterizer rasterizer;
        const auto source = quad();
        BitmapData target(4, 4, true, 0);
        swf::ColorMatrixFilter swap;
        // Red and blue exchanged, alpha kept.
        swap.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
        rasterizer.applyFilter(target, *source, source->rect(), 1, 1, swap);
        QCOMPARE(target.argbAt(1, 1), 0xFF0000FFu);
        QCOMPARE(target.argbAt(1, 2), 0xFFFF0000u);
        QCOMPARE(target.argbAt(2, 1), 0xFF00FF00u);
        QCOMPARE(target.argbAt(0, 0), 0u);

        // A blur spreads a lone pixel over its neighbours within the rectangle.
        BitmapData dot(5, 5, true, 0);
        dot.setArgb(2, 2, 0xFFFFFFFFu);
        BitmapData blurred(5, 5, true, 0);
        swf::BlurFilter blur;
        blur.blurX = blur.blurY = 3;
        rasterizer.applyFilter(blurred, dot, dot.rect(), 0, 0, blur);
        QVERIFY(runtime::pixel::alpha(blurred.at(2, 2)) < 255);
        QVERIFY(runtime::pixel::alpha(blurred.at(1, 2)) > 0);
        QVERIFY(runtime::pixel::alpha(blurred.at(2, 3)) > 0);
    }
};

QTEST_MAIN(ScriptBitmapsTest)
#include "tst_ScriptBitmaps.moc"
