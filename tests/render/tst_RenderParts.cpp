// The renderer's building blocks on their own: caches, the dirty-area search, the box
// blur and gradient spans.
#include "render/BoxBlur.h"
#include "render/DirtyTracker.h"
#include "render/GradientFill.h"
#include "render/LruCache.h"
#include "render/PathFlattener.h"

#include <QTest>
#include <numeric>

using namespace render;

Q_DECLARE_METATYPE(swf::SpreadMode)

class RenderPartsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lruEvictsTheLeastRecentlyUsed();
    void lruValuesOutliveEviction();
    void dirtyAreaCoversChanges();
    void boxBlurKeepsTheTotalAndSpreads();
    void boxBlurLeavesFlatAreasAlone();
    void gradientSpread_data();
    void gradientSpread();
    void scaleLevelsStepByHalfOctaves();
};

void RenderPartsTest::lruEvictsTheLeastRecentlyUsed()
{
    LruCache<int, int> cache(10);
    cache.insert(1, std::make_shared<int>(1), 4);
    cache.insert(2, std::make_shared<int>(2), 4);
    QVERIFY(cache.find(1));                       // 1 is now the most recent
    cache.insert(3, std::make_shared<int>(3), 4); // over budget: 2 goes
    QVERIFY(cache.find(1));
    QVERIFY(!cache.find(2));
    QVERIFY(cache.find(3));
    QCOMPARE(cache.totalCost(), std::size_t(8));
    // An entry bigger than the whole budget still stays, alone.
    cache.insert(4, std::make_shared<int>(4), 50);
    QCOMPARE(cache.size(), std::size_t(1));
    QVERIFY(cache.find(4));
    // Replacing an entry does not count it twice.
    cache.insert(4, std::make_shared<int>(5), 3);
    QCOMPARE(cache.totalCost(), std::size_t(3));
    QCOMPARE(*cache.find(4), 5);
}

void RenderPartsTest::lruValuesOutliveEviction()
{
    LruCache<int, std::string> cache(1);
    std::shared_ptr<std::string> held = cache.insert(1, std::make_shared<std::string>("kept"), 1);
    cache.insert(2, std::make_shared<std::string>("new"), 1);
    QVERIFY(!cache.find(1));
    QCOMPARE(*held, std::string("kept"));
}

void RenderPartsTest::dirtyAreaCoversChanges()
{
    const QRect target(0, 0, 200, 200);
    DirtyTracker tracker;
    tracker.remember({{1, 100, QRect(10, 10, 20, 20)},
                      {2, 200, QRect(50, 50, 10, 10)},
                      {3, 300, QRect(150, 150, 10, 10)}});
    // 1 moved, 2 is unchanged, 3 went, 4 came.
    const QRegion dirty = tracker.dirtyRegion({{1, 101, QRect(15, 10, 20, 20)},
                                               {2, 200, QRect(50, 50, 10, 10)},
                                               {4, 400, QRect(100, 0, 10, 10)}},
                                              target);
    QVERIFY(dirty.contains(QRect(10, 10, 25, 20))); // old and new place of 1
    QVERIFY(dirty.contains(QRect(150, 150, 10, 10)));
    QVERIFY(dirty.contains(QRect(100, 0, 10, 10)));
    QVERIFY(!dirty.intersects(QRect(50, 50, 10, 10)));
    // Changes off the image cost nothing.
    tracker.remember({{5, 1, QRect(500, 500, 10, 10)}});
    QVERIFY(tracker.dirtyRegion({{5, 2, QRect(600, 500, 10, 10)}}, target).isEmpty());
    // A signature change in place redraws the place.
    tracker.remember({{6, 1, QRect(0, 0, 5, 5)}});
    QCOMPARE(tracker.dirtyRegion({{6, 2, QRect(0, 0, 5, 5)}}, target), QRegion(0, 0, 5, 5));
}

