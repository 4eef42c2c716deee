// Filters scripts give to clips, drawn: a displacement map moves the clip's pixels by
// its map's channels, in each of its modes, and scales with the view.
#include "ScriptScenes.h"

#include <QtTest>

using namespace swfwriter;
using namespace scriptscenes;
using scenes::at;

namespace {

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 255, 0), kWhite(255, 255, 255);

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

class RenderScriptFiltersTest : public QObject {
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
};

QTEST_MAIN(RenderScriptFiltersTest)
#include "tst_RenderScriptFilters.moc"
