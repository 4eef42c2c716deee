// Scripts' bitmaps in the runtime: the premultiplied store and its rounding, the copies
// cut at every edge, the fills and searches, the seeded pictures, and the snapshots a
// draw list keeps while scripts go on changing the pixels.
#include "runtime/BitmapData.h"

#include "TestMovie.h"
#include "runtime/BitmapNoise.h"
#include "runtime/BitmapObject.h"
#include "runtime/BitmapOperations.h"
#include "runtime/BitmapRegions.h"
#include "runtime/MoviePlayer.h"
#include "runtime/SpriteObject.h"

#include <QtTest>
#include <set>

using runtime::BitmapData;
using runtime::PixelRect;
namespace bitmap = runtime::bitmap;
namespace pixel = runtime::pixel;

namespace {

// Every pixel's colour, row by row, as scripts read them.
std::vector<std::uint32_t> colors(const BitmapData& b)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            out.push_back(b.argbAt(x, y));
    return out;
}

int countColor(const BitmapData& b, std::uint32_t argb)
{
    int n = 0;
    for (std::uint32_t c : colors(b))
        n += c == argb;
    return n;
}

} // namespace

class BitmapDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void premultipliedStoreRoundsAsScriptsSeeIt()
    {
        // Opaque and clear colours pass unchanged.
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0xFF123456u)), 0xFF123456u);
        QCOMPARE(pixel::premultiply(0x00FFFFFFu), 0u);
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0x80FFFFFFu)), 0x80FFFFFFu);
        // Partly transparent colours lose precision the way the reference's do: rounded
        // in, and out through a whole-number reciprocal of the alpha in 8.8 fixed point.
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0xAABBCCDDu)), 0xAABBCCDCu);
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0x12345678u)), 0x12395571u);
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0x80BBBBBBu)), 0x80BBBBBBu);
        // 115 at alpha 168 reads 174, where a division rounded to nearest gives 175.
        QCOMPARE(pixel::unpremultiply(0xA8007300u), 0xA800AE00u);
        QCOMPARE(pixel::unpremultiply(pixel::premultiply(0xF7D6D6D6u)), 0xF7D5D5D5u);
        // A stored value never reads back above 255.
        QCOMPARE(pixel::unpremultiply(0x01010101u), 0x01FFFFFFu);
        QCOMPARE(pixel::unpremultiply(0x01FF00FFu), 0x01FF00FFu);
    }

    void opaqueBitmapsDropAlpha()
    {
        BitmapData b(2, 1, false, 0x80FF0000u);
        QCOMPARE(b.argbAt(0, 0), 0xFFFF0000u);
        b.setArgb(1, 0, 0x00123456u);
        QCOMPARE(b.argbAt(1, 0), 0xFF123456u);
        // Outside the bitmap nothing is read or written.
        b.setArgb(2, 0, 0xFF000000u);
        b.setArgb(-1, 0, 0xFF000000u);
        QCOMPARE(b.argbAt(5, 5), 0u);
        QCOMPARE(countColor(b, 0xFF000000u), 0);
    }

    void fillRectIsCutToTheBitmap()
    {
        BitmapData b(4, 4, true, 0);
        bitmap::fillRect(b, {-2, -2, 4, 4}, 0xFF00FF00u);
        QCOMPARE(countColor(b, 0xFF00FF00u), 4);
        QCOMPARE(b.argbAt(1, 1), 0xFF00FF00u);
        QCOMPARE(b.argbAt(2, 2), 0u);
        // Huge and negative sizes neither overflow nor draw.
        bitmap::fillRect(b, {3, 3, 0x7FFFFFFF, 0x7FFFFFFF}, 0xFFFF0000u);
        QCOMPARE(b.argbAt(3, 3), 0xFFFF0000u);
        QCOMPARE(countColor(b, 0xFFFF0000u), 1);
        bitmap::fillRect(b, {0, 0, -5, 3}, 0xFF0000FFu);
        QCOMPARE(countColor(b, 0xFF0000FFu), 0);
    }

    void copyPixelsClipsAtEveryEdge()
    {
        BitmapData source(3, 3, true, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                source.setArgb(x, y, 0xFF000000u | std::uint32_t(y * 3 + x + 1));
        // Landing above and left of the target: the source's first row and column are cut.
        BitmapData target(3, 3, true, 0);
        bitmap::copyPixels(target, source, source.rect(), -1, -1, {}, false);
        QCOMPARE(target.argbAt(0, 0), 0xFF000005u);
        QCOMPARE(target.argbAt(1, 1), 0xFF000009u);
        QCOMPARE(target.argbAt(2, 2), 0u);
        // A source rectangle reaching outside the source: only what exists is copied, at
        // the place it has in the rectangle.
        BitmapData second(3, 3, true, 0);
        bitmap::copyPixels(second, source, {-1, 1, 3, 5}, 0, 0, {}, false);
        QCOMPARE(second.argbAt(0, 0), 0u);
        QCOMPARE(second.argbAt(1, 0), 0xFF000004u);
        QCOMPARE(second.argbAt(2, 1), 0xFF000008u);
        QCOMPARE(second.argbAt(1, 2), 0u);
        // Past the right and bottom edges.
        BitmapData third(3, 3, true, 0);
        bitmap::copyPixels(third, source, source.rect(), 2, 2, {}, false);
        QCOMPARE(third.argbAt(2, 2), 0xFF000001u);
        QCOMPARE(countColor(third, 0), 8);
        // Points far out do nothing, without overflow.
        bitmap::copyPixels(third, source, source.rect(), 0x7FFFFFFF, -0x7FFFFFFF, {}, false);
        QCOMPARE(countColor(third, 0), 8);
    }

    void copyPixelsWithinOneBitmapReadsTheOldPixels()
    {
        BitmapData b(4, 1, true, 0);
        for (int x = 0; x < 4; ++x)
            b.setArgb(x, 0, 0xFF000000u | std::uint32_t(x + 1));
        bitmap::copyPixels(b, b, {0, 0, 3, 1}, 1, 0, {}, false);
        QCOMPARE(colors(b),
                 (std::vector<std::uint32_t>{0xFF000001u, 0xFF000001u, 0xFF000002u, 0xFF000003u}));
        bitmap::scroll(b, -2, 0);
        QCOMPARE(colors(b),
                 (std::vector<std::uint32_t>{0xFF000002u, 0xFF000003u, 0xFF000002u, 0xFF000003u}));
    }

    void copyPixelsBlendsAndTakesAnAlphaSource()
    {
        // Merging rounds what shows through down, as the reference does.
        BitmapData target(1, 1, false, 0xFF000000u);
        const BitmapData half(1, 1, true, 0xF00E0E0Eu);
        bitmap::copyPixels(target, half, half.rect(), 0, 0, {}, false);
        QCOMPARE(target.argbAt(0, 0), 0xFF0D0D0Du);
        bitmap::copyPixels(target, half, half.rect(), 0, 0, {}, true);
        QCOMPARE(target.argbAt(0, 0), 0xFF0D0D0Du);
        // The alpha source's clear pixels keep the target's.
        BitmapData over(2, 1, true, 0xFFFF0000u);
        BitmapData mask(2, 1, true, 0);
        mask.setArgb(1, 0, 0xFF000000u);
        const BitmapData blue(2, 1, false, 0xFF0000FFu);
        bitmap::copyPixels(over, blue, blue.rect(), 0, 0, {&mask, 0, 0}, true);
        QCOMPARE(over.argbAt(0, 0), 0xFFFF0000u);
        QCOMPARE(over.argbAt(1, 0), 0xFF0000FFu);
        // Without merging, what the alpha source covers is replaced by the faded source,
        // and what it does not cover is left alone.
        BitmapData replaced(3, 1, true, 0xFFFF0000u);
        BitmapData halfMask(2, 1, true, 0x80000000u);
        bitmap::copyPixels(replaced, blue, blue.rect(), 0, 0, {&halfMask, -1, 0}, false);
        QCOMPARE(replaced.argbAt(0, 0), 0xFFFF0000u);
        QCOMPARE(replaced.argbAt(1, 0), 0x800000FFu);
        QCOMPARE(replaced.argbAt(2, 0), 0xFFFF0000u);
        // The fade multiplies the premultiplied channels by the mask's alpha in 8.8
        // fixed point, truncated: alpha 0x12 takes 0xFF345678 to 0x11 (not 0x12).
        BitmapData faded(1, 1, true, 0xAABBCCDDu);
        BitmapData mergedOver(1, 1, true, 0xAABBCCDDu);
        const BitmapData source(1, 1, false, 0xFF345678u);
        const BitmapData faint(1, 1, true, 0x12345678u);
        bitmap::copyPixels(faded, source, source.rect(), 0, 0, {&faint, 0, 0}, false);
        QCOMPARE(faded.argbAt(0, 0), 0x112D5A78u);
        bitmap::copyPixels(mergedOver, source, source.rect(), 0, 0, {&faint, 0, 0}, true);
        QCOMPARE(mergedOver.argbAt(0, 0), 0xAFADC0D3u);
        // An alpha source with no alpha is no mask at all.
        BitmapData plain(2, 1, true, 0xFFFF0000u);
        const BitmapData opaqueMask(1, 1, false, 0);
        bitmap::copyPixels(plain, blue, blue.rect(), 0, 0, {&opaqueMask, 0, 0}, false);
        QCOMPARE(plain.argbAt(1, 0), 0xFF0000FFu);
        // An opaque target shows the source over what it had, merging or not.
        BitmapData red(1, 1, false, 0xFFFF0000u);
        const BitmapData clearBlue(1, 1, true, 0x800000FFu);
        bitmap::copyPixels(red, clearBlue, clearBlue.rect(), 0, 0, {}, false);
        QCOMPARE(red.argbAt(0, 0), 0xFF7F0080u);
    }

    void copyChannelMovesOneChannel()
    {
        BitmapData target(1, 1, true, 0xFF000000u);
        const BitmapData source(1, 1, true, 0xFF123456u);
        bitmap::copyChannel(target, source, source.rect(), 0, 0, bitmap::Red, bitmap::Blue);
        QCOMPARE(target.argbAt(0, 0), 0xFF000012u);
        // Masks naming several channels do nothing.
        bitmap::copyChannel(target, source, source.rect(), 0, 0, bitmap::Red | bitmap::Green,
                            bitmap::Red);
        QCOMPARE(target.argbAt(0, 0), 0xFF000012u);
    }

    void floodFillStaysInsideItsRegionAndEnds()
    {
        // A diagonal wall: sides only, so the fill cannot slip through the corners.
        BitmapData b(5, 5, true, 0xFFFFFFFFu);
        for (int i = 0; i < 5; ++i)
            b.setArgb(i, 4 - i, 0xFF000000u);
        bitmap::floodFill(b, 0, 0, 0xFFFF0000u);
        QCOMPARE(countColor(b, 0xFFFF0000u), 10);
        QCOMPARE(b.argbAt(4, 4), 0xFFFFFFFFu);
        // The largest bitmap of one colour fills whole without deep recursion.
        BitmapData big(2880, 2880, false, 0xFF000000u);
        bitmap::floodFill(big, 1000, 1000, 0xFF00FF00u);
        QCOMPARE(big.argbAt(0, 0), 0xFF00FF00u);
        QCOMPARE(big.argbAt(2879, 2879), 0xFF00FF00u);
        // Outside, or the same colour: nothing changes.
        const std::uint64_t version = big.version();
        bitmap::floodFill(big, -1, 0, 0xFF0000FFu);
        bitmap::floodFill(big, 5, 5, 0xFF00FF00u);
        QCOMPARE(big.version(), version);
    }

    void thresholdComparesMaskedColours()
    {
        const BitmapData source(4, 1, false, 0);
        BitmapData values(4, 1, false, 0);
        for (int x = 0; x < 4; ++x)
            values.setArgb(x, 0, 0xFF000000u | std::uint32_t(x * 0x10));
        struct Case {
            bitmap::Comparison op;
            std::uint32_t passing;
        } cases[] = {{bitmap::Comparison::Less, 2},    {bitmap::Comparison::LessOrEqual, 3},
                     {bitmap::Comparison::Greater, 1}, {bitmap::Comparison::GreaterOrEqual, 2},
                     {bitmap::Comparison::Equal, 1},   {bitmap::Comparison::NotEqual, 3}};
        for (const Case& c : cases) {
            BitmapData target(4, 1, true, 0);
            bitmap::Threshold test;
            test.operation = c.op;
            test.threshold = 0xFF000020u;
            test.color = 0xFFFF0000u;
            QCOMPARE(bitmap::threshold(target, values, values.rect(), 0, 0, test), c.passing);
            QCOMPARE(countColor(target, 0xFFFF0000u), int(c.passing));
        }
        // The mask applies to both sides; failing pixels take the source's with copySource.
        BitmapData target(4, 1, true, 0x11223344u);
        bitmap::Threshold test;
        test.operation = bitmap::Comparison::Equal;
        test.threshold = 0x00000010u;
        test.mask = 0x000000F0u;
        test.color = 0xFF00FF00u;
        test.copySource = true;
        QCOMPARE(bitmap::threshold(target, values, values.rect(), 0, 0, test), 1u);
        QCOMPARE(target.argbAt(0, 0), 0xFF000000u);
        QCOMPARE(target.argbAt(1, 0), 0xFF00FF00u);
        QCOMPARE(target.argbAt(3, 0), 0xFF000030u);
        Q_UNUSED(source);
    }

    void colorBoundsAndCompare()
    {
        BitmapData b(5, 4, false, 0xFF000000u);
        b.setArgb(1, 2, 0xFFFF0000u);
        b.setArgb(3, 1, 0xFFFF0000u);
        const PixelRect found = bitmap::colorBounds(b, 0xFFFFFFFFu, 0xFFFF0000u, true);
        QCOMPARE(found.x, 1);
        QCOMPARE(found.y, 1);
        QCOMPARE(found.width, 3);
        QCOMPARE(found.height, 2);
        QVERIFY(bitmap::colorBounds(b, 0xFFFFFFFFu, 0xFF00FF00u, true).empty());
        QCOMPARE(bitmap::colorBounds(b, 0xFFFFFFFFu, 0xFF000000u, false).width, 3);
        // An opaque bitmap compares its alpha whatever the mask: a blue-only mask still
        // finds the blue, and a mask of alpha alone finds every pixel.
        BitmapData opaque(3, 3, false, 0xAABBCCDDu);
        QCOMPARE(bitmap::colorBounds(opaque, 0xFFu, 0xDDu, true).width, 3);
        QVERIFY(bitmap::colorBounds(opaque, 0xFFu, 0xDDu, false).empty());
        QCOMPARE(bitmap::colorBounds(opaque, 0xFF000000u, 0xAA000000u, true).width, 3);
        QVERIFY(bitmap::colorBounds(opaque, 0u, 0xFF0000u, true).empty());
        // The top-left pixel found alone is reported as nothing; any other pixel alone,
        // or with it, is found.
        BitmapData white(3, 3, true, 0xFFFFFFFFu);
        white.setArgb(0, 0, 0xFF00FF00u);
        QVERIFY(bitmap::colorBounds(white, 0xFFFFFFFFu, 0xFFFFFFFFu, false).empty());
        white.setArgb(1, 1, 0xFF00FF00u);
        QCOMPARE(bitmap::colorBounds(white, 0xFFFFFFFFu, 0xFFFFFFFFu, false).width, 2);
        white.setArgb(0, 0, 0xFFFFFFFFu);
        const PixelRect centre = bitmap::colorBounds(white, 0xFFFFFFFFu, 0xFFFFFFFFu, false);
        QCOMPARE(centre.x, 1);
        QCOMPARE(centre.width, 1);

        BitmapData first(2, 1, true, 0xFFAACCCCu);
        BitmapData second(2, 1, true, 0xFFAACCCCu);
        QVERIFY(!bitmap::compare(first, second));
        second.setArgb(0, 0, 0xFFDEADFFu);
        second.setArgb(1, 0, 0xFEAACCCCu);
        const auto diff = bitmap::compare(first, second);
        QVERIFY(diff);
        // Colours: the blue difference in every channel; alpha alone: white with it.
        QCOMPARE(diff->argbAt(0, 0), 0xFFCDCDCDu);
        QCOMPARE(diff->argbAt(1, 0), 0x01FFFFFFu);
    }

    void hitTestsReadAlpha()
    {
        BitmapData b(4, 4, true, 0);
        b.setArgb(2, 2, 0x80FFFFFFu);
        QVERIFY(bitmap::anyOpaqueIn(b, {0, 0, 4, 4}, 0x80));
        QVERIFY(!bitmap::anyOpaqueIn(b, {0, 0, 4, 4}, 0x81));
        QVERIFY(!bitmap::anyOpaqueIn(b, {3, 3, 10, 10}, 1));
        BitmapData other(2, 2, true, 0xFF000000u);
        QVERIFY(bitmap::opaqueOverlap(b, 1, other, 1, 1, 1));
        QVERIFY(!bitmap::opaqueOverlap(b, 1, other, -1, -1, 1));
    }

    void noiseFollowsTheMinimalStandardGenerator()
    {
        // seed * 16807 mod 2^31 - 1, each value's low byte a channel.
        bitmap::ParkMiller random(1);
        QCOMPARE(random.next(), 16807u);
        QCOMPARE(random.next(), 282475249u);
        BitmapData b(1, 1, false, 0);
        bitmap::NoiseOptions options;
        options.seed = 1;
        bitmap::noise(b, options);
        QCOMPARE(b.argbAt(0, 0), 0xFFA7F1D9u);
        // Greys take one value a pixel; the range is kept.
        BitmapData grey(8, 8, true, 0);
        options.grayScale = true;
        options.low = 10;
        options.high = 20;
        options.channels = bitmap::Red | bitmap::Alpha;
        bitmap::noise(grey, options);
        std::set<std::uint32_t> alphas;
        for (std::uint32_t c : colors(grey)) {
            const std::uint32_t a = c >> 24;
            QVERIFY(a >= 10 && a <= 20);
            QCOMPARE(c >> 16 & 0xFF, c & 0xFF);
            QCOMPARE(c >> 8 & 0xFF, c & 0xFF);
            alphas.insert(a);
        }
        QVERIFY(alphas.size() > 3);
    }

    void pixelDissolveVisitsEveryPixelOnce()
    {
        BitmapData b(7, 9, false, 0xFF000000u);
        std::int64_t seed = 0;
        // The first call takes its seed's pixel and numPixels more; each next call goes on.
        seed = bitmap::pixelDissolve(b, b, b.rect(), 0, 0, seed, 4, 0xFFFF0000u);
        QCOMPARE(countColor(b, 0xFFFF0000u), 5);
        for (int round = 0; round < 20; ++round) {
            seed = bitmap::pixelDissolve(b, b, b.rect(), 0, 0, seed, 3, 0xFFFF0000u);
            QCOMPARE(countColor(b, 0xFFFF0000u), std::min(63, 5 + 3 * (round + 1)));
        }
        // Huge counts stop at the area.
        BitmapData c(3, 3, false, 0xFF000000u);
        bitmap::pixelDissolve(c, c, c.rect(), 0, 0, 5, 0x7FFFFFFF, 0xFFFFFFFFu);
        QCOMPARE(countColor(c, 0xFFFFFFFFu), 9);
    }

    void perlinNoiseIsSeededAndBounded()
    {
        BitmapData a(16, 16, true, 0), b(16, 16, true, 0), c(16, 16, true, 0);
        bitmap::PerlinOptions options;
        options.baseX = options.baseY = 8;
        options.octaves = 3;
        options.seed = 7;
        options.fractal = true;
        bitmap::perlinNoise(a, options);
        bitmap::perlinNoise(b, options);
        options.seed = 8;
        bitmap::perlinNoise(c, options);
        QCOMPARE(colors(a), colors(b));
        QVERIFY(colors(a) != colors(c));
        const std::vector<std::uint32_t> picture = colors(a);
        const std::set<std::uint32_t> distinct(picture.begin(), picture.end());
        QVERIFY(distinct.size() > 16);
    }

    void snapshotsKeepTheirPixels()
    {
        BitmapData b(2, 2, true, 0xFFFFFFFFu);
        const auto before = b.snapshot();
        const std::uint64_t version = b.version();
        bitmap::fillRect(b, b.rect(), 0xFF000000u);
        QCOMPARE(before->pixels[0], 0xFFFFFFFFu);
        QCOMPARE(b.at(0, 0), 0xFF000000u);
        QVERIFY(b.version() > version);
        b.dispose();
        QVERIFY(b.disposed());
        QCOMPARE(b.width(), 0);
        QCOMPARE(before->width, 2u);
    }

    void stampsNameThePixels()
    {
        // Unlike versions, stamps never repeat across bitmaps: a cache keyed by them
        // outlives the bitmap whose pixels it holds.
        BitmapData a(2, 2, true, 0), b(2, 2, true, 0);
        QVERIFY(a.stamp() != b.stamp());
        const std::uint64_t first = a.stamp();
        QCOMPARE(a.argbAt(0, 0), 0u);
        QCOMPARE(a.stamp(), first);
        a.setArgb(0, 0, 0xFF00FF00u);
        QVERIFY(a.stamp() != first && a.stamp() != b.stamp());
        const std::uint64_t changed = a.stamp();
        a.dispose();
        QVERIFY(a.stamp() != changed);
    }

    void attachedBitmapsDrawAndRedrawWithTheirPixels()
    {
        testmovie::RecordingHost host;
        runtime::MoviePlayer player(testmovie::Builder().main(testmovie::timeline({{}})).build(),
                                    host);
        auto pixels = std::make_shared<BitmapData>(3, 2, true, 0xFF00FF00u);
        runtime::SpriteObject* root = &player.root();
        auto shown = root->attachBitmap(pixels, 5, true);
        QVERIFY(shown);
        QCOMPARE(shown->depth(), 5 + 16384);
        QCOMPARE(shown->width(), 3.0);
        QCOMPARE(shown->height(), 2.0);

        runtime::DrawList list = player.buildDrawList();
        const runtime::DrawCommand* command = nullptr;
        for (const auto& c : list.commands)
            if (c.bitmap)
                command = &c;
        QVERIFY(command);
        QVERIFY(command->smoothing);
        QCOMPARE(command->bitmap->pixels[0], 0xFF00FF00u);
        const std::uint64_t drawn = command->contentVersion;
        const std::uint64_t rootDrawn = root->contentVersion();

        pixels->setArgb(0, 0, 0xFFFF0000u);
        QVERIFY(shown->contentVersion() != drawn);
        QVERIFY(root->contentVersion() != rootDrawn);
        // The list built before keeps the old picture.
        QCOMPARE(command->bitmap->pixels[0], 0xFF00FF00u);
        runtime::DrawList next = player.buildDrawList();
        for (const auto& c : next.commands)
            if (c.bitmap)
                QCOMPARE(c.bitmap->pixels[0], 0xFFFF0000u);
    }
};

QTEST_GUILESS_MAIN(BitmapDataTest)
#include "BitmapDataTest.moc"
