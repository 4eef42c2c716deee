// The player control's keyboard, text and wheel, as a user gives them: the movie has the
// keyboard once it plays, keys and input methods type into its focused field with the
// system clipboard in step, the pointer is followed with no button held, and the wheel
// reaches the movie's Mouse listeners.
#include "ActionWriter.h"
#include "MovieWriter.h"
#include "player/ShockwaveFlash.h"
#include "runtime/EditTextObject.h"
#include "runtime/MoviePlayer.h"
#include "windowing/Form.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QtTest>

using namespace player;
using namespace swfwriter;

namespace {

class HostForm : public windowing::Form {
public:
    HostForm() : Form(QStringLiteral("frmHost")), flash(*this, QStringLiteral("ShockwaveFlash"))
    {
        Move(0, 0, 6000, 4500);
        flash.Move(0, 0, 6000, 4500); // 400 x 300 pixels, the stage's size
    }
    ShockwaveFlash flash;
};

ActionWriter& call(ActionWriter& code, const std::string& object, const std::string& method,
                   std::vector<PushValue> args)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back(object);
    return code.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod).op(Op::Pop);
}

// A 400 x 300 movie with the input field "field" (10, 10, 200 x 40 pixels), focused; a
// Mouse listener writes each wheel turn into the field.
MovieWriter fieldMovie()
{
    ActionWriter code;
    call(code, "_root", "createTextField", {"field", 1, 10, 10, 200, 40});
    code.push({"field"}).op(Op::GetVariable).push({"type", "input"}).op(Op::SetMember);
    call(code, "Selection", "setFocus", {"field"});
    code.push({"wheel", 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
    ActionWriter turned;
    turned.push({"field"}).op(Op::GetVariable).push({"text", "wheel "});
    turned.push({"lines"}).op(Op::GetVariable).op(Op::Add2).op(Op::SetMember);
    code.push({"wheel"}).op(Op::GetVariable).push({"onMouseWheel"});
    code.defineFunction("", {"lines"}, turned).op(Op::SetMember);
    code.push({"wheel"}).op(Op::GetVariable).push({1, "Mouse"}).op(Op::GetVariable);
    code.push({"addListener"}).op(Op::CallMethod).op(Op::Pop);
    code.op(Op::Stop).end();
    MovieWriter movie(8, 400, 300);
    movie.fileAttributes();
    movie.doAction(code.bytes());
    movie.showFrame();
    return movie;
}

} // namespace

class TextInputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        const QString path = m_dir.filePath(QStringLiteral("field.swf"));
        QVERIFY(fieldMovie().writeFile(path.toStdString()));
        m_form = windowing::Form::create<HostForm>();
        m_form->Show();
        m_form->flash.setMovie(path);
        QTRY_VERIFY(m_form->flash.hasMovie());
    }
    void cleanup() { m_form.reset(); }

    void thePlayingMovieHasTheKeyboard()
    {
        QWidget* view = m_form->flash.widget();
        QTRY_VERIFY(view->hasFocus());
        QVERIFY(m_form->flash.takesText());
        QVERIFY(view->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(view->inputMethodQuery(Qt::ImEnabled).toBool(), true);
    }

    void keysTypeAndEdit()
    {
        QWidget* view = m_form->flash.widget();
        QTest::keyClicks(view, QStringLiteral("helo"));
        QTest::keyClick(view, Qt::Key_Left);
        QTest::keyClicks(view, QStringLiteral("l"));
        QTest::keyClick(view, Qt::Key_End);
        QTest::keyClick(view, Qt::Key_Backspace);
        QCOMPARE(text(), std::string("hell"));
        QCOMPARE(view->inputMethodQuery(Qt::ImCursorPosition).toInt(), 4);
        // Control held types nothing.
        QTest::keyClick(view, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(text(), std::string("hell"));
    }

    void inputMethodsCommitText()
    {
        QWidget* view = m_form->flash.widget();
        QInputMethodEvent composing(QStringLiteral("ni"), {});
        QCoreApplication::sendEvent(view, &composing);
        QCOMPARE(text(), std::string());
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("\u4f60\u597d"));
        QCoreApplication::sendEvent(view, &committed);
        QCOMPARE(QString::fromStdString(text()), QStringLiteral("\u4f60\u597d"));
        QCOMPARE(view->inputMethodQuery(Qt::ImSurroundingText).toString(),
                 QStringLiteral("\u4f60\u597d"));
        // The caret stands inside the field's box, after the text.
        const QRect caret = view->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(QRect(10, 10, 200, 40).contains(caret.topLeft()),
                 qPrintable(QString::number(caret.x())));
    }

    void clipboardFollowsTheSystemOne()
    {
        QWidget* view = m_form->flash.widget();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("pasted"));
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(text(), std::string("pasted"));
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(text(), std::string("past"));
        QCOMPARE(clipboard->text(), QStringLiteral("ed"));
    }

    void losingTheKeyboardTakesTheMoviesFocus()
    {
        QWidget* view = m_form->flash.widget();
        QTRY_VERIFY(view->hasFocus());
        view->clearFocus();
        QVERIFY(!m_form->flash.takesText());
        QVERIFY(!view->testAttribute(Qt::WA_InputMethodEnabled));
        QTest::keyClicks(view, QStringLiteral("x"));
        QCOMPARE(text(), std::string());
    }

    void pointerAndWheelWithNoButtonHeld()
    {
        QWidget* view = m_form->flash.widget();
        QVERIFY(view->hasMouseTracking());
        QTest::mouseMove(view, QPoint(300, 200));
        const runtime::MoviePlayer* movie = m_form->flash.moviePlayer();
        QTRY_COMPARE(movie->input().pointerX(), 300.0 * 20);
        QWheelEvent down(QPointF(50, 20), view->mapToGlobal(QPointF(50, 20)), QPoint(),
                         QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &down);
        QCOMPARE(text(), std::string("wheel -2"));
        // Half steps add up.
        QWheelEvent half(QPointF(50, 20), view->mapToGlobal(QPointF(50, 20)), QPoint(),
                         QPoint(0, 60), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &half);
        QCOMPARE(text(), std::string("wheel -2"));
        QCoreApplication::sendEvent(view, &half);
        QCOMPARE(text(), std::string("wheel 1"));
    }

private:
    std::string text() const
    {
        const runtime::MoviePlayer* movie = m_form->flash.moviePlayer();
        const auto* field =
            movie ? dynamic_cast<const runtime::EditTextObject*>(movie->findByPath("field"))
                  : nullptr;
        return field ? field->plainText() : std::string("(no field)");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<HostForm> m_form;
};

QTEST_MAIN(TextInputTest)
#include "TextInputTest.moc"
