// What scripts draw, as the renderer paints it: under the clip's children, as a mask,
// redrawn when its version changes, and cached by clip and version with nothing stale
// left behind.
#include "RenderScenes.h"
#include "render/ShapeCache.h"

#include <QtTest>

using namespace scenes;
using Kind = runtime::DrawCommand::Kind;

namespace {

const swf::Rgba kRed{255, 0, 0, 255};
const swf::Rgba kBlue{0, 0, 255, 255};
const swf::Rgba kGreen{0, 255, 0, 255};

std::shared_ptr<const swf::Shape> drawnRect(int x0, int y0, int x1, int y1, swf::Rgba color)
{
    return std::make_shared<const swf::Shape>(
        solidRect(x0 * kPx, y0 * kPx, x1 * kPx, y1 * kPx, color));
}

runtime::DrawCommand drawing(std::shared_ptr<const swf::Shape> shape, std::uint64_t objectId,
                             std::uint64_t version, const swf::Matrix& matrix = {})
{
    runtime::DrawCommand command;
    command.kind = Kind::Drawing;
    command.drawing = std::move(shape);
    command.objectId = objectId;
    command.contentVersion = version;
    command.matrix = matrix;
    return command;
}

} // namespace

class RenderDrawingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawingLiesUnderChildren();
    void drawingMasks();
    void newVersionIsRedrawn();
    void cacheKeepsOneEntryPerClipAndLevel();
};

void RenderDrawingsTest::drawingLiesUnderChildren()
{
    Scene scene;
    const swf::Character* child =
        scene.define(1, solidRect(25 * kPx, 25 * kPx, 75 * kPx, 75 * kPx, kBlue));
    runtime::DrawList list = scene.list();
    const swf::Matrix moved = swf::Matrix::translation(10 * kPx, 0);
    list.commands = {Scene::group(moved, swf::BlendMode::Normal, 7, 1),
                     drawing(drawnRect(0, 0, 50, 50, kRed), 7, 1, moved),
                     scene.place(child, moved, 8), Scene::marker(Kind::EndGroup, 7)};
    const QImage image = renderFrame(list, {100, 100});
    QCOMPARE(at(image, 20, 10), QColor(255, 0, 0)); // the drawing, moved with its clip
    QCOMPARE(at(image, 5, 10), QColor(255, 255, 255));
    QCOMPARE(at(image, 45, 45), QColor(0, 0, 255)); // the child covers it
}

void RenderDrawingsTest::drawingMasks()
{
    Scene scene;
    const swf::Character* below = scene.define(1, solidRect(0, 0, 100 * kPx, 100 * kPx, kGreen));
    runtime::DrawList list = scene.list();
    list.commands = {Scene::marker(Kind::BeginMask, 3),
                     Scene::group({}, swf::BlendMode::Normal, 3, 1),
                     drawing(drawnRect(20, 20, 40, 40, kRed), 3, 1),
                     Scene::marker(Kind::EndGroup, 3),
                     Scene::marker(Kind::EndMask, 3),
                     scene.place(below, {}, 4),
                     Scene::marker(Kind::EndClip)};
    const QImage image = renderFrame(list, {100, 100});
    QCOMPARE(at(image, 30, 30), QColor(0, 255, 0));
    QCOMPARE(at(image, 60, 60), QColor(255, 255, 255));
}

void RenderDrawingsTest::newVersionIsRedrawn()
{
    // One renderer, frame after frame: the clip's new drawing replaces its old one even
    // though nothing else about the clip changed.
    Scene scene;
    render::StageRenderer renderer;
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    runtime::DrawList first = scene.list();
    first.commands = {drawing(drawnRect(0, 0, 30, 30, kRed), 5, 1)};
    renderer.render(first, image, pixelView(), render::Quality::High);
    QCOMPARE(at(image, 10, 10), QColor(255, 0, 0));
    runtime::DrawList second = scene.list();
    second.commands = {drawing(drawnRect(20, 20, 50, 50, kBlue), 5, 2)};
    renderer.render(second, image, pixelView(), render::Quality::High);
    QCOMPARE(at(image, 10, 10), QColor(255, 255, 255));
    QCOMPARE(at(image, 40, 40), QColor(0, 0, 255));
}

void RenderDrawingsTest::cacheKeepsOneEntryPerClipAndLevel()
{
    render::ShapeCache cache(1 << 20);
    const auto red = drawnRect(0, 0, 10, 10, kRed);
    const auto prepared = cache.getDrawing(red, 1, 1, 0);
    QVERIFY(prepared);
    QCOMPARE(cache.getDrawing(red, 1, 1, 0), prepared);
    // A new version takes the old one's place.
    const auto blue = drawnRect(0, 0, 10, 10, kBlue);
    const auto next = cache.getDrawing(blue, 1, 2, 0);
    QVERIFY(next != prepared);
    QCOMPARE(cache.drawingEntries(), std::size_t(1));
    QCOMPARE(next->layers.at(0).fills.at(0).style->color.b, std::uint8_t(255));
    cache.getDrawing(red, 2, 1, 0);
    QCOMPARE(cache.drawingEntries(), std::size_t(2));

    // Prepared ahead, many at once: the lookups find them made.
    std::vector<render::ShapeCache::DrawingRequest> requests;
    for (std::uint64_t id = 10; id < 30; ++id)
        requests.push_back({drawnRect(0, 0, int(id), int(id), kGreen), id, 1, 0});
    cache.prepareDrawings(requests);
    QCOMPARE(cache.drawingEntries(), std::size_t(22));
    const auto ahead = cache.getDrawing(requests[3].drawing, 13, 1, 0);
    QVERIFY(ahead);
    QCOMPARE(ahead->owner.get(), static_cast<const void*>(requests[3].drawing.get()));
    QCOMPARE(cache.getDrawing(requests[3].drawing, 13, 1, 0), ahead);
    QCOMPARE(cache.drawingEntries(), std::size_t(22));

    // The cache is bounded: past its budget the oldest clips' drawings go.
    render::ShapeCache small(4096);
    for (std::uint64_t id = 1; id <= 100; ++id)
        small.getDrawing(drawnRect(0, 0, 10, 10, kRed), id, 1, 0);
    QVERIFY(small.drawingEntries() < 100);
}

QTEST_MAIN(RenderDrawingsTest)
#include "tst_RenderDrawings.moc"
