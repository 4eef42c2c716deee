// What scripts set on clips and bitmaps that changes how they are laid down, drawn: a
// displacement map moves a clip's pixels by its map's channels, in each of its modes;
// blend modes by name and number, on clips and in BitmapData.draw; a bitmap's pixel
// snapping.
#include "ScriptScenes.h"

#include <QtTest>

using namespace swfwriter;
using namespace scriptscenes;
using scenes::at;

namespace {

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 255, 0), kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0), kYellow(255, 255, 0);

// A clip "c" of two bands, red on x 0..40 and blue on 40..80 (y 0..40), and a map of
// the clip's size whose red channel is `red` everywhere (128 displaces nothing).
Script bands(int red)
{
    Script s;
    s.clip("c", 1);
    s.run("c", "beginFill", {0xFF0000}).rect("c", 0, 0, 40, 40);
    s.run("c", "beginFill", {0x0000FF}).rect("c", 40, 0, 80, 40);
    s.make("map", "display", "BitmapData", {80, 40, false, red << 16});
    s.make("origin", "geom", "Point", {0, 0});
    return s;
}

// c.filters = [new DisplacementMapFilter(map, origin, 1 (red), 1, scaleX, 0, mode, 0x00FF00, 1)]
Script& displace(Script& s, int scaleX, const char* mode)
{
    s.make("f", "filters", "DisplacementMapFilter",
           {Var{"map"}, Var{"origin"}, 1, 1, scaleX, 0, mode, 0x00FF00, 1});
    s.a.push({"c"}).op(Op::GetVariable).push({"filters"});
    s.a.push({"f"}).op(Op::GetVariable).push({1}).op(Op::InitArray).op(Op::SetMember);
    return s;
}

} // namespace

class RenderScriptEffectsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aDisplacementMapMovesPixelsByItsChannel()
    {
        // Red 255: (255 - 128) * 40 / 256, about 20 px to the right is where each pixel
        // takes its colour from.
        Script s = bands(255);
        displace(s, 40, "clamp");
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 10, 20), kRed);
        QCOMPARE(at(frame, 25, 20), kBlue); // from x 44
        QCOMPARE(at(frame, 70, 20), kBlue); // past the right edge: clamped to it
        QCOMPARE(at(frame, 90, 20), kWhite);
    }

    void modesDecideWhatLiesPastTheEdge_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QColor>("pastTheEdge");
        QTest::newRow("clamp") << "clamp" << kBlue;
        QTest::newRow("wrap") << "wrap" << kRed;
        QTest::newRow("ignore") << "ignore" << kBlue;
        QTest::newRow("color") << "color" << kGreen;
    }
    void modesDecideWhatLiesPastTheEdge()
    {
        QFETCH(QString, mode);
        QFETCH(QColor, pastTheEdge);
        Script s = bands(255);
        const QByteArray name = mode.toLatin1();
        displace(s, 40, name.constData());
        Playback play({s});
        QCOMPARE(at(play.paint(), 70, 20), pastTheEdge);
    }

    void aNeutralMapChangesNothing()
    {
        Script s = bands(128);
        displace(s, 40, "clamp");
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 35, 20), kRed);
        QCOMPARE(at(frame, 45, 20), kBlue);
    }

    void clipsBlendByNameOrNumber_data()
    {
        QTest::addColumn<int>("byNumber");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QColor>("overlap");
        QTest::newRow("multiply") << 0 << "multiply" << kBlack;
        QTest::newRow("screen") << 0 << "screen" << kYellow;
        QTest::newRow("screen as 4") << 4 << "" << kYellow;
        QTest::newRow("not a mode") << 0 << "shiny" << kRed;
    }
    void clipsBlendByNameOrNumber()
    {
        QFETCH(int, byNumber);
        QFETCH(QString, mode);
        QFETCH(QColor, overlap);
        // A red square half over a green one.
        Script s;
        s.clip("under", 1).run("under", "beginFill", {0x00FF00}).rect("under", 0, 0, 40, 40);
        s.clip("over", 2).run("over", "beginFill", {0xFF0000}).rect("over", 20, 0, 60, 40);
        s.a.push({"over"}).op(Op::GetVariable).push({"blendMode"});
        if (byNumber)
            s.a.push({byNumber});
        else
            s.a.push({mode.toStdString()});
        s.a.op(Op::SetMember);
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 30, 20), overlap);
        QCOMPARE(at(frame, 10, 20), kGreen);
    }

    void drawBlendsOverTheBitmap()
    {
        // A green bitmap, a red one drawn over it multiplied: black where they meet.
        Script s;
        s.make("under", "display", "BitmapData", {20, 20, false, 0x00FF00});
        s.make("red", "display", "BitmapData", {10, 20, false, 0xFF0000});
        s.run("under", "draw", {Var{"red"}, nullptr, nullptr, "multiply"});
        s.clip("c", 1).run("c", "attachBitmap", {Var{"under"}, 1});
        Playback play({s});
        const QImage frame = play.paint();
        QCOMPARE(at(frame, 5, 5), kBlack);
        QCOMPARE(at(frame, 15, 5), kGreen);
    }

    void attachedBitmapsSnapToPixelsAsAsked_data()
    {
        QTest::addColumn<QString>("snapping");
        QTest::addColumn<int>("xScale");
        QTest::addColumn<bool>("snapped");
        QTest::newRow("always") << "always" << 100 << true;
        QTest::newRow("never") << "never" << 100 << false;
        QTest::newRow("auto, at its own size") << "auto" << 100 << true;
        QTest::newRow("auto, scaled") << "auto" << 150 << false;
    }
    void attachedBitmapsSnapToPixelsAsAsked()
    {
        QFETCH(QString, snapping);
        QFETCH(int, xScale);
        QFETCH(bool, snapped);
        // A red bitmap in a clip at x 10.4: snapped, its first column is all of pixel 10.
        Script s;
        s.make("red", "display", "BitmapData", {10, 10, false, 0xFF0000});
        s.clip("c", 1).run("c", "attachBitmap", {Var{"red"}, 1, snapping.toStdString()});
        s.a.push({"c"}).op(Op::GetVariable).push({"_x", 10.4}).op(Op::SetMember);
        s.set("c", "_xscale", xScale);
        Playback play({s});
        QCOMPARE(at(play.paint(), 10, 5) == kRed, snapped);
    }
};

QTEST_MAIN(RenderScriptEffectsTest)
#include "tst_RenderScriptEffects.moc"
