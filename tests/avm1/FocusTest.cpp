// The keyboard focus as scripts meet it: the Tab key's order (automatic, by tabIndex,
// tabChildren), the order in which a move of the focus is announced, the focus from
// scripts and from the pointer, and which keys reach a focused clip.
#include "InputSession.h"
#include "runtime/EditTextObject.h"
#include "runtime/KeyCodes.h"

#include <QtTest>

using namespace inputsession;

namespace {

// watch.onSetFocus traces each move.
Code watchFocus()
{
    Code code;
    code.listener("watch", "Selection")
        .handler("watch", "onSetFocus", Code().traceWith("focus ", "now"), {"old", "now"});
    return code;
}

// Three fields: "b" top left, "a" top right, "c" below.
Code threeFields()
{
    Code code = watchFocus();
    code.inputField("a", 1, 200, 10, 50, 20)
        .inputField("b", 2, 10, 10, 50, 20)
        .inputField("c", 3, 10, 100, 50, 20);
    return code;
}

// A clip acting as a button (its handlers trace), drawn 40 pixels square at x.
void boxClip(Code& code, const std::string& name, int depth, int x)
{
    code.callStatement("_root", "createEmptyMovieClip", {name, depth});
    code.callStatement(name, "beginFill", {0xFF0000});
    code.callStatement(name, "moveTo", {x, 200});
    code.callStatement(name, "lineTo", {x + 40, 200});
    code.callStatement(name, "lineTo", {x + 40, 240});
    code.callStatement(name, "lineTo", {x, 240});
    code.callStatement(name, "endFill");
    for (const char* event : {"onRollOver", "onRollOut", "onSetFocus", "onKillFocus", "onKeyDown"})
        code.handler(name, event, Code().text(name + "." + event));
}

} // namespace

class FocusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabOrderIsAutomaticUntilIndicesAreGiven();
    void tabChildrenHidesWhatAClipHolds();
    void tabAnnouncesRollsBeforeTheFocus();
    void scriptsAnnounceTheirMovesAtOnce();
    void pressesFocusSelectableFieldsOnly();
    void keysReachAFocusedClipUntilThePointerMoves();
    void focusRectangleFollowsFocusrect();
    void tabIndexKeepsThirtyTwoBits();
    void scriptLinksCallFromTheFieldsTimeline();
    void shiftTabGoesBackAndRemovalDropsTheFocus();
};

void FocusTest::tabOrderIsAutomaticUntilIndicesAreGiven()
{
    Code indices;
    indices.set("a", "tabIndex", 1).set("c", "tabIndex", 100).set("b", "tabIndex", -5);
    Code leaveOut;
    leaveOut.set("a", "tabIndex", -1).set("b", "tabEnabled", false);
    Session session(scriptMovie({threeFields(), indices, leaveOut, Code()}));
    for (int i = 0; i < 4; ++i)
        session.tab();
    // From the top down, then from left to right.
    QCOMPARE(session.take(), QString("focus _level0.b\nfocus _level0.a\nfocus _level0.c\n"
                                     "focus _level0.b"));
    session.player->advance();
    for (int i = 0; i < 3; ++i)
        session.tab();
    QCOMPARE(session.take(), QString("focus _level0.a\nfocus _level0.c\nfocus _level0.b"));
    // -1 leaves a field out as no index does; tabEnabled false leaves one out too.
    session.player->advance();
    session.tab();
    session.tab();
    QCOMPARE(session.take(), QString("focus _level0.c"));
}

