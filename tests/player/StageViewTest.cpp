// The control shows the stage as the movie's settings say: the control's scale mode
// to start with, then whatever the movie's scripts set (Stage.scaleMode, Stage.align);
// a movie that does not scale hears of the control's new size (Stage.onResize).
#include "ActionWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "TestMovieFiles.h"
#include "player/ShockwaveFlash.h"
#include "windowing/Form.h"

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

ActionWriter& setStage(ActionWriter& code, const char* member, const char* value)
{
    return code.push({"Stage"}).op(Op::GetVariable).push({member, value}).op(Op::SetMember);
}

// A 100 x 50 stage covered in red, whose first frame runs `script` and stops; frame 2
// is blue, for scripts to go to.
MovieWriter redStage(ActionWriter script)
{
    MovieWriter movie(8, 100, 50, 30);
    movie.setBackground({255, 255, 255});
    ShapeWriter red(3);
    red.fill1(red.addFill(FillStyle::solid({255, 0, 0}))).rect(0, 0, 2000, 1000);
    movie.add(32, red.body(1));
    ShapeWriter blue(3);
    blue.fill1(blue.addFill(FillStyle::solid({0, 0, 255}))).rect(0, 0, 2000, 1000);
    movie.add(32, blue.body(2));
    Place place;
    place.depth = 1;
    place.characterId = 1;
    movie.place2(place);
    script.op(Op::Stop);
    movie.doAction(script.end().bytes());
    movie.showFrame();
    movie.remove2(1);
    place.characterId = 2;
    movie.place2(place);
    movie.showFrame();
    return movie;
}

QColor pixel(const ShockwaveFlash& flash, int x, int y)
{
    return flash.picture().pixelColor(x, y);
}

} // namespace

class StageViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_form = windowing::Form::create<HostForm>();
        m_form->Show();
        m_form->flash.setBackgroundColor(0);
    }
    void cleanup() { m_form.reset(); }

    void theControlsScaleModeStartsTheMovies()
    {
        ShockwaveFlash& flash = m_form->flash;
        flash.setScaleMode(2); // exact fit: the stage covers the control
        flash.setMovie(write("plain.swf", redStage({})));
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(pixel(flash, 2, 2), QColor(255, 0, 0));
        QCOMPARE(pixel(flash, 197, 97), QColor(255, 0, 0));
        flash.setScaleMode(3); // no scale: 100 x 50 in the middle
        QCOMPARE(pixel(flash, 2, 2), QColor(Qt::black));
        QCOMPARE(pixel(flash, 100, 50), QColor(255, 0, 0));
        QCOMPARE(pixel(flash, 45, 20), QColor(Qt::black));
        QCOMPARE(pixel(flash, 55, 30), QColor(255, 0, 0));
    }

    void scriptsChangeHowTheStageIsShown()
    {
        ActionWriter script;
        setStage(script, "scaleMode", "noScale");
        setStage(script, "align", "TL");
        ShockwaveFlash& flash = m_form->flash;
        flash.setScaleMode(2);
        flash.setMovie(write("corner.swf", redStage(script)));
        QTRY_VERIFY(flash.hasMovie());
        // Unscaled, in the top left corner.
        QCOMPARE(pixel(flash, 2, 2), QColor(255, 0, 0));
        QCOMPARE(pixel(flash, 97, 47), QColor(255, 0, 0));
        QCOMPARE(pixel(flash, 103, 20), QColor(Qt::black));
        QCOMPARE(pixel(flash, 20, 53), QColor(Qt::black));
    }

    void anUnscaledMovieHearsTheControlResize()
    {
        // onResize goes to frame 2.
        ActionWriter resized;
        resized.gotoFrame(1);
        ActionWriter script;
        setStage(script, "scaleMode", "noScale");
        script.push({"watcher", 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
        script.push({"watcher"}).op(Op::GetVariable).push({"onResize"});
        script.defineFunction("", {}, resized).op(Op::SetMember);
        script.push({"watcher"})
            .op(Op::GetVariable)
            .push({1, "Stage"})
            .op(Op::GetVariable)
            .push({"addListener"})
            .op(Op::CallMethod)
            .op(Op::Pop);
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(write("resize.swf", redStage(script)));
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(flash.currentFrame(), 0L);
        flash.Move(0, 0, 2400, 1200);
        QCOMPARE(flash.currentFrame(), 1L);
        QCOMPARE(pixel(flash, 80, 40), QColor(0, 0, 255));
    }

private:
    QString write(const char* name, const MovieWriter& movie)
    {
        return writeTestMovie(m_folder, name, movie);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<HostForm> m_form;
};

QTEST_MAIN(StageViewTest)
#include "StageViewTest.moc"
