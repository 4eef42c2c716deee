// A clip's scrollRect and opaqueBackground as scripts set and read them, and what the
// clip then shows.
#include "InputSession.h"
#include "runtime/SpriteObject.h"

#include <QtTest>

using inputsession::Code;
using inputsession::Session;
using swfwriter::Op;

namespace {

// clip.scrollRect = new flash.geom.Rectangle(x, y, width, height)
Code& setScrollRect(Code& code, const char* clip, int x, int y, int width, int height)
{
    code.get(clip);
    code.a.push({"scrollRect", height, width, y, x, 4, "flash"})
        .op(Op::GetVariable)
        .push({"geom"})
        .op(Op::GetMember)
        .push({"Rectangle"})
        .op(Op::NewMethod)
        .op(Op::SetMember);
    return code;
}

} // namespace

class ClipDisplayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingsReadBackAndReachTheClip()
    {
        Code frame;
        frame.callStatement("_root", "createEmptyMovieClip", {"box", 1});
        frame.member("box", "scrollRect").member("box", "opaqueBackground");
        setScrollRect(frame, "box", 10, 20, 30, 40).member("box", "scrollRect");
        frame.set("box", "opaqueBackground", 0x00FF00).member("box", "opaqueBackground");
        Session session(inputsession::scriptMovie({frame}));
        QCOMPARE(session.take(), QString("undefined\nundefined\n(x=10, y=20, w=30, h=40)\n65280"));
        const runtime::DisplayObject* box = session.player->findByPath("_level0.box");
        QVERIFY(box);
        QVERIFY(box->scrollRect());
        QCOMPARE(box->scrollRect()->xMin.value, 200);
        QCOMPARE(box->scrollRect()->yMax.value, 1200);
        QVERIFY(box->opaqueBackground());
        QCOMPARE(box->opaqueBackground()->g, std::uint8_t(255));
    }

    void nullTakesThemAway()
    {
        Code frame;
        frame.callStatement("_root", "createEmptyMovieClip", {"box", 1});
        setScrollRect(frame, "box", 0, 0, 5, 5);
        frame.set("box", "opaqueBackground", 0xFF0000);
        frame.set("box", "scrollRect", nullptr).member("box", "scrollRect");
        frame.set("box", "opaqueBackground", swfwriter::Undefined{});
        frame.member("box", "opaqueBackground");
        Session session(inputsession::scriptMovie({frame}));
        QCOMPARE(session.take(), QString("undefined\nundefined"));
        const runtime::DisplayObject* box = session.player->findByPath("_level0.box");
        QVERIFY(box);
        QVERIFY(!box->scrollRect());
        QVERIFY(!box->opaqueBackground());
    }
};

QTEST_APPLESS_MAIN(ClipDisplayTest)
#include "ClipDisplayTest.moc"