void FocusTest::tabChildrenHidesWhatAClipHolds()
{
    Code frame = watchFocus();
    frame.callStatement("_root", "createEmptyMovieClip", {"holder", 1})
        .callStatement("holder", "createTextField", {"inner", 1, 10, 10, 50, 20})
        .set("holder.inner", "type", "input")
        .inputField("outer", 2, 10, 100, 50, 20);
    Code hide;
    hide.set("holder", "tabChildren", false);
    Code hideAll;
    hideAll.set("_root", "tabChildren", false);
    Session session(scriptMovie({frame, hide, hideAll, Code()}));
    session.tab();
    session.tab();
    QCOMPARE(session.take(), QString("focus _level0.holder.inner\nfocus _level0.outer"));
    session.player->advance();
    session.tab();
    QCOMPARE(session.take(), QString());
    session.player->input().focus().setFocus(session.player->root(), nullptr);
    session.player->runActions();
    session.take();
    session.player->advance();
    session.tab();
    QCOMPARE(session.take(), QString());
    QVERIFY(!session.player->input().focus().focused());
}

void FocusTest::tabAnnouncesRollsBeforeTheFocus()
{
    Code frame = watchFocus();
    boxClip(frame, "one", 1, 10);
    boxClip(frame, "two", 2, 100);
    Session session(scriptMovie({frame}));
    session.take();
    session.tab();
    QCOMPARE(session.take(), QString("one.onRollOver\none.onSetFocus\nfocus _level0.one"));
    session.player->keyDown(runtime::key::Tab, 9);
    // The focused clip hears the key first; then the clip losing the focus rolls out,
    // the one taking it rolls over, and only then do the focus handlers run.
    QCOMPARE(session.take(), QString("one.onKeyDown\none.onRollOut\ntwo.onRollOver\n"
                                     "one.onKillFocus\ntwo.onSetFocus\nfocus _level0.two"));
}

void FocusTest::scriptsAnnounceTheirMovesAtOnce()
{
    Code frame = threeFields();
    frame.set("a", "text", "abcd")
        .handler("a", "onSetFocus", Code().traceWith("a gets it from ", "old"), {"old"})
        .callStatement("Selection", "setFocus", {"a"})
        .text("after setFocus")
        // The whole text is selected.
        .traceCall("Selection", "getBeginIndex")
        .traceCall("Selection", "getEndIndex")
        .callStatement("Selection", "setSelection", {1, 3})
        .traceCall("Selection", "getCaretIndex")
        .callStatement("a", "replaceSel", {"X"})
        .member("a", "text")
        .traceCall("Selection", "getCaretIndex")
        // A second setFocus moves nothing, but selects all again.
        .callStatement("Selection", "setFocus", {"a"})
        .traceCall("Selection", "getEndIndex")
        .callStatement("Selection", "setFocus", {nullptr})
        .traceCall("Selection", "getBeginIndex");
    Session session(scriptMovie({frame}));
    QCOMPARE(session.take(), QString("a gets it from null\nfocus _level0.a\nafter setFocus\n0\n4\n"
                                     "3\naXd\n2\n3\nfocus null\n-1"));
}

void FocusTest::pressesFocusSelectableFieldsOnly()
{
    Code frame = threeFields();
    frame.set("a", "text", "abc").set("c", "selectable", false);
    Session session(scriptMovie({frame}));
    session.take();
    // Past the end of the text the caret goes to its end.
    session.click(245, 15);
    QCOMPARE(session.take(), QString("focus _level0.a"));
    session.player->textInput("d");
    const auto* a = static_cast<const runtime::EditTextObject*>(session.player->findByPath("a"));
    QCOMPARE(a->plainText(), std::string("abcd"));
    session.click(20, 105);
    session.click(300, 300);
    QCOMPARE(session.take(), QString("focus null"));
    session.click(20, 15);
    QCOMPARE(session.take(), QString("focus _level0.b"));
}

void FocusTest::keysReachAFocusedClipUntilThePointerMoves()
{
    Code frame;
    boxClip(frame, "one", 1, 10);
    frame.callStatement("Selection", "setFocus", {"one"});
    Session session(scriptMovie({frame}));
    // The move is announced at once, the roll over once the frame's code is done.
    QCOMPARE(session.take(), QString("one.onSetFocus\none.onRollOver"));
    session.player->keyDown(65, 'a');
    QCOMPARE(session.take(), QString("one.onKeyDown"));
    session.player->pointerMove(9000, 1000);
    session.player->keyDown(65, 'a');
    // Away from it, the pointer rolls it out; it keeps the focus but not the keys.
    QCOMPARE(session.take(), QString("one.onRollOut"));
    QVERIFY(session.player->input().focus().focused());
}

