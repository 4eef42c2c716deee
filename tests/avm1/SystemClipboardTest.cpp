// System.setClipboard in a playing movie: the text replaces the player's clipboard, which
// the text fields then paste from.
#include "InputSession.h"

#include <QtTest>

using inputsession::Code;
using inputsession::Session;

class SystemClipboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void setClipboardReplacesThePlayersClipboard()
    {
        Code frame;
        frame.traceCall("System", "setClipboard", {"copied text"});
        Session session(inputsession::scriptMovie({frame}));
        QCOMPARE(session.take(), QString("true"));
        QCOMPARE(session.player->clipboardText(), std::string("copied text"));
    }

    void setClipboardTakesAnyValueAsText()
    {
        Code frame;
        frame.traceCall("System", "setClipboard", {12.5});
        // Without an argument nothing changes.
        frame.traceCall("System", "setClipboard");
        Session session(inputsession::scriptMovie({frame}));
        QCOMPARE(session.take(), QString("true\nfalse"));
        QCOMPARE(session.player->clipboardText(), std::string("12.5"));
    }
};

QTEST_APPLESS_MAIN(SystemClipboardTest)
#include "SystemClipboardTest.moc"
