// Scripts' bitmaps as drawing fills (beginBitmapFill), from the movie's script to the
// painted frame: each case is a movie made by the project's writer, played with the
// interpreter, its draw lists painted by one renderer frame after frame.
#include "ScriptScenes.h"

#include <QtTest>

using namespace swfwriter;
using namespace scriptscenes;
using scenes::at;

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

} // namespace

class RenderBitmapFillsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultsRepeatPixelForPixel()
    {
        Script s;
        s.quad().clip("c", 1).run("c", "beginBitmapFill", {Var{"bmp"}}).rect("c", 0, 0, 8, 8);
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 0, 0), kRed);
        QCOMPARE(at(frame, 1, 0), kGreen);
        QCOMPARE(at(frame, 0, 1), kBlue);
        QCOMPARE(at(frame, 1, 1), kYellow);
        // Repeated across the shape, and nothing past it.
        QCOMPARE(at(frame, 4, 2), kRed);
        QCOMPARE(at(frame, 7, 7), kYellow);
        QCOMPARE(at(frame, 6, 5), kBlue);
        QCOMPARE(at(frame, 9, 9), kWhite);
    }

    void matrixScalesAndMoves_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::newRow("repeating") << true;
        QTest::newRow("clamped") << false;
    }
    void matrixScalesAndMoves()
    {
        QFETCH(bool, repeat);
        // Each pixel 10 x 10, the bitmap's corner at (20, 30); the shape reaches far past.
        Script s;
        s.quad().clip("c", 1).make("m", "geom", "Matrix", {10, 0, 0, 10, 20, 30});
        s.run("c", "beginBitmapFill", {Var{"bmp"}, Var{"m"}, repeat}).rect("c", 0, 0, 80, 80);
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 25, 35), kRed);
        QCOMPARE(at(frame, 35, 35), kGreen);
        QCOMPARE(at(frame, 25, 45), kBlue);
        QCOMPARE(at(frame, 38, 48), kYellow);
        // Beside the bitmap: the next copy, or the edge pixels stretched out.
        QCOMPARE(at(frame, 15, 35), repeat ? kGreen : kRed);
        QCOMPARE(at(frame, 45, 35), repeat ? kRed : kGreen);
        QCOMPARE(at(frame, 35, 55), repeat ? kGreen : kYellow);
        QCOMPARE(at(frame, 75, 75), repeat ? kGreen : kYellow);
        QCOMPARE(at(frame, 2, 2), repeat ? kBlue : kRed);
        QCOMPARE(at(frame, 90, 90), kWhite);
    }

    void smoothingBlendsNeighbours()
    {
        Script s;
        s.quad().make("m", "geom", "Matrix", {10, 0, 0, 10, 0, 0});
        s.clip("hard", 1).run("hard", "beginBitmapFill", {Var{"bmp"}, Var{"m"}, true, false});
        s.rect("hard", 0, 0, 20, 20);
        s.clip("soft", 2).run("soft", "beginBitmapFill", {Var{"bmp"}, Var{"m"}, true, true});
        s.rect("soft", 0, 0, 20, 20);
        s.set("soft", "_y", 50);
        Playback play({s});
        const QImage frame = play.paint();
        // Across the border of red and green (x = 10) the smoothed fill mixes them.
        QCOMPARE(at(frame, 10, 5), kGreen);
        const QColor mixed = at(frame, 10, 55);
        QVERIFY2(mixed.red() > 40 && mixed.green() > 40, qPrintable(mixed.name()));
        QVERIFY(scenes::near(at(frame, 5, 55), kRed, 30));
    }

    void laterChangesToTheBitmapShow()
    {
        // Frame 1 fills two clips with the bitmap, repeating and clamped; frame 2 only
        // changes the pixels. The fills show the new pixels, their cached forms made again.
        Script first;
        first.quad().make("m", "geom", "Matrix", {10, 0, 0, 10, 0, 0});
        first.clip("rep", 1).run("rep", "beginBitmapFill", {Var{"bmp"}, Var{"m"}, true});
        first.rect("rep", 0, 0, 40, 40);
        first.clip("clamp", 2).run("clamp", "beginBitmapFill", {Var{"bmp"}, Var{"m"}, false});
        first.rect("clamp", 0, 0, 40, 40);
        first.set("clamp", "_x", 50);
        Script second;
        second.run("bmp", "setPixel", {0, 0, 0xFF00FF});
        second.run("bmp", "setPixel", {1, 0, 0x000000});
        Playback play({first, second});
        QImage frame = play.paint();
        QCOMPARE(at(frame, 5, 5), kRed);
        QCOMPARE(at(frame, 25, 5), kRed);
        QCOMPARE(at(frame, 55, 5), kRed);
        QCOMPARE(at(frame, 85, 5), kGreen);
        play.next();
        frame = play.paint();
        QCOMPARE(at(frame, 5, 5), QColor(255, 0, 255));
        QCOMPARE(at(frame, 25, 5), QColor(255, 0, 255));
        QCOMPARE(at(frame, 15, 5), QColor(0, 0, 0));
        QCOMPARE(at(frame, 55, 5), QColor(255, 0, 255));
        QCOMPARE(at(frame, 85, 5), QColor(0, 0, 0));
        QCOMPARE(at(frame, 55, 35), kBlue);
    }

    void disposedOrMissingBitmapsFillNothing()
    {
        Script first;
        first.quad().clip("c", 1).run("c", "beginBitmapFill", {Var{"bmp"}}).rect("c", 0, 0, 20, 20);
        // No bitmap: the red fill begun before ends, and the square after is not filled.
        first.clip("d", 2).run("d", "beginFill", {0xFF0000});
        first.run("d", "beginBitmapFill", {5}).rect("d", 50, 0, 70, 20);
        Script second;
        second.run("bmp", "dispose");
        Playback play({first, second});
        QImage frame = play.paint();
        QCOMPARE(at(frame, 10, 10), kRed);
        QCOMPARE(at(frame, 60, 10), kWhite);
        play.next();
        frame = play.paint();
        QCOMPARE(at(frame, 10, 10), kWhite);
        QCOMPARE(at(frame, 11, 11), kWhite);
    }

    void duplicatesShareTheLiveBitmap()
    {
        Script first;
        first.quad().clip("c", 1).run("c", "beginBitmapFill", {Var{"bmp"}}).rect("c", 0, 0, 20, 20);
        first.run("c", "duplicateMovieClip", {"copy", 2});
        first.set("copy", "_x", 50);
        Script second;
        second.run("bmp", "setPixel", {0, 0, 0x000000});
        Playback play({first, second});
        QCOMPARE(at(play.paint(), 50, 0), kRed);
        play.next();
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 0, 0), QColor(0, 0, 0));
        QCOMPARE(at(frame, 50, 0), QColor(0, 0, 0));
        QCOMPARE(at(frame, 51, 0), kGreen);
    }
};

QTEST_MAIN(RenderBitmapFillsTest)
#include "tst_RenderBitmapFills.moc"
