// The pointer over the player control: the hand over what answers a click, the arrow
// elsewhere (whatever the window beneath shows), none while the movie hides it.
#include "ActionWriter.h"
#include "ButtonWriter.h"
#include "EditTextWriter.h"
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
        flash.Move(0, 0, 3000, 1500); // 200 x 100 pixels, the stage one to one
    }
    ShockwaveFlash flash;
};

std::vector<std::uint8_t> square(std::uint16_t id, std::int32_t x, Color color)
{
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::solid(color))).rect(x, 1000, 1000, 1000);
    return shape.body(id);
}

Place placed(std::uint16_t depth, std::uint16_t id, const char* name = nullptr)
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    if (name)
        place.name = name;
    return place;
}

ActionWriter& setMember(ActionWriter& code, const char* object, const char* member, PushValue value)
{
    return code.push({object}).op(Op::GetVariable).push({member, value}).op(Op::SetMember);
}

ActionWriter& giveOnPress(ActionWriter& code, const char* clip)
{
    code.push({clip}).op(Op::GetVariable).push({"onPress"});
    return code.defineFunction("", {}, ActionWriter()).op(Op::SetMember);
}

ActionWriter& callMouse(ActionWriter& code, const char* method)
{
    return code.push({0, "Mouse"})
        .op(Op::GetVariable)
        .push({method})
        .op(Op::CallMethod)
        .op(Op::Pop);
}

// Along the bottom half of a 200 x 100 stage, 50 pixels each: a button, a clip with
// onPress, the same with useHandCursor off, and a selectable text field. The top half
// is empty.
MovieWriter pointerTargets()
{
    MovieWriter movie(8, 200, 100, 30);
    movie.add(32, square(1, 0, {255, 0, 0}));
    ButtonRecord hit;
    hit.states = 0x01 | 0x08;
    hit.characterId = 1;
    movie.add(34, defineButton2Body(2, false, {hit}, {}));
    TagList clip;
    clip.add(32, square(3, 1000, {0, 0, 255}));
    clip.place2(placed(1, 3));
    clip.showFrame();
    movie.defineSprite(4, clip);
    TagList noHand;
    noHand.add(32, square(5, 2000, {0, 255, 0}));
    noHand.place2(placed(1, 5));
    noHand.showFrame();
    movie.defineSprite(6, noHand);
    EditTextFields field;
    field.bounds = {3000, 4000, 1000, 2000};
    field.initialText = "text";
    movie.add(kDefineEditTextCode, editTextBody(7, field));

    movie.place2(placed(1, 2));
    movie.place2(placed(2, 4, "clip"));
    movie.place2(placed(3, 6, "plain"));
    movie.place2(placed(4, 7, "field"));
    ActionWriter script;
    giveOnPress(script, "clip");
    giveOnPress(script, "plain");
    setMember(script, "plain", "useHandCursor", false);
    script.op(Op::Stop);
    movie.doAction(script.end().bytes());
    movie.showFrame();
    return movie;
}

} // namespace

class PointerCursorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_form = windowing::Form::create<HostForm>();
        m_form->Show();
    }
    void cleanup() { m_form.reset(); }

    void theWindowsHandDoesNotShowThroughThePlayer()
    {
        // A list label left the window's own pointer a hand; the player has its own.
        m_form->window()->setCursor(Qt::PointingHandCursor);
        QWidget* view = m_form->flash.widget();
        QVERIFY(view->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
        m_form->flash.setMovie(write("targets.swf", pointerTargets()));
        QTRY_VERIFY(m_form->flash.hasMovie());
        QTest::mouseMove(view, QPoint(100, 20));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    }

    void thePointerFollowsWhatIsUnderIt_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("shape");
        QTest::newRow("empty stage") << QPoint(100, 20) << int(Qt::ArrowCursor);
        QTest::newRow("button") << QPoint(25, 75) << int(Qt::PointingHandCursor);
        QTest::newRow("clip with onPress") << QPoint(75, 75) << int(Qt::PointingHandCursor);
        QTest::newRow("useHandCursor false") << QPoint(125, 75) << int(Qt::ArrowCursor);
        QTest::newRow("selectable text") << QPoint(175, 75) << int(Qt::IBeamCursor);
    }
    void thePointerFollowsWhatIsUnderIt()
    {
        QFETCH(QPoint, at);
        QFETCH(int, shape);
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(write("targets.swf", pointerTargets()));
        QTRY_VERIFY(flash.hasMovie());
        QWidget* view = flash.widget();
        // Coming from elsewhere on the stage, and going back there.
        QTest::mouseMove(view, QPoint(100, 20));
        QTest::mouseMove(view, at);
        QCOMPARE(int(view->cursor().shape()), shape);
        QTest::mouseMove(view, QPoint(100, 20));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    }

    void aPressedButtonKeepsTheHandOnlyWhileThePointerIsOverIt()
    {
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(write("targets.swf", pointerTargets()));
        QTRY_VERIFY(flash.hasMovie());
        QWidget* view = flash.widget();
        QTest::mouseMove(view, QPoint(25, 75));
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(25, 75));
        QCOMPARE(view->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(view, QPoint(100, 20));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(100, 20));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    }

    void mouseHideAndShow()
    {
        // Frame 1 hides the pointer, frame 2 shows it again.
        MovieWriter movie(8, 200, 100, 30);
        ActionWriter hide;
        callMouse(hide, "hide").op(Op::Stop);
        movie.doAction(hide.end().bytes());
        movie.showFrame();
        ActionWriter show;
        callMouse(show, "show").op(Op::Stop);
        movie.doAction(show.end().bytes());
        movie.showFrame();
        ShockwaveFlash& flash = m_form->flash;
        flash.setMovie(write("hide.swf", movie));
        QTRY_VERIFY(flash.hasMovie());
        QWidget* view = flash.widget();
        QTest::mouseMove(view, QPoint(100, 50));
        QCOMPARE(view->cursor().shape(), Qt::BlankCursor);
        flash.Forward();
        QCOMPARE(flash.currentFrame(), 1L);
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
        // A movie that fails to load leaves no hidden pointer behind.
        flash.setMovie(write("hide.swf", movie));
        QTRY_VERIFY(flash.hasMovie());
        QCOMPARE(view->cursor().shape(), Qt::BlankCursor);
        flash.setMovie(m_folder.filePath(QStringLiteral("missing.swf")));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    }

private:
    QString write(const char* name, const MovieWriter& movie)
    {
        return writeTestMovie(m_folder, name, movie);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<HostForm> m_form;
};

QTEST_MAIN(PointerCursorTest)
#include "PointerCursorTest.moc"