void FocusTest::focusRectangleFollowsFocusrect()
{
    Code frame;
    boxClip(frame, "one", 1, 10);
    boxClip(frame, "two", 2, 100);
    frame.set("two", "_focusrect", false);
    Session session(scriptMovie({frame}));
    session.tab();
    // Around the clip's drawing, stage twips.
    const auto shown = session.player->buildDrawList().focusRect;
    QVERIFY(shown);
    QCOMPARE(*shown,
             (swf::Rect{swf::Twips{200}, swf::Twips{1000}, swf::Twips{4000}, swf::Twips{4800}}));
    // The clip's own _focusrect over the movie's, as it takes the focus.
    session.tab();
    QCOMPARE(session.player->input().focus().focused().get(), session.player->findByPath("two"));
    QVERIFY(!session.player->buildDrawList().focusRect);
    // Neither shows once the pointer has moved.
    session.tab();
    QVERIFY(session.player->buildDrawList().focusRect);
    session.player->pointerMove(9000, 7000);
    QVERIFY(!session.player->buildDrawList().focusRect);
}

void FocusTest::tabIndexKeepsThirtyTwoBits()
{
    Code frame;
    boxClip(frame, "one", 1, 10);
    frame.inputField("field", 2, 10, 10, 50, 20);
    frame.set("one", "tabIndex", "x").member("one", "tabIndex");
    frame.set("one", "tabIndex", 2147483648.0).member("one", "tabIndex");
    frame.set("one", "tabIndex", 1.9).member("one", "tabIndex");
    frame.set("field", "tabIndex", -4).member("field", "tabIndex");
    Session session(scriptMovie({frame}));
    // Past 32 bits or no number, a clip's is the lowest index; a field's reads unsigned.
    QCOMPARE(session.take(), QString("-2147483648\n-2147483648\n1\n4294967292"));
    // Ordered by the signed index: the field's -4 comes before the clip's 1.
    session.tab();
    QCOMPARE(session.player->input().focus().focused().get(), session.player->findByPath("field"));
}

void FocusTest::scriptLinksCallFromTheFieldsTimeline()
{
    Code frame;
    frame.callStatement("_root", "createEmptyMovieClip", {"holder", 1})
        .callStatement("holder", "createTextField", {"links", 1, 0, 0, 300, 100})
        .set("holder.links", "html", true)
        .set("holder.links", "htmlText", "<a href='asfunction:greet,a, b'>AAAAAAAAAA</a>")
        .handler("holder", "greet", Code().traceWith("greet ", "what"), {"what"})
        .handler("_global", "greet", Code().text("global greet"), {"what"});
    Session session(scriptMovie({frame}));
    session.take();
    session.click(5, 8);
    QCOMPARE(session.take(), QString("greet a, b"));
    // Past the link's text, nothing is called.
    session.click(290, 90);
    QCOMPARE(session.take(), QString());
}

// Shift+Tab walks the same order backwards, round at its start; a focused field that
// leaves the stage has no focus any more, without a word to its listeners, and the
// next Tab starts the order again.
void FocusTest::shiftTabGoesBackAndRemovalDropsTheFocus()
{
    Code remove;
    remove.callStatement("a", "removeTextField").traceCall("Selection", "getFocus");
    Session session(scriptMovie({threeFields(), remove, Code()}));
    session.tab();
    session.player->keyDown(runtime::key::Shift, 0);
    session.tab();
    session.tab();
    session.player->keyUp(runtime::key::Shift, 0);
    QCOMPARE(session.take(), QString("focus _level0.b\nfocus _level0.c\nfocus _level0.a"));
    session.player->advance();
    QCOMPARE(session.take(), QString("null"));
    session.tab();
    QCOMPARE(session.take(), QString("focus _level0.b"));
}

QTEST_APPLESS_MAIN(FocusTest)
#include "FocusTest.moc"
