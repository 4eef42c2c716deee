// The player control with the engine behind it: movies load on a worker thread, play at
// their frame rate, and answer the control's commands, the pointer and the keys.
#include "ActionWriter.h"
#include "ButtonWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "TestMovieFiles.h"
#include "player/ShockwaveFlash.h"
#include "windowing/Form.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace player;
using namespace swfwriter;

namespace {

class HostForm : public windowing::Form {
public:
    HostForm() : Form(QStringLiteral("frmHost")), flash(*this, QStringLiteral("ShockwaveFlash"))
    {
        Move(0, 0, 3000, 1500);
        flash.Move(0, 0, 3000, 1500); // 200 x 100 pixels
    }
    ShockwaveFlash flash;
};

std::vector<std::uint8_t> fullSquare(std::uint16_t id, Color color)
{
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::solid(color))).rect(0, 0, 4000, 2000);
    return shape.body(id);
}

Place placed(std::uint16_t depth, std::uint16_t id)
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    return place;
}

// A 200 x 100 movie covered by one colour per frame.
MovieWriter colourFrames(std::vector<Color> colours, double rate = 30)
{
    MovieWriter movie(8, 200, 100, rate);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto id = static_cast<std::uint16_t>(i + 1);
        movie.add(32, fullSquare(id, colours[i]));
        if (i > 0)
            movie.remove2(1);
        movie.place2(placed(1, id));
        movie.showFrame();
    }
    return movie;
}

QColor centre(const ShockwaveFlash& flash)
{
    const QImage& picture = flash.picture();
    return picture.isNull() ? QColor()
                            : picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

} // namespace

class PlayerEngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_form = windowing::Form::create<HostForm>();
        m_form->Show();
    }
    void cleanup() { m_form.reset(); }

    void loadsOnAWorkerAndShowsTheFirstFrame()
    {
        const QString path = write("red.swf", colourFrames({{255, 0, 0}}));
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        QVERIFY(!flash.hasMovie()); // still loading: black until it arrives
        QCOMPARE(m_form->flash.widget()->grab().toImage().pixelColor(100, 50), QColor(Qt::black));
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(centre(flash), QColor(255, 0, 0));
        QVERIFY(flash.failure().isEmpty());
    }

    void aLaterMovieReplacesALoadUnderWay()
    {
        const QString first = write("red.swf", colourFrames({{255, 0, 0}}));
        const QString second = write("blue.swf", colourFrames({{0, 0, 255}}));
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(first);
        flash.setMovie(second);
        QTRY_VERIFY(flash.hasMovie());
        QTest::qWait(100); // the first load's result, if it comes, must change nothing
        QCOMPARE(flash.Movie(), second);
        QCOMPARE(centre(flash), QColor(0, 0, 255));
    }

    void stopDuringALoadKeepsTheMoviePaused()
    {
        const QString path =
            write("three.swf", colourFrames({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}));
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        flash.Stop();
        QTRY_VERIFY(flash.hasMovie());
        QTest::qWait(150);
        QCOMPARE(flash.currentFrame(), 0L);
        QVERIFY(!flash.IsPlaying());
        QCOMPARE(centre(flash), QColor(255, 0, 0));
        flash.Play();
        QTRY_VERIFY(flash.currentFrame() > 0);
    }

    void playsAtTheFrameRateAndStopHoldsTheFrame()
    {
        std::vector<Color> shades;
        for (int i = 0; i < 60; ++i)
            shades.push_back({std::uint8_t(i * 4), 10, 10});
        const QString path = write("shades.swf", colourFrames(shades, 20));
        ShockwaveFlash& flash = m_form->flash;
        // The watch starts before the movie's clock can: the frames counted from the
        // first are at most its time's worth, one frame every 50 ms. A busy machine may
        // fall behind, never ahead.
        QElapsedTimer watch;
        watch.start();
        flash.setMovie(path);
        QTRY_VERIFY_WITH_TIMEOUT(flash.currentFrame() >= 12, 5000);
        const long stepped = flash.currentFrame();
        const qint64 ms = watch.elapsed();
        QVERIFY2(stepped <= ms / 50 + 1,
                 qPrintable(QStringLiteral("%1 frames in %2 ms").arg(stepped).arg(ms)));

        flash.Stop();
        QVERIFY(!flash.IsPlaying());
        const long stopped = flash.currentFrame();
        const QColor shown = centre(flash);
        QTest::qWait(300); // six frames' time
        QCOMPARE(flash.currentFrame(), stopped);
        QCOMPARE(centre(flash), shown);
        flash.Play();
        QTRY_VERIFY(flash.currentFrame() > stopped);
    }

    void settingTheSameMovieAgainStartsItOver()
    {
        const QString path =
            write("long.swf", colourFrames(std::vector<Color>(60, {10, 10, 10}), 20));
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());
        QTRY_VERIFY_WITH_TIMEOUT(flash.currentFrame() >= 3, 2000);
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());
        QVERIFY(flash.currentFrame() <= 1);
    }

    void menuCommands()
    {
        const QString path =
            write("three.swf", colourFrames({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}));
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        flash.Stop();
        QTRY_VERIFY(flash.hasMovie());
        flash.Forward();
        QCOMPARE(flash.currentFrame(), 1L);
        QCOMPARE(centre(flash), QColor(0, 255, 0));
        flash.Forward();
        flash.Back();
        QCOMPARE(flash.currentFrame(), 1L);
        flash.Rewind();
        QCOMPARE(flash.currentFrame(), 0L);
        QVERIFY(!flash.IsPlaying());
        QCOMPARE(centre(flash), QColor(255, 0, 0));

        flash.zoomIn();
        QCOMPARE(flash.zoom(), 2.0);
        flash.zoomOut();
        flash.zoomOut(); // never below the whole stage
        QCOMPARE(flash.zoom(), 1.0);
        flash.zoomIn();
        flash.showAll();
        QCOMPARE(flash.zoom(), 1.0);

        flash.setQuality(render::Quality::Low);
        QCOMPARE(flash.quality(), render::Quality::Low);
        QCOMPARE(centre(flash), QColor(255, 0, 0));
    }

    void withoutLoopTheMovieStopsAtItsEnd()
    {
        const QString path =
            write("three.swf", colourFrames({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, 60));
        ShockwaveFlash& flash = m_form->flash;
        flash.setLoop(false);
        flash.setMovie(path);
        QTRY_COMPARE(flash.currentFrame(), 2L);
        QTest::qWait(150);
        QCOMPARE(flash.currentFrame(), 2L);
        QCOMPARE(centre(flash), QColor(0, 0, 255));
    }

    void backgroundColourReplacesTheMovies()
    {
        MovieWriter movie(8, 400, 100, 12); // wider than the view: show-all leaves bands
        movie.setBackground({0, 128, 0});
        movie.showFrame();
        const QString path = write("green.swf", movie);
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(centre(flash), QColor(0, 128, 0));
        flash.setBackgroundColor(0);
        QCOMPARE(centre(flash), QColor(Qt::black));
        flash.setScaleMode(2);
        QCOMPARE(flash.picture().pixelColor(1, 1), QColor(Qt::black));
    }

    void theButtonUnderThePointerLightsUp()
    {
        MovieWriter movie(8, 200, 100, 12);
        movie.add(32, fullSquare(1, {255, 0, 0}));
        movie.add(32, fullSquare(2, {0, 0, 255}));
        ButtonRecord up;
        up.states = 0x01 | 0x08; // up and hit area
        up.characterId = 1;
        ButtonRecord over;
        over.states = 0x02 | 0x04;
        over.characterId = 2;
        over.depth = 2;
        movie.add(34, defineButton2Body(3, false, {up, over}, {}));
        movie.place2(placed(1, 3));
        movie.showFrame();
        const QString path = write("button.swf", movie);
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(centre(flash), QColor(255, 0, 0));
        QTest::mouseMove(flash.widget(), QPoint(100, 50));
        QCOMPARE(centre(flash), QColor(0, 0, 255));
    }

    void keysReachTheMovie()
    {
        // A hidden button whose key press 'a' shows the second frame.
        MovieWriter movie(8, 200, 100, 12);
        movie.add(32, fullSquare(1, {255, 0, 0}));
        movie.add(32, fullSquare(2, {0, 0, 255}));
        ButtonRecord hit;
        hit.states = 0x08;
        hit.characterId = 1;
        ActionWriter toSecond;
        toSecond.gotoFrame(1).end();
        movie.add(34,
                  defineButton2Body(3, false, {hit}, {ButtonCondAction{0, 'a', toSecond.bytes()}}));
        ActionWriter stop;
        stop.op(Op::Stop).end();
        movie.place2(placed(1, 1));
        movie.place2(placed(2, 3));
        movie.doAction(stop.bytes());
        movie.showFrame();
        movie.remove2(1);
        movie.place2(placed(1, 2));
        movie.doAction(stop.bytes());
        movie.showFrame();
        const QString path = write("keys.swf", movie);
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(centre(flash), QColor(255, 0, 0));
        QTest::keyClick(flash.widget(), Qt::Key_B);
        QCOMPARE(flash.currentFrame(), 0L);
        QTest::keyClick(flash.widget(), Qt::Key_A);
        QCOMPARE(flash.currentFrame(), 1L);
        QCOMPARE(centre(flash), QColor(0, 0, 255));
    }

private:
    QString write(const char* name, const MovieWriter& movie)
    {
        return writeTestMovie(m_folder, name, movie);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<HostForm> m_form;
};

QTEST_MAIN(PlayerEngineTest)
#include "PlayerEngineTest.moc"
