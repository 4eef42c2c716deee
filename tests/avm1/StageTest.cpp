// Stage as scripts see it: the scale mode and alignment they set, the size the host's
// view gives with noScale, onResize when that size changes; and Mouse.hide and show.
#include "InputSession.h"

#include <QtTest>

using inputsession::Code;
using inputsession::Session;

class StageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingsReadBackAsTheyAreKept()
    {
        Code frame;
        frame.member("Stage", "width").member("Stage", "height");
        frame.member("Stage", "scaleMode").member("Stage", "align");
        frame.set("Stage", "align", "br").member("Stage", "align");
        frame.set("Stage", "align", "xTtLq").member("Stage", "align");
        frame.set("Stage", "scaleMode", "EXACTFIT").member("Stage", "scaleMode");
        frame.set("Stage", "scaleMode", "noborder").member("Stage", "scaleMode");
        frame.set("Stage", "scaleMode", "bogus").member("Stage", "scaleMode");
        frame.set("Stage", "showMenu", false).member("Stage", "showMenu");
        Session session(inputsession::scriptMovie({frame}));
        QCOMPARE(session.take(),
                 QString("550\n400\nshowAll\n\nRB\nLT\nexactFit\nnoBorder\nshowAll\nfalse"));
        const runtime::StageView& view = session.player->stageView();
        QCOMPARE(view.align(), std::uint8_t(runtime::StageAlign::Left | runtime::StageAlign::Top));
        QCOMPARE(view.scaleMode(), runtime::StageScaleMode::ShowAll);
        QVERIFY(!view.showMenu());
    }

    void noScaleShowsTheViewsSizeAndTellsTheListeners()
    {
        Code first;
        first.listener("watcher", "Stage");
        first.handler("watcher", "onResize",
                      Code().text("resized").member("Stage", "width").member("Stage", "height"));
        Code second;
        second.set("Stage", "scaleMode", "noScale").member("Stage", "width");
        Code third;
        third.set("Stage", "scaleMode", "showAll").member("Stage", "width");
        Session session(inputsession::scriptMovie({first, second, third}));
        QCOMPARE(session.take(), QString());

        // Scaled, the stage keeps its size whatever the view's.
        session.player->setViewport(900, 700);
        QCOMPARE(session.take(), QString());
        // Unscaled it takes the view's, at once, and the listeners hear of it.
        session.player->advance();
        QCOMPARE(session.take(), QString("resized\n900\n700\n900"));
        session.player->setViewport(640, 480);
        QCOMPARE(session.take(), QString("resized\n640\n480"));
        session.player->setViewport(640, 480);
        QCOMPARE(session.take(), QString());
        session.player->advance();
        QCOMPARE(session.take(), QString("resized\n550\n400\n550"));
    }

    void mouseHideAndShowSayWhetherThePointerShowed()
    {
        Code frame;
        frame.traceCall("Mouse", "hide").traceCall("Mouse", "hide");
        Code later;
        later.traceCall("Mouse", "show").traceCall("Mouse", "show");
        Session session(inputsession::scriptMovie({frame, later}));
        QCOMPARE(session.take(), QString("1\n0"));
        QVERIFY(session.player->input().pointerHidden());
        session.player->advance();
        QCOMPARE(session.take(), QString("0\n1"));
        QVERIFY(!session.player->input().pointerHidden());
    }
};

QTEST_APPLESS_MAIN(StageTest)
#include "StageTest.moc"