void RenderPartsTest::boxBlurKeepsTheTotalAndSpreads()
{
    // A single bright pixel in the middle of a 41x41 plane.
    std::vector<std::uint8_t> plane(41 * 41, 0);
    plane[20 * 41 + 20] = 255;
    boxBlur(PixelPlane{plane.data(), 41, 41, 41, 1}, 5, 3, 2);
    // Two passes of 5 wide spread 4 pixels each way across, 2 down.
    QVERIFY(plane[20 * 41 + 16] > 0);
    QCOMPARE(plane[20 * 41 + 15], std::uint8_t(0));
    QVERIFY(plane[18 * 41 + 20] > 0);
    QCOMPARE(plane[17 * 41 + 20], std::uint8_t(0));
    // Symmetric, and peaked in the middle.
    QCOMPARE(plane[20 * 41 + 17], plane[20 * 41 + 23]);
    QCOMPARE(plane[19 * 41 + 20], plane[21 * 41 + 20]);
    QVERIFY(plane[20 * 41 + 20] > plane[20 * 41 + 18]);
    // The total stays within rounding of what was there.
    const int total = std::accumulate(plane.begin(), plane.end(), 0);
    QVERIFY2(std::abs(total - 255) <= 60, qPrintable(QString::number(total)));
}

void RenderPartsTest::boxBlurLeavesFlatAreasAlone()
{
    // Four channels of a flat colour: the inside stays exactly the same.
    std::vector<std::uint8_t> pixels(30 * 30 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(40 * (i % 4) + 10);
    boxBlur(PixelPlane{pixels.data(), 30, 30, 30 * 4, 4}, 7, 7, 3);
    for (int c = 0; c < 4; ++c)
        QCOMPARE(pixels[(15 * 30 + 15) * 4 + c], std::uint8_t(40 * c + 10));
    // Its edges fade towards the transparent outside.
    QVERIFY(pixels[(15 * 30 + 0) * 4 + 3] < 130);
}

void RenderPartsTest::gradientSpread_data()
{
    QTest::addColumn<swf::SpreadMode>("spread");
    QTest::addColumn<double>("ratio"); // across the gradient, 0 to 1 inside it
    QTest::addColumn<int>("entry");
    const auto pad = swf::SpreadMode::Pad, repeat = swf::SpreadMode::Repeat,
               reflect = swf::SpreadMode::Reflect;
    QTest::newRow("pad inside") << pad << 0.5 << 128;
    QTest::newRow("pad below") << pad << -3.2 << 0;
    QTest::newRow("pad above") << pad << 7.0 << 255;
    QTest::newRow("repeat above") << repeat << 1.25 << 64;
    QTest::newRow("repeat below") << repeat << -0.25 << 192;
    QTest::newRow("repeat far below") << repeat << -10.25 << 192;
    QTest::newRow("reflect above") << reflect << 1.25 << 191;
    QTest::newRow("reflect below") << reflect << -0.25 << 63;
    QTest::newRow("reflect twice over") << reflect << 2.25 << 64;
}

void RenderPartsTest::gradientSpread()
{
    QFETCH(swf::SpreadMode, spread);
    QFETCH(double, ratio);
    QFETCH(int, entry);
    // A table whose entry i holds i, and a linear gradient mapped so that pixel x is at
    // ratio x / 1000 (pixel centres are half a pixel in).
    auto table = std::make_shared<GradientTable>();
    for (int i = 0; i < 256; ++i)
        (*table)[i] = QRgb(i);
    GradientFill fill;
    fill.kind = GradientFill::Kind::Linear;
    fill.spread = spread;
    fill.table = table;
    const QTransform inverse =
        QTransform::fromScale(32.768, 1) * QTransform::fromTranslate(-16384, 0);
    // Thirteen pixels on, so that both the four-wide and the single paths are used.
    std::vector<QRgb> row(13);
    const int x = static_cast<int>(std::floor(ratio * 1000 - 0.5));
    fillGradientRow(row.data(), x, 0, 13, fill, inverse);
    QVERIFY2(std::abs(int(row[0]) - entry) <= 1, qPrintable(QString::number(row[0])));
    QVERIFY2(std::abs(int(row[12]) - entry) <= 5, qPrintable(QString::number(row[12])));
}

void RenderPartsTest::scaleLevelsStepByHalfOctaves()
{
    QCOMPARE(scaleLevel(1.0), 0);
    QCOMPARE(scaleLevel(2.0), 2);
    QCOMPARE(scaleLevel(1.3), 1);
    QCOMPARE(scaleLevel(0.05), -8);
    QCOMPARE(scaleLevel(0), 0); // degenerate scales do not reach the flattener
    QCOMPARE(scaleLevel(1e300), 64);
    // The tolerance at a level is never coarser than a fifth of a pixel at its scale.
    for (const double scale : {0.05, 0.3, 1.0, 1.7, 12.0})
        QVERIFY(toleranceAtLevel(scaleLevel(scale)) * scale <= 0.2 + 1e-9);
}

QTEST_GUILESS_MAIN(RenderPartsTest)
#include "tst_RenderParts.moc"
