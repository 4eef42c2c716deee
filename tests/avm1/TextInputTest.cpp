// What scripts see of the user's typing: onChanged and the field's variable, restrict
// and maxChars as scripts set them, and the clipboard commands.
#include "InputSession.h"
#include "runtime/EditTextObject.h"

#include <QtTest>

using namespace inputsession;
using runtime::TextCommand;

namespace {

// An input field "field" showing the variable "typed", focused, whose onChanged traces
// the text and the variable.
Code focusedField()
{
    Code changed;
    changed.a.push({"changed "});
    changed.get("changedField");
    changed.a.push({"text"})
        .op(swfwriter::Op::GetMember)
        .op(swfwriter::Op::Add2)
        .op(swfwriter::Op::Trace);
    changed.traceWith("variable ", "typed");
    Code code;
    code.inputField("field", 1, 10, 10, 200, 20)
        .set("field", "variable", "typed")
        .handler("field", "onChanged", changed, {"changedField"});
    code.callStatement("Selection", "setFocus", {"field"});
    return code;
}

std::string fieldText(Session& session)
{
    return static_cast<const runtime::EditTextObject*>(session.player->findByPath("field"))
        ->plainText();
}

} // namespace

class TextInputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typingRunsOnChanged();
    void restrictAsScriptsSetIt();
    void maxCharsAndClipboard();
    void wheelReachesMouseListeners();
    void userScrollingRunsOnScroller();
};

void TextInputTest::typingRunsOnChanged()
{
    Session session(scriptMovie({focusedField()}));
    session.take();
    session.player->textInput("h");
    session.player->textInput("i");
    QCOMPARE(session.take(), QString("changed h\nvariable h\nchanged hi\nvariable hi"));
    // Keys that change nothing tell nobody.
    session.player->textCommand(TextCommand::Delete);
    session.player->textCommand(TextCommand::Enter);
    session.player->textCommand(TextCommand::MoveLeft);
    QCOMPARE(session.take(), QString());
    session.player->textCommand(TextCommand::Backspace);
    QCOMPARE(session.take(), QString("changed i\nvariable i"));
}

void TextInputTest::restrictAsScriptsSetIt()
{
    Code frame = focusedField();
    frame.set("field", "restrict", "").member("field", "restrict");
    frame.set("field", "restrict", "^0-9").member("field", "restrict");
    Session session(scriptMovie({frame}));
    // An empty list is none.
    QCOMPARE(session.take(), QString("null\n^0-9"));
    session.player->textInput("a1b2");
    session.player->textInput("3");
    QCOMPARE(fieldText(session), std::string("ab"));
    // Pasted text goes through the list too.
    session.player->setClipboardText("x9y");
    session.player->textCommand(TextCommand::Paste);
    QCOMPARE(fieldText(session), std::string("abxy"));
}

void TextInputTest::maxCharsAndClipboard()
{
    Code frame = focusedField();
    frame.set("field", "maxChars", 5).set("field", "text", "abc");
    Session session(scriptMovie({frame}));
    session.take();
    session.player->setClipboardText("12345");
    session.player->textCommand(TextCommand::MoveTextEnd);
    session.player->textCommand(TextCommand::Paste);
    QCOMPARE(fieldText(session), std::string("abc12"));
    session.player->textCommand(TextCommand::SelectAll);
    session.player->textCommand(TextCommand::Cut);
    QCOMPARE(fieldText(session), std::string());
    QCOMPARE(session.player->clipboardText(), std::string("abc12"));
    QCOMPARE(session.take(), QString("changed abc12\nvariable abc12\nchanged \nvariable "));
}

void TextInputTest::wheelReachesMouseListeners()
{
    Code frame;
    frame.listener("wheel", "Mouse")
        .handler("wheel", "onMouseWheel",
                 Code().traceWith("lines ", "lines").traceWith("over ", "over"), {"lines", "over"});
    frame.inputField("field", 1, 10, 10, 200, 20);
    Session session(scriptMovie({frame}));
    session.player->pointerWheel(100 * 20, 15 * 20, -3);
    session.player->pointerWheel(400 * 20, 300 * 20, 1);
    QCOMPARE(session.take(), QString("lines -3\nover undefined\nlines 1\nover undefined"));
}

// The wheel over a field, and typing that makes the text longer than the field, tell
// the field's listeners onScroller; a wheel that moves nothing tells nobody.
void TextInputTest::userScrollingRunsOnScroller()
{
    Code frame = focusedField();
    frame.set("field", "multiline", true)
        .set("field", "text", "1\r2\r3\r4")
        .handler("field", "onScroller", Code().traceWith("scroller ", "scrolled"), {"scrolled"});
    Session session(scriptMovie({frame}));
    session.take();
    session.player->pointerWheel(100 * 20, 15 * 20, -1);
    QCOMPARE(session.take(), QString("scroller _level0.field"));
    session.player->pointerWheel(100 * 20, 15 * 20, -50);
    session.player->pointerWheel(100 * 20, 15 * 20, -1);
    QCOMPARE(session.take(), QString("scroller _level0.field"));
    session.player->textCommand(TextCommand::Enter);
    QVERIFY(session.take().contains("scroller _level0.field"));
}

QTEST_APPLESS_MAIN(TextInputTest)
#include "TextInputTest.moc"
